#include "app/menu/MultiplayerScreen.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "app/menu/Menu.h"
#include "app/menu/MessageWindow.h"
#include "game/displays/DisplayWindows.h"
#include "game/race/GameRules.h"
#include "game/records/TextTable.h"
#include "net/NetControl.h"
#include "sys/window/Window.h"

namespace {

constexpr int32_t FIRST_TRACK_LAPS = 1;
// Between two looks at the window's messages while a joining player waits.
constexpr double PUMP_SECONDS = 0.05;

constexpr int TEXT_CHAMPIONSHIP = 2000;
constexpr int TEXT_ALL_TRACKS = 2010;
constexpr int TEXT_SINGLE_RACE = 2110;
constexpr int TEXT_LOST = 9000;
constexpr int TEXT_PLAYER_LEFT = 9001;
constexpr int TEXT_HOST_LEFT = 9004;

const char* const NO_IMAGE = "Quillfen/TransparentBrush";
const char* const READY_IMAGE = "Quillfen/IconReady";
const char* const WAITING_IMAGE = "Quillfen/IconWaiting";

// A button of SetUpScreen::ButtonKind, or one of these.
enum Look { CAPTION = SetUpScreen::RIGHT_BUTTON + 1, PANEL_CAPTION, PICTURE, READY_BUTTON };

struct Placed {
    int look;
    float x, y, width, height;
    uint32_t colour; // captions only
};

// By MultiplayerScreen::Widget, on the 1024 x 768 layout. The white captions
// keep the text's dark panel to read over the scene, the black ones sit on
// the picture's plates.
const Placed LAYOUT[MultiplayerScreen::WIDGETS] = {
    {READY_BUTTON, 885, 629, 120, 120, 0},
    {SetUpScreen::BACK_BUTTON, 22, 629, 120, 120, 0},
    {SetUpScreen::LEFT_BUTTON, 136, 306, 90, 90, 0},
    {SetUpScreen::RIGHT_BUTTON, 352, 305, 90, 90, 0},
    {PANEL_CAPTION, 181, 267, 216, 30, SetUpScreen::WHITE},
    {SetUpScreen::UP_ARROW, 463, 88, 45, 45, 0},
    {SetUpScreen::DOWN_ARROW, 463, 227, 45, 45, 0},
    {PANEL_CAPTION, 181, 64, 216, 30, SetUpScreen::WHITE},
    {PICTURE, 557, 54, 361, 275, 0},
    {SetUpScreen::LEFT_BUTTON, 584, 306, 90, 90, 0},
    {SetUpScreen::RIGHT_BUTTON, 800, 306, 90, 90, 0},
    {PANEL_CAPTION, 599, 269, 276, 30, SetUpScreen::WHITE},
    {CAPTION, 194, 462, 160, 47, SetUpScreen::BLACK},
    {SetUpScreen::LEFT_BUTTON, 85, 440, 90, 90, 0},
    {SetUpScreen::RIGHT_BUTTON, 373, 440, 90, 90, 0},
    {SetUpScreen::LEFT_BUTTON, 491, 440, 90, 90, 0},
    {SetUpScreen::RIGHT_BUTTON, 849, 440, 90, 90, 0},
    {CAPTION, 599, 462, 234, 47, SetUpScreen::BLACK},
};

// Columns of the players' table: left edge and width; rows 30 pixels apart.
const float COLUMN_PLACES[MultiplayerScreen::COLUMNS][2] = {{180, 25}, {210, 265}, {480, 160}, {645, 200}};
constexpr float FIRST_ROW = 560.0f;
constexpr float ROW_STEP = 30.0f;
constexpr float ROW_HEIGHT = 25.0f;

const MultiplayerScreen::Widget MOPED_CHOICE[] = {MultiplayerScreen::MODEL_LEFT, MultiplayerScreen::MODEL_RIGHT,
                                                  MultiplayerScreen::COLOUR_UP, MultiplayerScreen::COLOUR_DOWN};
const MultiplayerScreen::Widget SETTINGS_CHOICE[] = {MultiplayerScreen::TRACK_LEFT, MultiplayerScreen::TRACK_RIGHT,
                                                     MultiplayerScreen::LAPS_LEFT,  MultiplayerScreen::LAPS_RIGHT,
                                                     MultiplayerScreen::MODE_LEFT,  MultiplayerScreen::MODE_RIGHT};

NetControl& client() { return NetControl::getInstance(); }

int ownSlot() { return client().getPlayerSlot(); }

int32_t stepped(int32_t value, int32_t low, int32_t high, bool forward) {
    return forward ? SetUpScreen::next(value, low, high) : SetUpScreen::previous(value, low, high);
}

// How many riders hold `value` in the field.
int holders(const Config& config, int32_t Config::Player::*field, int32_t value) {
    int count = 0;
    for (const NetValue<Config::Player>& rider : config.m_player)
        if (rider.get().*field == value) ++count;
    return count;
}

// The value of 0..count-1 that fewest riders hold, the lowest of equals: a
// free one while there is one.
int32_t leastHeld(const Config& config, int32_t Config::Player::*field, int32_t count) {
    int32_t best = 0;
    for (int32_t value = 1; value < count; ++value)
        if (holders(config, field, value) < holders(config, field, best)) best = value;
    return best;
}

void setFlagsOfSettings(Config& config, uint32_t flags) {
    config.m_game.setFlags(flags);
    config.m_track.setFlags(flags);
    config.m_laps.setFlags(flags);
}

} // namespace

