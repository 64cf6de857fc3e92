#include "game/records/Config.h"

#include <cstring>

#include "game/records/EncryptedRecord.h"
#include "game/records/RecordBytes.h"
#include "game/records/RecordFile.h"

namespace {

constexpr int32_t LAST_MODEL = GameRules::MODELS - 1;
constexpr int32_t LAST_COLOUR = GameRules::COLOURS - 1;
constexpr int32_t LAST_TRACK = GameRules::TRACKS - 1;
constexpr int32_t MAX_LAPS = 5;
constexpr int32_t MAX_SCREEN_SIZE = 16384;
constexpr int32_t LAST_LANGUAGE = 5;
constexpr int32_t BINDING_MOUSE_BUTTON = 3;
constexpr int32_t BINDING_JOYSTICK_BUTTON = 9;
constexpr int32_t LAST_BINDING_KIND = 9;

constexpr int32_t DEFAULT_CODES[Config::BINDINGS] = {0x1E, 0x20, 0x11, 0x1F, 0x39, 0x0F, 0x39,
                                                     0xCB, 0xCD, 0xC8, 0xD0, 0x36, 0xB8, 0x9D};

bool inRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

bool isTerminated(const char* name) { return strnlen(name, Config::NAME_SIZE) < Config::NAME_SIZE; }

bool isPercent(int32_t value) { return inRange(value, 0, 100); }

bool choicesValid(const Config::Choice& model, const Config::Choice& colour, const Config::Choice& track) {
    return inRange(model.value, 0, LAST_MODEL) && inRange(colour.value, 0, LAST_COLOUR) &&
           inRange(track.value, 0, LAST_TRACK);
}

void storeBindings(const int32_t* bindings, uint8_t* out) {
    for (int i = 0; i < Config::BINDINGS; ++i) RecordBytes::putI32(out + 4 * i, bindings[i]);
}

void restoreBindings(int32_t* bindings, const uint8_t* in) {
    for (int i = 0; i < Config::BINDINGS; ++i) bindings[i] = RecordBytes::getI32(in + 4 * i);
}

void setName(char* target, const char* name) {
    std::memset(target, 0, Config::NAME_SIZE);
    std::strncpy(target, name, Config::NAME_SIZE - 1);
}

// Walks the settings block field by field in file order, so that storing and
// restoring cannot drift apart.
template <typename SettingsType, typename Step>
void walkSettings(SettingsType& s, Step& step) {
    for (auto* word : {&s.m_displayWidth, &s.m_displayHeight, &s.m_brightness, &s.m_contrast, &s.m_gamma,
                       &s.m_language, &s.m_musicVolume, &s.m_effectsVolume, &s.m_objectDetail, &s.m_textureDetail})
        step.word(*word);
    step.name(s.m_playerName1);
    step.name(s.m_playerName2);
    step.word(s.m_timeTrialLaps);
    for (auto* choice : {&s.m_timeTrialModel, &s.m_timeTrialColour, &s.m_timeTrialTrack, &s.m_championshipModel,
                         &s.m_championshipColour, &s.m_championshipTrack, &s.m_singleRaceModel,
                         &s.m_singleRaceColour, &s.m_singleRaceTrack}) {
        step.word(choice->value);
        step.word(choice->limit);
    }
    for (auto* word : {&s.m_singleRaceLaps, &s.m_twoPlayerMode, &s.m_twoPlayerModel1, &s.m_twoPlayerModel2,
                       &s.m_twoPlayerColour1, &s.m_twoPlayerColour2, &s.m_twoPlayerLaps, &s.m_twoPlayerTrack})
        step.word(*word);
}

struct StoreStep {
    uint8_t* at;
    void word(int32_t v) {
        RecordBytes::putI32(at, v);
        at += 4;
    }
    void name(const char* n) {
        std::memcpy(at, n, Config::NAME_SIZE);
        at += Config::NAME_SIZE;
    }
};

struct RestoreStep {
    const uint8_t* at;
    void word(int32_t& v) {
        v = RecordBytes::getI32(at);
        at += 4;
    }
    void name(char* n) {
        std::memcpy(n, at, Config::NAME_SIZE);
        at += Config::NAME_SIZE;
    }
};

} // namespace

