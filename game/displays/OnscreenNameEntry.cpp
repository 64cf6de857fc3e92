#include "game/displays/OnscreenDisplays.h"

#include <cstring>

#include <CEGUI/CEGUI.h>

#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/gui/GuiRegexMatcher.h"
#include "game/displays/DisplayWindows.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "game/records/HighscoreTables.h"
#include "game/records/RunState.h"

namespace {

constexpr float WIDTH = 500.0f;
constexpr float HEIGHT = 400.0f;
constexpr int32_t TEXT_NEW_HIGHSCORE = 4000;
constexpr int32_t TEXT_ENTER_NAME = 4001;
// "1st place" to "10th place".
constexpr int32_t TEXT_FIRST_RANK = 4010;
constexpr int32_t TEXT_SAVE = 2000;
// Why the high score is not on disk: a full disk, a folder that takes no
// files, a file left alone because it could not be read, a failing disk.
constexpr int32_t TEXT_DISK_FULL = 4040;
constexpr int32_t TEXT_FOLDER_NOT_WRITABLE = 4041;
constexpr int32_t TEXT_KEPT_UNREAD = 4042;
constexpr int32_t TEXT_DISK_ERROR = 4043;
constexpr size_t MAX_NAME_CHARACTERS = 16;

int32_t notSavedText(SaveFailure failure) {
    switch (failure) {
    case SaveFailure::DISK_FULL: return TEXT_DISK_FULL;
    case SaveFailure::FOLDER_NOT_WRITABLE: return TEXT_FOLDER_NOT_WRITABLE;
    case SaveFailure::KEPT_UNREAD: return TEXT_KEPT_UNREAD;
    default: return TEXT_DISK_ERROR;
    }
}

// The entry's name: the first 16 characters, as many whole ones as fit its
// 30 bytes (a Cyrillic letter takes two), zero-filled.
void copyName(const std::string& utf8, char (&name)[HighscoreEntry::NAME_SIZE]) {
    std::memset(name, 0, sizeof name);
    size_t cut = 0;
    size_t characters = 0;
    for (size_t i = 0; i <= utf8.size() && i < sizeof name; ++i) {
        const bool startsCharacter = i == utf8.size() || (static_cast<uint8_t>(utf8[i]) & 0xC0) != 0x80;
        if (!startsCharacter) continue;
        cut = i;
        if (i == utf8.size() || characters == MAX_NAME_CHARACTERS) break;
        ++characters;
    }
    std::memcpy(name, utf8.data(), cut);
}

} // namespace

void OnscreenDisplays::buildNameEntry() {
    CEGUI::Window* frame = displayWindows::frame(m_root, 262.5f, 184, WIDTH, HEIGHT);
    displayWindows::text(frame, 30, 60, 440, 30, "VerdanaLarge", "CentreAligned", "CentreAligned", WIDTH, HEIGHT)
        ->setText(text(TEXT_NEW_HIGHSCORE));
    m_rankWindow = displayWindows::text(frame, 30, 100, 440, 90, "VerdanaMedium", "WordWrapCentreAligned", "TopAligned",
                                        WIDTH, HEIGHT);
    displayWindows::text(frame, 30, 200, 440, 30, "VerdanaMedium", "LeftAligned", "CentreAligned", WIDTH, HEIGHT)
        ->setText(text(TEXT_ENTER_NAME));
    auto* edit = static_cast<CEGUI::Editbox*>(
        displayWindows::create("Quillfen/Editbox", frame, 30, 230, 440, 50, WIDTH, HEIGHT));
    // One matcher serves every name entry; an edit box never deletes a matcher it was given.
    static GuiRegexMatcher validator;
    edit->setValidator(&validator);
    edit->setValidationString("[-+._0-9a-zA-Z ]*");
    edit->setMaxTextLength(MAX_NAME_CHARACTERS);
    edit->setFont("VerdanaMediumItalic");
    edit->subscribeEvent(CEGUI::Editbox::EventTextAccepted, [this](const CEGUI::EventArgs&) {
        saveHighscore();
        return true;
    });
    m_nameEdit = edit;
    displayWindows::button(frame, 180, 310, 180, 60, WIDTH, HEIGHT, text(TEXT_SAVE), [this] { saveHighscore(); });
    m_windows[NAME_ENTRY] = frame;
}