MultiplayerScreen::MultiplayerScreen(Menu* owner) : SetUpScreen(owner) {
    Config& config = *m_owner->config;
    config.m_game = GameRules::CHAMPIONSHIP;
    config.m_track = 0;
    config.m_laps = FIRST_TRACK_LAPS;
    for (NetValue<Config::Player>& rider : config.m_player) *rider.modify() = Config::Player();

    createRoot("Multiplayer/Background");
    buildWidgets();
    buildRows();
    m_message = std::make_unique<MessageWindow>(*this, *m_root, [this] { setResult(BACK); });
}

MultiplayerScreen::~MultiplayerScreen() = default;

void MultiplayerScreen::buildWidgets() {
    for (int w = 0; w < WIDGETS; ++w) {
        const Placed& p = LAYOUT[w];
        CEGUI::Window* window = nullptr;
        if (p.look == CAPTION || p.look == PANEL_CAPTION) {
            window = createCaption(p.x, p.y, p.width, p.height, p.colour);
            if (p.look == PANEL_CAPTION) {
                window->setProperty("FrameEnabled", "true");
                window->setProperty("BackgroundEnabled", "true");
            }
        } else if (p.look == PICTURE) {
            window = createPicture(p.x, p.y, p.width, p.height);
        } else if (p.look == READY_BUTTON) {
            // Not the set-up screens' OK: ready starts nothing by itself.
            window = createWindow("Quillfen/ImageButton", m_root, p.x, p.y, p.width, p.height);
            setButtonImages(*window, "Quillfen/OKButton", "Quillfen/OKButtonHover", "Quillfen/OKButtonDisabled");
        } else {
            window = createButton(ButtonKind(p.look), p.x, p.y, p.width);
        }
        m_widgets[w] = window;
    }
    // The colour shows on the preview; its caption keeps the text unseen.
    m_widgets[COLOUR]->setVisible(false);

    onClick(*m_widgets[OK], [this] { ready(); });
    // The back button reports BACK with its click; leaving the game follows.
    m_widgets[BACK]->subscribeEvent(CEGUI::PushButton::EventClicked,
                                    CEGUI::Event::Subscriber([this](const CEGUI::EventArgs&) {
                                        leaveGame();
                                        return true;
                                    }));
    onClick(*m_widgets[MODEL_LEFT], [this] { stepModel(false); });
    onClick(*m_widgets[MODEL_RIGHT], [this] { stepModel(true); });
    onClick(*m_widgets[COLOUR_UP], [this] { stepColour(false); });
    onClick(*m_widgets[COLOUR_DOWN], [this] { stepColour(true); });
    onClick(*m_widgets[TRACK_LEFT], [this] { stepTrack(false); });
    onClick(*m_widgets[TRACK_RIGHT], [this] { stepTrack(true); });
    onClick(*m_widgets[LAPS_LEFT], [this] { stepLaps(false); });
    onClick(*m_widgets[LAPS_RIGHT], [this] { stepLaps(true); });
    onClick(*m_widgets[MODE_LEFT], [this] { toggleMode(); });
    onClick(*m_widgets[MODE_RIGHT], [this] { toggleMode(); });
}