void Config::Settings::store(uint8_t* out) const {
    StoreStep step{out};
    walkSettings(*this, step);
}

void Config::Settings::restore(const uint8_t* in) {
    RestoreStep step{in};
    walkSettings(*this, step);
}

const uint32_t Config::FILE_SIZE = encryptedRecordSize(Settings::STORED_SIZE) +
                                   2 * encryptedRecordSize(sizeof(int32_t) * BINDINGS);
const char* const Config::KEY = "QuarnholtMopedCF";

void Config::Player::sanitise() {
    name[NAME_SIZE - 1] = '\0';
    if (!inRange(colour, -1, LAST_COLOUR)) colour = 0;
    if (!inRange(model, -1, LAST_MODEL)) model = 0;
}

bool Config::Settings::isValid() const {
    if (!isTerminated(m_playerName1) || !isTerminated(m_playerName2)) return false;
    if (!inRange(m_displayWidth, 1, MAX_SCREEN_SIZE) || !inRange(m_displayHeight, 1, MAX_SCREEN_SIZE)) return false;
    if (!isPercent(m_brightness) || !isPercent(m_contrast) || !isPercent(m_gamma)) return false;
    if (!inRange(m_language, -1, LAST_LANGUAGE)) return false;
    if (!isPercent(m_musicVolume) || !isPercent(m_effectsVolume)) return false;
    if (!inRange(m_objectDetail, 0, 1) || !inRange(m_textureDetail, -2, 0)) return false;
    if (!inRange(m_timeTrialLaps, 1, MAX_LAPS) || !inRange(m_singleRaceLaps, 1, MAX_LAPS)) return false;
    if (!choicesValid(m_timeTrialModel, m_timeTrialColour, m_timeTrialTrack)) return false;
    if (!choicesValid(m_championshipModel, m_championshipColour, m_championshipTrack)) return false;
    if (!choicesValid(m_singleRaceModel, m_singleRaceColour, m_singleRaceTrack)) return false;
    if (m_twoPlayerMode != 1 && m_twoPlayerMode != 3) return false;
    return inRange(m_twoPlayerModel1, 0, LAST_MODEL) && inRange(m_twoPlayerModel2, 0, LAST_MODEL) &&
           inRange(m_twoPlayerColour1, 0, LAST_COLOUR) && inRange(m_twoPlayerColour2, 0, LAST_COLOUR) &&
           inRange(m_twoPlayerLaps, 1, MAX_LAPS) && inRange(m_twoPlayerTrack, 0, LAST_TRACK);
}

Config::Config(InputDevice* inputDevice, const std::string& folder)
    : m_inputDevice(inputDevice), m_playMode(0), m_isHost(true), m_playerKind(), m_raceAgain(false),
      m_menuFlag(true), m_showHighscores(false), m_highscoreTrack(-1), m_highscoreTable(-1), m_bindingKind(),
      m_bindingCode(), m_settings(), m_folder(folder) {
    keyRecordCipher(m_cipher, KEY);

    m_game.init(GAME_NID, 3);
    m_game.setName("m_game");
    m_laps.init(LAPS_NID, 1);
    m_laps.setName("m_laps");
    m_track.init(TRACK_NID, 0);
    m_track.setName("m_track");
    for (int slot = 0; slot < RIDERS; ++slot) {
        m_player[slot].init(PLAYER_NID + slot);
        m_player[slot].setName("m_player[]");
    }

    if (!load()) {
        setDefaultPlayerNames();
        save();
    }
    // Every start asks for the language again.
    m_settings.m_language = -1;
    forceChoiceLimits();
}

void Config::forceChoiceLimits() {
    for (Choice* model : {&m_settings.m_timeTrialModel, &m_settings.m_championshipModel, &m_settings.m_singleRaceModel})
        model->limit = LAST_MODEL;
    for (Choice* colour :
         {&m_settings.m_timeTrialColour, &m_settings.m_championshipColour, &m_settings.m_singleRaceColour})
        colour->limit = LAST_COLOUR;
    for (Choice* track : {&m_settings.m_timeTrialTrack, &m_settings.m_championshipTrack, &m_settings.m_singleRaceTrack})
        track->limit = LAST_TRACK;
}