void OnscreenDisplays::openNameEntry() {
    m_entryTable = nullptr;
    const Config::Player& record = m_config->m_player[0].get();
    const int32_t game = m_config->m_game.get();
    HighscoreTables* tables = m_race.m_highscores.get();
    // Single race and elimination keep only winners.
    if ((game == Race::SINGLE_RACE || game == Race::ELIMINATION) && record.place != 0) {
        m_race.m_leaveRace = true;
        return;
    }
    float time = record.bestLap;
    uint32_t value = static_cast<uint32_t>(record.racePoints);
    if (tables) {
        switch (game) {
        case Race::TIME_TRIAL: m_entryTable = &tables->getTimeTrial(); break;
        case Race::SINGLE_RACE: m_entryTable = &tables->getSingleRace(); break;
        case Race::ELIMINATION:
            m_entryTable = &tables->getSingleRace();
            time = record.raceTime;
            break;
        case Race::CHAMPIONSHIP:
            m_entryTable = &tables->getChampionship();
            time = record.totalTime;
            value = static_cast<uint32_t>(record.points);
            break;
        default: break;
        }
    }
    m_entry = HighscoreEntry(time, value, record.name, static_cast<uint8_t>(record.colour),
                             static_cast<uint8_t>(record.model));
    if (!m_entryTable) {
        m_race.m_leaveRace = true;
        return;
    }
    const int32_t rank = m_entryTable->findRank(m_trackIndex, m_entry);
    if (rank < 0) {
        closeNameEntry();
        return;
    }
    m_rankText = text(TEXT_FIRST_RANK + rank);
    openWindow(NAME_ENTRY);
    if (!m_windows[NAME_ENTRY]) return;
    m_rankWindow->setText(m_rankText);
    auto* edit = static_cast<CEGUI::Editbox*>(m_nameEdit);
    edit->setText(displayWindows::utf8Text(m_config->m_settings.m_playerName1, Config::NAME_SIZE));
    edit->setCaretIndex(edit->getText().length());
    edit->activate();
    // The keys of the ride are still waiting as characters.
    discardTypedText();
}

void OnscreenDisplays::saveHighscore() {
    // Enter and the button both save; the first one ends the entry.
    if (!m_visible[NAME_ENTRY] || !m_entryTable) return;
    copyName(typedName(), m_entry.m_name);
    m_entryTable->insert(m_trackIndex, m_entry);
    const Config::Player& record = m_config->m_player[0].get();
    HighscoreEntry* bestLap = m_entryTable->getBestLap(m_trackIndex);
    if (m_config->m_game.get() != Race::CHAMPIONSHIP && bestLap && bestLap->m_time > record.bestLap)
        m_entryTable->setBestLap(m_trackIndex, HighscoreEntry(record.bestLap, static_cast<uint32_t>(record.racePoints),
                                                              m_entry.m_name, m_entry.m_colour, m_entry.m_model));
    SaveFailure failure = SaveFailure::NONE;
    if (m_race.m_highscores)
        failure = m_race.run().m_highscoreStore.save(*m_race.m_highscores, m_config->pathOf(HighscoreTables::FILE_NAME));
    if (failure == SaveFailure::NONE || m_race.run().m_toldHighscoreNotSaved) {
        closeNameEntry();
        return;
    }
    m_race.run().m_toldHighscoreNotSaved = true;
    closeWindow(NAME_ENTRY);
    // Its OK leaves the race as the entry would have.
    showConnectionLost(notSavedText(failure));
}

void OnscreenDisplays::closeNameEntry() {
    closeWindow(NAME_ENTRY);
    m_race.m_leaveRace = true;
    leaveNetwork();
}

std::string OnscreenDisplays::typedName() const {
    if (m_windows[NAME_ENTRY]) return m_nameEdit->getText().c_str();
    const char* name = m_config->m_settings.m_playerName1;
    return std::string(name, strnlen(name, Config::NAME_SIZE));
}