void MultiplayerScreen::buildRows() {
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        const float y = FIRST_ROW + ROW_STEP * float(slot);
        for (int column = 0; column < COLUMNS; ++column) {
            const float x = COLUMN_PLACES[column][0], width = COLUMN_PLACES[column][1];
            if (column == READY_ICON) {
                m_rows[slot][column] = createPicture(x, y, width, ROW_HEIGHT);
                continue;
            }
            CEGUI::Window* text = createWindow("Quillfen/StaticText", m_root, x, y, width, ROW_HEIGHT);
            setTextLook(*text, "VerdanaSmall", BLACK, "LeftAligned", "CentreAligned");
            m_rows[slot][column] = text;
        }
        m_rows[slot][READY_ICON]->setProperty("Image", NO_IMAGE);
    }
}

void MultiplayerScreen::enter() {
    Config& config = *m_owner->config;
    m_message->setTexts(*m_owner->texts);
    m_widgets[OK]->setEnabled(!m_isHost);
    setFlagsOfSettings(config, m_isHost ? NetValueBase::FLAG_SEND : NetValueBase::FLAG_RECEIVE);
    resetRecords(m_isHost);
    client().sendChangedValues();
    if (m_isHost) {
        for (int slot = 0; slot < Config::RIDERS; ++slot)
            if (slot != ownSlot()) config.m_player[slot].setFlags(NetValueBase::FLAG_RECEIVE);
    } else if (!awaitLobbyState() && client().isConnected()) {
        // A lobby that never answered is left; the refresh tells the player.
        client().disconnect();
    }
    claimMoped();
    enableMopedChoice(true);
    enableSettings(m_isHost);
    refreshLobby();
    GuiScreen::enter();
}

void MultiplayerScreen::resetRecords(bool sendAll) {
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        NetValue<Config::Player>& rider = m_owner->config->m_player[slot];
        const bool sends = sendAll || slot == ownSlot();
        rider.setFlags(sends ? NetValueBase::FLAG_SEND : NetValueBase::FLAG_RECEIVE);
        *rider.modify() = Config::Player();
    }
}

bool MultiplayerScreen::awaitLobbyState() {
    NetControl& net = client();
    net.lock();
    net.beginChunk(NetProtocol::CHUNK_READY);
    net.sendChunk();
    net.unlock();
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(STATE_WAIT_SECONDS);
    while (!net.waitForStart(PUMP_SECONDS)) {
        if (!net.isConnected() || std::chrono::steady_clock::now() >= end) return false;
        // The window stays answering; a quit asked for meanwhile is left for the menu's loop to see.
        if (!sys::pumpMessages()) {
            sys::postQuitMessage();
            return false;
        }
    }
    net.clearStart();
    net.sendChangedValues();
    return true;
}

void MultiplayerScreen::claimMoped() {
    Config& config = *m_owner->config;
    Config::Player& own = changeOwnRecord();
    const char* name = config.m_settings.m_playerName1;
    std::memset(own.name, 0, sizeof own.name);
    std::memcpy(own.name, name, strnlen(name, sizeof own.name - 1));
    own.colour = leastHeld(config, &Config::Player::colour, GameRules::COLOURS);
    own.model = leastHeld(config, &Config::Player::model, GameRules::MODELS);
}

void MultiplayerScreen::refreshLobby() {
    Config& config = *m_owner->config;
    // The host's settings go out every frame, so a late joiner has them too.
    config.m_game.modify();
    config.m_track.modify();
    config.m_laps.modify();
    showTrack();
    const int32_t game = config.m_game;
    const int mode = game == GameRules::SINGLE_RACE    ? TEXT_SINGLE_RACE
                     : game == GameRules::CHAMPIONSHIP ? TEXT_CHAMPIONSHIP
                                                       : -1;
    m_widgets[MODE]->setText(mode < 0 ? CEGUI::String() : m_owner->texts->getText(mode));
    showRows();
    showOwnMoped();
    showLaps();
    checkStart();
    showConnectionLost();
}