bool Config::bindingsValid() const {
    for (int i = 0; i < BINDINGS; ++i) {
        int32_t kind = m_bindingKind[i], code = m_bindingCode[i];
        if (!inRange(kind, 0, LAST_BINDING_KIND)) return false;
        if (kind == BINDING_MOUSE_BUTTON && !inRange(code, 0, 7)) return false;
        if (kind == BINDING_KEY && !inRange(code, 0, 255)) return false;
        if (kind == BINDING_JOYSTICK_BUTTON && !inRange(code, 0, 19)) return false;
    }
    return true;
}

std::string Config::pathOf(const char* name) const { return m_folder.empty() ? "" : m_folder + "/" + name; }

bool Config::load() {
    RecordFile file(pathOf(FILE_NAME).c_str());
    if (!file.openForReading(FILE_SIZE)) {
        m_keepFile = file.unreadable();
        return false;
    }
    uint8_t settings[Settings::STORED_SIZE] = {};
    uint8_t kinds[sizeof m_bindingKind] = {}, codes[sizeof m_bindingCode] = {};
    bool whole = readEncryptedRecord(file.file(), m_cipher, settings, sizeof settings);
    m_settings.restore(settings);
    whole = whole && readEncryptedRecord(file.file(), m_cipher, kinds, sizeof kinds);
    restoreBindings(m_bindingKind, kinds);
    whole = whole && readEncryptedRecord(file.file(), m_cipher, codes, sizeof codes);
    restoreBindings(m_bindingCode, codes);
    if (!whole) {
        file.rejectAsDamaged("a record fails its check");
        return false;
    }
    if (!m_settings.isValid() || !bindingsValid()) {
        file.rejectAsDamaged("values out of range");
        return false;
    }
    return true;
}

bool Config::save() {
    RecordFile file(pathOf(FILE_NAME).c_str());
    if (!file.create(m_keepFile)) return false;
    uint8_t settings[Settings::STORED_SIZE];
    uint8_t kinds[sizeof m_bindingKind], codes[sizeof m_bindingCode];
    m_settings.store(settings);
    storeBindings(m_bindingKind, kinds);
    storeBindings(m_bindingCode, codes);
    // A record that does not go in whole leaves the file short: commit refuses it and logs why.
    writeEncryptedRecord(settings, sizeof settings, m_cipher, file.file());
    writeEncryptedRecord(kinds, sizeof kinds, m_cipher, file.file());
    writeEncryptedRecord(codes, sizeof codes, m_cipher, file.file());
    return file.commit(FILE_SIZE);
}

void Config::setDefaultPlayerNames() {
    Settings& s = m_settings;
    s = Settings();
    s.m_displayWidth = 1024;
    s.m_displayHeight = 768;
    s.m_brightness = s.m_contrast = s.m_gamma = 50;
    s.m_language = -1;
    s.m_musicVolume = 70;
    s.m_effectsVolume = 50;
    s.m_objectDetail = 0;
    s.m_textureDetail = -1;
    setName(s.m_playerName1, "Player 1");
    setName(s.m_playerName2, "Player 2");
    s.m_timeTrialLaps = 3;
    s.m_timeTrialModel = {0, 4};
    s.m_timeTrialColour = {0, 3};
    s.m_timeTrialTrack = {0, 3};
    s.m_championshipModel = {0, 4};
    s.m_championshipColour = {0, 3};
    s.m_championshipTrack = {0, 0};
    s.m_singleRaceModel = {0, 4};
    s.m_singleRaceColour = {0, 3};
    s.m_singleRaceTrack = {0, 3};
    s.m_singleRaceLaps = 3;
    s.m_twoPlayerMode = 3;
    s.m_twoPlayerModel1 = 0;
    s.m_twoPlayerModel2 = 1;
    s.m_twoPlayerColour1 = 0;
    s.m_twoPlayerColour2 = 1;
    s.m_twoPlayerLaps = 3;
    s.m_twoPlayerTrack = 0;
    for (int i = 0; i < BINDINGS; ++i) {
        m_bindingKind[i] = BINDING_KEY;
        m_bindingCode[i] = DEFAULT_CODES[i];
    }
    for (int slot = 0; slot < RIDERS; ++slot) {
        m_playerKind[slot] = 0;
        Player* record = m_player[slot].modify();
        record->colour = 0;
        record->model = 0;
    }
}
