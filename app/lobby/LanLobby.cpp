#include "app/lobby/LanLobby.h"

#include "app/lobby/ChooserStep.h"

#include <algorithm>
#include <cstring>

#include "game/race/GameRules.h"
#include "game/race/RaceAssets.h"
#include "net/NetControl.h"

namespace {

constexpr int32_t TEXT_LOST = 9000;
constexpr int32_t TEXT_PLAYER_LEFT = 9001;
constexpr int32_t TEXT_HOST_LEFT = 9004;

NetControl& client() { return NetControl::getInstance(); }

int ownSlot() { return client().getPlayerSlot(); }

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

// At most `room` bytes of a UTF-8 name, never half a character.
std::string cutName(const std::string& name, size_t room) {
    if (name.size() <= room) return name;
    size_t end = room;
    while (end > 0 && (uint8_t(name[end]) & 0xC0) == 0x80) --end;
    return name.substr(0, end);
}

// The host's place in the game.
constexpr int HOST_SLOT = 0;

// The host starts last.
int32_t startRankOf(int slot) { return Config::RIDERS - 1 - slot; }

void setFlagsOfSettings(Config& config, uint32_t flags) {
    config.m_game.setFlags(flags);
    config.m_track.setFlags(flags);
    config.m_laps.setFlags(flags);
}

} // namespace

LanLobby::LanLobby(Config& config, RunState::LanChoices& lanChoices) : m_config(config), m_lanChoices(lanChoices) {
    config.m_game = lanChoices.game;
    config.m_track = lanChoices.track;
    config.m_laps = lanChoices.laps;
    for (NetValue<Config::Player>& rider : config.m_player) *rider.modify() = Config::Player();
}

LanLobby::~LanLobby() {
    if (m_waiting && client().isConnected()) client().disconnect();
}

void LanLobby::enter() {
    setFlagsOfSettings(m_config, m_isHost ? NetValueBase::FLAG_SEND : NetValueBase::FLAG_RECEIVE);
    resetRecords(m_isHost);
    client().sendChangedValues();
    if (m_isHost) {
        for (int slot = 0; slot < Config::RIDERS; ++slot)
            if (slot != ownSlot()) m_config.m_player[slot].setFlags(NetValueBase::FLAG_RECEIVE);
        claimMoped();
        return;
    }
    // Message 8: the server replays the stored values, then message 9 sets the start flag.
    NetControl& net = client();
    net.lock();
    net.beginChunk(NetProtocol::CHUNK_READY);
    net.sendChunk();
    net.unlock();
    m_waiting = true;
    m_giveUp = std::chrono::steady_clock::now() +
               std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                   std::chrono::duration<double>(STATE_WAIT_SECONDS));
}

bool LanLobby::poll() {
    // The host's settings go out every frame, so a late joiner has them too.
    m_config.m_game.modify();
    m_config.m_track.modify();
    m_config.m_laps.modify();
    if (!m_waiting) {
        // A rider of a lower slot may have come with the same name meanwhile.
        takeDistinctName();
        return false;
    }
    NetControl& net = client();
    if (net.isStarted()) {
        endWait(true);
        return true;
    }
    if (net.isConnected() && std::chrono::steady_clock::now() < m_giveUp) return false;
    endWait(false);
    return true;
}

void LanLobby::endWait(bool stateCame) {
    m_waiting = false;
    NetControl& net = client();
    if (stateCame) {
        net.clearStart();
        net.sendChangedValues();
    } else if (net.isConnected()) {
        // A lobby that never answered is left; the screen tells the player.
        net.disconnect();
    }
    claimMoped();
}

void LanLobby::resetRecords(bool sendAll) {
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        NetValue<Config::Player>& rider = m_config.m_player[slot];
        const bool sends = sendAll || slot == ownSlot();
        rider.setFlags(sends ? NetValueBase::FLAG_SEND : NetValueBase::FLAG_RECEIVE);
        *rider.modify() = Config::Player();
    }
}

void LanLobby::claimMoped() {
    Config::Player& own = changeOwnRecord();
    const RunState::LanChoices& last = m_lanChoices;
    // The last lobby's moped again while nobody else rides it.
    own.colour = isFree(last.colour, &Config::Player::colour, GameRules::COLOURS)
                     ? last.colour
                     : leastHeld(m_config, &Config::Player::colour, GameRules::COLOURS);
    own.model = isFree(last.model, &Config::Player::model, GameRules::MODELS)
                    ? last.model
                    : leastHeld(m_config, &Config::Player::model, GameRules::MODELS);
    takeDistinctName();
}

void LanLobby::takeDistinctName() {
    const Config::Player& own = ownRecord();
    if (own.colour == -1) return;
    const size_t room = sizeof own.name - 1;
    const char* stored = m_config.m_settings.m_playerName1;
    const std::string wanted(stored, strnlen(stored, room));
    const std::string number = " (" + std::to_string(ownSlot() + 1) + ")";
    // A name of five riders is taken at most four times; each try adds the number once more.
    std::string name = wanted;
    for (int tries = 1; tries < Config::RIDERS && isNameShownBelow(name); ++tries) {
        std::string numbers;
        for (int n = 0; n < tries; ++n) numbers += number;
        name = cutName(wanted, room - numbers.size()) + numbers;
    }
    if (name == std::string(own.name, strnlen(own.name, room))) return;
    Config::Player& changed = changeOwnRecord();
    std::memset(changed.name, 0, sizeof changed.name);
    std::memcpy(changed.name, name.data(), name.size());
}