void MultiplayerScreen::showTrack() {
    const Config& config = *m_owner->config;
    CEGUI::Window& picture = *m_widgets[TRACK_PICTURE];
    CEGUI::Window& caption = *m_widgets[TRACK];
    const bool championship = config.m_game == GameRules::CHAMPIONSHIP;
    if (championship) {
        picture.setProperty("Image", "Tracks/Championship");
        caption.setText(m_owner->texts->getText(TEXT_ALL_TRACKS));
    } else {
        // The host's track comes over the network: one the game does not have shows nothing.
        const int32_t track = config.m_track;
        const bool known = track >= 0 && track <= LAST_TRACK;
        picture.setProperty("Image", known ? "Tracks/Track" + std::to_string(track + 1) : std::string());
        caption.setText("");
        showTrackText(caption, track);
    }
    const bool choosing = isChoosingSettings() && !championship;
    m_widgets[TRACK_LEFT]->setEnabled(choosing);
    m_widgets[TRACK_RIGHT]->setEnabled(choosing);
}

void MultiplayerScreen::showRows() {
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        const Config::Player& rider = record(slot);
        CEGUI::Window* const* row = m_rows[slot];
        if (rider.colour == -1) {
            for (int column = NAME_TEXT; column < COLUMNS; ++column) row[column]->setText("");
            row[READY_ICON]->setProperty("Image", NO_IMAGE);
            continue;
        }
        row[NAME_TEXT]->setText(displayWindows::utf8Text(rider.name, sizeof rider.name));
        showChoice(*row[COLOUR_TEXT], rider.colour, &MultiplayerScreen::showColourText);
        showChoice(*row[MODEL_TEXT], rider.model, &MultiplayerScreen::showModelText);
        row[READY_ICON]->setProperty("Image", rider.ready ? READY_IMAGE : WAITING_IMAGE);
    }
}

void MultiplayerScreen::showOwnMoped() {
    const Config::Player& own = ownRecord();
    showChoice(*m_widgets[MODEL], own.model, &MultiplayerScreen::showModelText);
    showChoice(*m_widgets[COLOUR], own.colour, &MultiplayerScreen::showColourText);
}

void MultiplayerScreen::showChoice(CEGUI::Window& caption, int32_t value, ChoiceText text) const {
    caption.setText("");
    if (value != -1) (this->*text)(caption, value);
}

void MultiplayerScreen::showLaps() {
    const Config& config = *m_owner->config;
    const bool single = config.m_game == GameRules::SINGLE_RACE;
    // A championship's laps become 3 only when the race starts: the lobby shows the 3 they will be.
    const bool championship = config.m_game == GameRules::CHAMPIONSHIP;
    m_widgets[LAPS]->setVisible(single || championship);
    if (single || championship) showLapsText(*m_widgets[LAPS], single ? config.m_laps : CHAMPIONSHIP_LAPS);
    m_widgets[LAPS_LEFT]->setEnabled(single && isChoosingSettings());
    m_widgets[LAPS_RIGHT]->setEnabled(single && isChoosingSettings());
}

void MultiplayerScreen::checkStart() {
    int ready = 0, present = 0;
    bool othersReady = true;
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        const Config::Player& rider = record(slot);
        if (rider.ready) ++ready;
        if (rider.model == -1) continue;
        ++present;
        if (slot != ownSlot() && !rider.ready) othersReady = false;
    }
    // Never a race alone: at least two must be there and ready.
    if (ready == std::max(present, 2)) setResult(START);
    if (m_isHost)
        m_widgets[OK]->setEnabled(present > 1 && othersReady);
    else if (ownRecord().ready)
        m_widgets[OK]->setEnabled(false);
}

void MultiplayerScreen::showConnectionLost() {
    if (client().isConnected() || m_message->isShown()) return;
    const int32_t status = client().getStatus();
    const int text = status == NetControl::STATUS_ENDED_BY_HOST ? TEXT_HOST_LEFT
                     : status == NetControl::STATUS_ENDED       ? TEXT_PLAYER_LEFT
                                                                : TEXT_LOST;
    m_message->show(m_owner->texts->getText(text));
}