bool LanLobby::isNameShownBelow(const std::string& name) const {
    for (int slot = 0; slot < ownSlot(); ++slot) {
        const Config::Player& rider = record(slot);
        if (rider.colour != -1 && name == std::string(rider.name, strnlen(rider.name, sizeof rider.name))) return true;
    }
    return false;
}

bool LanLobby::isFree(int32_t value, int32_t Config::Player::*field, int32_t count) const {
    return value >= 0 && value < count && holders(m_config, field, value) == 0;
}

void LanLobby::stepColour(bool forward) {
    Config::Player& own = changeOwnRecord();
    own.colour = chooserStep(own.colour, 0, GameRules::COLOURS - 1, forward);
    m_lanChoices.colour = own.colour;
}

void LanLobby::stepModel(bool forward) {
    int32_t candidate = ownRecord().model;
    for (int tries = 0; tries < GameRules::MODELS; ++tries) {
        candidate = chooserStep(candidate, 0, GameRules::MODELS - 1, forward);
        if (holders(m_config, &Config::Player::model, candidate) > 0) continue;
        changeOwnRecord().model = candidate;
        m_lanChoices.model = candidate;
        return;
    }
}

void LanLobby::stepTrack(bool forward) {
    m_config.m_track = m_lanChoices.track = chooserStep(m_config.m_track, 0, GameRules::TRACKS - 1, forward);
}

void LanLobby::stepLaps(bool forward) {
    m_config.m_laps = m_lanChoices.laps =
        chooserStep(m_config.m_laps, GameRules::FIRST_LAP, GameRules::LAST_LAP, forward);
}

void LanLobby::toggleMode() {
    m_config.m_game = m_lanChoices.game =
        m_config.m_game == GameRules::SINGLE_RACE ? GameRules::CHAMPIONSHIP : GameRules::SINGLE_RACE;
}

void LanLobby::ready() {
    changeOwnRecord().ready = 1;
    // No one joins a lobby whose host is ready.
    if (m_isHost) client().sendLobbyClosed(true);
}

void LanLobby::leave() {
    m_waiting = false;
    Config::Player& own = changeOwnRecord();
    own.colour = -1;
    // Without its moped the slot counts as free: the others can still start.
    own.model = -1;
    own.ready = 0;
    client().sendChangedValues();
    client().disconnect();
}

bool LanLobby::isChoosingSettings() const { return m_isHost && !ownRecord().ready; }

LanLobby::Tally LanLobby::tally() const {
    Tally t;
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        const Config::Player& rider = record(slot);
        if (rider.ready) ++t.ready;
        if (rider.model == -1) continue;
        ++t.present;
        if (slot != ownSlot() && !rider.ready) t.othersReady = false;
    }
    return t;
}

bool LanLobby::othersReady() const {
    const Tally t = tally();
    return t.present > 1 && t.othersReady;
}

bool LanLobby::allReady() const {
    // The records a lost game left show its last state: no race follows them.
    if (m_waiting || !isConnected()) return false;
    if (!m_isHost && ownRecord().ready && hostsRaceBegun()) return true;
    const Tally t = tally();
    // Never a race alone: at least two must be there and ready.
    return t.ready == std::max(t.present, 2);
}

bool LanLobby::hostsRaceBegun() const { return record(HOST_SLOT).startRank == startRankOf(HOST_SLOT); }

bool LanLobby::isConnected() const { return client().isConnected(); }

LanLobby::Loss LanLobby::loss() {
    const int32_t status = client().getStatus();
    return status == NetControl::STATUS_ENDED_BY_HOST ? HOST_LEFT
           : status == NetControl::STATUS_ENDED       ? PLAYER_LEFT
                                                      : CONNECTION_LOST;
}

void LanLobby::apply() {
    Config& config = m_config;
    config.m_playMode = GameRules::LAN;
    const bool championship = config.m_game == GameRules::CHAMPIONSHIP;
    if (championship) config.m_laps = GameRules::CHAMPIONSHIP_LAPS;
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        Config::Player& rider = *config.m_player[slot].modify();
        rider.startRank = startRankOf(slot);
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

int32_t LanLobby::lossText() {
    const Loss why = loss();
    return why == HOST_LEFT ? TEXT_HOST_LEFT : why == PLAYER_LEFT ? TEXT_PLAYER_LEFT : TEXT_LOST;
}

const Config::Player& LanLobby::record(int slot) const { return m_config.m_player[slot].get(); }

const Config::Player& LanLobby::ownRecord() const { return record(ownSlot()); }

int32_t LanLobby::getOwnModel() const { return std::clamp(ownRecord().model, 0, GameRules::MODELS - 1); }

int32_t LanLobby::getOwnColour() const { return std::clamp(ownRecord().colour, 0, GameRules::COLOURS - 1); }

Config::Player& LanLobby::changeOwnRecord() { return *m_config.m_player[ownSlot()].modify(); }