void MultiplayerScreen::stepColour(bool forward) {
    Config::Player& own = changeOwnRecord();
    own.colour = stepped(own.colour, 0, GameRules::COLOURS - 1, forward);
    refreshLobby();
}

void MultiplayerScreen::stepModel(bool forward) {
    const Config& config = *m_owner->config;
    int32_t candidate = ownRecord().model;
    for (int tries = 0; tries < GameRules::MODELS; ++tries) {
        candidate = stepped(candidate, 0, GameRules::MODELS - 1, forward);
        if (holders(config, &Config::Player::model, candidate) > 0) continue;
        changeOwnRecord().model = candidate;
        break;
    }
    refreshLobby();
}

void MultiplayerScreen::stepTrack(bool forward) {
    Config& config = *m_owner->config;
    config.m_track = stepped(config.m_track, 0, LAST_TRACK, forward);
    refreshLobby();
}

void MultiplayerScreen::stepLaps(bool forward) {
    Config& config = *m_owner->config;
    config.m_laps = stepped(config.m_laps, FIRST_LAP, LAST_LAP, forward);
    refreshLobby();
}

void MultiplayerScreen::toggleMode() {
    Config& config = *m_owner->config;
    config.m_game = config.m_game == GameRules::SINGLE_RACE ? GameRules::CHAMPIONSHIP : GameRules::SINGLE_RACE;
    refreshLobby();
}

void MultiplayerScreen::ready() {
    enableMopedChoice(false);
    enableSettings(false);
    changeOwnRecord().ready = 1;
    // No one joins a lobby whose host is ready.
    if (m_isHost) client().sendLobbyClosed(true);
}

void MultiplayerScreen::leaveGame() {
    Config::Player& own = changeOwnRecord();
    own.colour = -1;
    // Without its moped the slot counts as free: the others can still start.
    own.model = -1;
    own.ready = 0;
    client().sendChangedValues();
    client().disconnect();
}

void MultiplayerScreen::apply() {
    Config& config = *m_owner->config;
    config.m_playMode = GameRules::LAN;
    const bool championship = config.m_game == GameRules::CHAMPIONSHIP;
    if (championship) config.m_laps = CHAMPIONSHIP_LAPS;
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        Config::Player& rider = *config.m_player[slot].modify();
        // The host starts last.
        rider.startRank = Config::RIDERS - 1 - slot;
        if (championship) {
            rider.totalTime = 0.0f;
            rider.points = 0;
        }
        // A host drives only the slots taken; an empty slot keeps its kind.
        if (!m_isHost || rider.colour != -1) config.m_playerKind[slot] = GameRules::REMOTE;
    }
    config.m_playerKind[ownSlot()] = m_isHost ? GameRules::SINGLE : GameRules::GUEST;
    config.m_track.setFlags(NetValueBase::FLAG_SEND);
    config.m_isHost = m_isHost;
}

int32_t MultiplayerScreen::getOwnModel() const { return std::clamp(ownRecord().model, 0, GameRules::MODELS - 1); }

int32_t MultiplayerScreen::getOwnColour() const { return std::clamp(ownRecord().colour, 0, GameRules::COLOURS - 1); }

const Config::Player& MultiplayerScreen::record(int slot) const { return m_owner->config->m_player[slot].get(); }

const Config::Player& MultiplayerScreen::ownRecord() const { return record(ownSlot()); }

Config::Player& MultiplayerScreen::changeOwnRecord() { return *m_owner->config->m_player[ownSlot()].modify(); }

bool MultiplayerScreen::isChoosingSettings() const { return m_isHost && !ownRecord().ready; }

void MultiplayerScreen::enableMopedChoice(bool enabled) {
    for (Widget w : MOPED_CHOICE) m_widgets[w]->setEnabled(enabled);
}

void MultiplayerScreen::enableSettings(bool enabled) {
    for (Widget w : SETTINGS_CHOICE) m_widgets[w]->setEnabled(enabled);
}
