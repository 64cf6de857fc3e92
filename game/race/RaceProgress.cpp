#include "game/race/Race.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/gui/GuiHelper.h"
#include "engine/scene/SceneObject.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/drivers/Controller.h"
#include "game/karts/OutOfSight.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/maps/PositionMap.h"
#include "game/records/Config.h"
#include "net/NetControl.h"

namespace {

// The position map counts 16 sectors of 16 values along the lap.
constexpr uint32_t ALL_SECTORS = 0xFFFF;
constexpr int32_t SECTOR_VALUES = 16;
constexpr int32_t LAST_SECTOR = 15;
constexpr int32_t MAP_END = 255;
constexpr int32_t LAP_KEY = 256;
constexpr int32_t MAX_LAP = 1 << 20;
constexpr int32_t HISTORY = 4;
constexpr int32_t HISTORY_AFTER_LAP = 1;
// Lap times kept beyond this lap only in an elimination race, which can run longer.
constexpr int32_t LAST_TIMED_LAP = 4;
constexpr int32_t LAP_TIMES = 21;
constexpr int32_t PLACES = 7;

// Computer riders close to the leader race at their own top speed; further
// off they are pushed or held, fully at 12 values apart.
constexpr int32_t EVEN_DISTANCE = 4;
constexpr int32_t FULL_DISTANCE = 12;
constexpr float DISTANCE_STEP = 0.125f;
constexpr int32_t GROUND_ROAD = 0;
constexpr int32_t GROUND_FAST = 25;
constexpr int32_t GROUND_ROUGH = 26;
constexpr float FAST_GROUND_SLIDE = 3.0f;
constexpr float ROUGH_GROUND_SPEED = 0.7f;
constexpr float CATCH_UP_SPEED = 0.7f;
constexpr float HOLD_BACK_SPEED = 0.7f;

const Position3 OFF_TRACK = {-1000.0f, 0.0f, -1000.0f};

// Laps below one would end the race at the first touch of the line and
// divide the estimate of unfinished riders by zero.
int32_t lapsToRace(const Config& config) { return std::max(config.m_laps.get(), 1); }

bool isElimination(const Config& config) { return config.m_game.get() == Race::ELIMINATION; }

// The rider's record when this program is the one that sends it; null otherwise.
NetValue<Config::Player>* ownRecord(Vehicle& rider) {
    NetValue<Config::Player>* record = rider.m_playerRecord;
    if (!record || !(record->getFlags() & NetValueBase::FLAG_SEND)) return nullptr;
    return record;
}

// The entry of the lap times that the lap being driven fills.
int32_t lapTimeIndex(int32_t lap, bool elimination) {
    int32_t index = std::max(lap, 0);
    if (!elimination) index = std::min(index, LAST_TIMED_LAP);
    return std::min(index, LAP_TIMES - 1);
}

// A lap from the network may be anything: bounded so that counting on from it cannot overflow.
int32_t lapOf(const Vehicle& rider) { return std::min(std::max(rider.m_lap.get(), -1), MAX_LAP); }

int32_t progressKey(const Vehicle& rider) { return lapOf(rider) * LAP_KEY + rider.m_positionHistory[0]; }

// Riders before the line rank behind every rider on a lap.
int32_t rankKey(const Vehicle& rider) { return rider.m_lap.get() < 0 ? -1 : progressKey(rider); }

void notePosition(Vehicle& rider, int32_t value) {
    if (value == 0 || value == rider.m_positionHistory[0]) return;
    std::memmove(rider.m_positionHistory + 1, rider.m_positionHistory, (HISTORY - 1) * sizeof(int32_t));
    rider.m_positionHistory[0] = value;
}

void place(SceneObject* object, const Position3& at) {
    if (!object) return;
    object->setPosition(at);
    object->invalidate();
}

// A rider out of an elimination race leaves the track and takes its extras along.
void takeOffTrack(VehicleMaster& kart) {
    kart.m_lastPos = kart.m_newPos = OFF_TRACK;
    place(kart.m_object, OFF_TRACK);
    place(kart.m_colObject, OFF_TRACK);
    if (kart.m_colObject) kart.m_colObject->updateMatrix(0.0);
    kart.m_netPos = OFF_TRACK;
    kart.m_netColPos = OFF_TRACK;
    kart.m_rocketTimer = -1.0f;
    kart.m_rocketPos = OUT_OF_SIGHT;
    kart.m_effectMagnetPos = OUT_OF_SIGHT;
    for (SceneObject* object : {kart.m_rocketObject[0], kart.m_rocketObject[1], kart.m_magnetObject,
                                kart.m_laserObject[0], kart.m_laserObject[1]})
        place(object, OUT_OF_SIGHT);
    if (SceneObject* shadow = kart.m_shadowObject) {
        place(shadow, OFF_TRACK);
        Matrix4x3 world;
        kart.m_netShadowMatrix = shadow->getMatrix(world, 0.0, 1);
    }
}

CEGUI::String riderName(const Vehicle& rider) {
    if (!rider.m_playerRecord) return CEGUI::String();
    const Config::Player& record = rider.m_playerRecord->get();
    return CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(record.name), strnlen(record.name, Config::NAME_SIZE));
}

// A lap is counted: lap start, lap, best lap, and the finish or the drop-out it brings.
void completeLap(Race& race, int32_t i, Vehicle& rider, float lapTime, bool players) {
    race.m_lapStart[i] = rider.m_lap.get() == -1 ? 0.0f : race.m_lapStart[i] + lapTime;
    const int32_t lap = lapOf(rider) + 1;
    rider.m_lap = lap;
    if (NetValue<Config::Player>* record = ownRecord(rider); record && lap > 0) {
        const float best = record->get().bestLap;
        if (best == 0.0f || lapTime < best) record->modify()->bestLap = lapTime;
    }
    if (isElimination(*race.m_config)) {
        // The second to last of those still racing sends the last one out.
        if (lap > 0 && rider.m_rank.get() == race.m_vehicleCount - race.countFinished() - 2) {
            const int32_t last = race.lastActiveRider();
            if (last >= 0) race.getVehicle(last)->m_active = false;
        }
    } else if (lap >= lapsToRace(*race.m_config) && rider.asMaster()) {
        // Another computer's rider finishes when that computer says so: a lap counted here
        // from its late or jumping positions would stop it where it rides, there too.
        rider.m_active = false;
        rider.m_trackFinished = true;
        // Stopped past the line it would wall in the players still to come. A race of
        // computer riders only ends with its last finisher, and there they stop.
        rider.m_ridesOn = players && race.playerKind(i) == Race::COMPUTER;
        if (race.playerKind(i) != Race::REMOTE) race.recordFinish(i);
        const int32_t view = race.viewOfRider(i);
        if (rider.asMaster() && view >= 0) race.m_cameraMode[view] = Race::FINISHED;
    }
    std::fill_n(rider.m_positionHistory, HISTORY, HISTORY_AFTER_LAP);
}

// One frame of a rider still racing: where it is, its times, and the line; `players`
// tells whether a player rides in the race.
void advanceRider(Race& race, int32_t i, Vehicle& rider, bool players) {
    if (race.m_positionMap) {
        Position3 here;
        notePosition(rider, race.m_positionMap->lookup(rider.getPosition(here)));
    }
    if (rider.m_lap.get() != -1) race.markSectors(rider);

    const int32_t lapIndex = lapTimeIndex(rider.m_lap.get(), isElimination(*race.m_config));
    if (NetValue<Config::Player>* record = ownRecord(rider)) {
        float raceTime = 0.0f, lapTime = 0.0f;
        if (race.m_raceStartTime != 0.0f) {
            raceTime = race.clockTime() - race.m_raceStartTime;
            lapTime = rider.m_lap.get() == -1 ? raceTime : raceTime - race.m_lapStart[i];
        }
        rider.m_trackTime = raceTime;
        if (record->get().lapTimes[lapIndex] != lapTime) record->modify()->lapTimes[lapIndex] = lapTime;
    }
    if (rider.m_sectorMask == ALL_SECTORS && rider.m_crossedLine)
        completeLap(race, i, rider, rider.m_playerRecord ? rider.m_playerRecord->get().lapTimes[lapIndex] : 0.0f,
                    players);
    // A crossing without every sector passed counts for nothing, and the sectors start again.
    if (rider.m_crossedLine) {
        rider.m_crossedLine = false;
        rider.m_sectorMask = 0;
    }
}

// Carries out the elimination of a rider no longer active.
void dropOut(Race& race, int32_t i, Vehicle& rider) {
    rider.m_eliminated = true;
    const int32_t view = race.viewOfRider(i);
    if (view >= 0) race.m_cameraMode[view] = Race::OUT_OF_RACE;
    VehicleMaster* kart = rider.asMaster();
    if (kart) takeOffTrack(*kart);
    if (race.m_displays) race.m_displays->setMinimapDotVisible(i, false);
    rider.m_trackFinished = true;
    if (race.playerKind(i) != Race::REMOTE) race.recordFinish(i);
    // The mopeds carry no winning motion: the winner's view only changes camera.
    if (kart && view >= 0 && rider.m_playerRecord && rider.m_playerRecord->get().place == 0)
        race.m_cameraMode[view] = Race::FINISHED;
    if (race.m_displays && rider.m_rank.get() != 0)
        for (int32_t v = 0; v < race.m_viewCount && v < Race::MAX_VIEWS; ++v)
            race.m_displays->showNicknameMessage(v, riderName(rider));
    race.m_eliminationTime = race.clockTime();
}

} // namespace

void Race::resetProgress() {
    m_raceOver = false;
    for (int32_t i = 0; i < MAX_VEHICLES; ++i) {
        m_lapStart[i] = 0.0f;
        if (m_vehicles[i]) std::fill_n(m_vehicles[i]->m_positionHistory, HISTORY, MAP_END);
    }
    for (float& time : m_wrongWayTime) time = 0.0f;
    m_eliminationTime = 0.0f;
}

void Race::updateProgress() {
    if (!m_config) return;
    const bool elimination = isElimination(*m_config);
    updateRanks();

    int32_t unfinished = 0;
    bool humans = false;
    bool humansRacing = false;
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        if (!rider) continue;
        const bool human = playerKind(i) != COMPUTER;
        humans = humans || human;
        if (rider->m_trackFinished.get()) continue;
        ++unfinished;
        humansRacing = humansRacing || human;
    }
    // The last rider left of an elimination race stops once the drop-out message has gone.
    const bool message = m_displays && (m_displays->isMessagePanelVisible(0) || m_displays->isMessagePanelVisible(1));
    if (elimination && unfinished < 2 && !message)
        for (int32_t i = 0; i < m_vehicleCount; ++i)
            if (Vehicle* rider = getVehicle(i)) rider->m_active = false;
    // A race of computer riders only (the race-run tool's) lasts until every one of them has finished.
    if (humans ? !humansRacing : unfinished == 0) {
        m_raceOver = true;
        m_raceOverTime = clockTime();
        return;
    }

    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        if (rider && !rider->m_trackFinished.get() && rider->m_active.get()) advanceRider(*this, i, *rider, humans);
    }
    for (int32_t view = 0; view < m_viewCount && view < MAX_VIEWS; ++view) m_wrongWay[view] = checkWrongWay(view);

    if (!elimination || m_countdownState != RUNNING) return;
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        if (rider && !rider->m_active.get() && !rider->m_eliminated) dropOut(*this, i, *rider);
    }
}

void Race::markSectors(Vehicle& rider) {
    const int32_t c = rider.m_positionHistory[0] / SECTOR_VALUES;
    const int32_t p = rider.m_positionHistory[1] / SECTOR_VALUES;
    // Passing the line either way is the checkpoint's business.
    if (c == p || (c == LAST_SECTOR && p == 0) || (c == 0 && p == LAST_SECTOR)) return;
    uint32_t bits = 0;
    for (int32_t s = std::min(c, p) + 1; s <= std::max(c, p) && s <= LAST_SECTOR; ++s) bits |= 1u << s;
    if (c > p)
        rider.m_sectorMask |= bits;
    else
        rider.m_sectorMask &= ~bits;
}

void Race::updateRanks() {
    if (m_countdownState != RUNNING) {
        for (int32_t i = 0; i < m_vehicleCount; ++i)
            if (Vehicle* rider = getVehicle(i); rider && rider->m_playerRecord)
                rider->m_rank = rider->m_playerRecord->get().startRank;
        return;
    }
    std::vector<Vehicle*> order;
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        if (!rider) continue;
        auto at = order.end();
        while (at != order.begin()) {
            const Vehicle& ahead = **(at - 1);
            const int32_t key = rankKey(*rider), aheadKey = rankKey(ahead);
            if (key < aheadKey || (key == aheadKey && rider->m_rank.get() >= ahead.m_rank.get())) break;
            --at;
        }
        order.insert(at, rider);
    }
    for (size_t rank = 0; rank < order.size(); ++rank) order[rank]->m_rank = static_cast<int>(rank);
}

bool Race::checkWrongWay(int32_t view) {
    if (view < 0 || view >= MAX_VIEWS) return false;
    Vehicle* rider = getVehicle(m_viewRider[view]);
    if (!rider || rider->m_lap.get() == -1 || rider->m_trackFinished.get() || !rider->m_active.get()) return false;
    int32_t* history = rider->m_positionHistory;
    if (!(history[0] < history[1] && history[1] < history[2] && history[2] < history[3])) return false;
    // Three steps back have been told; the next three must come before it is told again.
    std::fill_n(history + 1, HISTORY - 1, history[0]);
    return true;
}

void Race::recordFinish(int32_t index) {
    NetControl::getInstance().sendChangedValues();
    Vehicle* rider = getVehicle(index);
    if (!rider || !m_config) return;
    NetValue<Config::Player>* record = ownRecord(*rider);
    if (!record) return;
    const int32_t finished = countFinished();
    const int32_t place = isElimination(*m_config) ? m_vehicleCount - finished : finished - 1;
    Config::Player& result = *record->modify();
    result.place = place;
    result.raceTime = rider->m_trackTime.get();
    // Only the places of the table earn points.
    result.racePoints = place >= 0 && place < PLACES ? PLACE_POINTS[place] : 0;
    // The standings' total reads as the sum of the race times the results showed.
    result.totalTime = GuiHelper::addShownTime(result.totalTime, result.raceTime);
    result.points += result.racePoints;
    result.startRank = place;
}

void Race::finishRemaining() {
    if (!m_config) return;
    std::vector<Vehicle*> unfinished;
    for (int32_t i = 0; i < m_vehicleCount; ++i)
        if (Vehicle* rider = getVehicle(i); rider && !rider->m_trackFinished.get()) unfinished.push_back(rider);
    if (unfinished.empty()) return;
    const int32_t n = static_cast<int32_t>(unfinished.size());
    const auto left = [](const Vehicle& rider) { return static_cast<float>(MAP_END - rider.m_positionHistory[0]); };

    if (isElimination(*m_config)) {
        const bool humanLeft = std::any_of(unfinished.begin(), unfinished.end(),
                                           [this](Vehicle* rider) { return playerKind(rider->m_index) != COMPUTER; });
        if (!humanLeft && n > 1) {
            float t = unfinished[0]->m_trackTime.get();
            for (int32_t k = 0; k < n; ++k) {
                Vehicle& rider = *unfinished[k];
                const float f = k == 0 ? 1.0f : rider.m_trackTime.get() / ((n + 1 - k) * MAP_END);
                t += left(rider) * f;
                rider.m_trackTime = t;
            }
        }
    } else {
        int32_t reference = 0;
        for (int32_t i = 0; i < m_vehicleCount; ++i) {
            Vehicle* rider = getVehicle(i);
            if (rider && rider->m_trackFinished.get() && getVehicle(reference) &&
                rider->m_trackTime.get() > getVehicle(reference)->m_trackTime.get())
                reference = i;
        }
        const float referenceTime = getVehicle(reference) ? getVehicle(reference)->m_trackTime.get() : 0.0f;
        const int32_t laps = lapsToRace(*m_config);
        const float perValue = referenceTime / (laps * MAP_END);
        for (Vehicle* rider : unfinished) {
            float t = referenceTime;
            int32_t lap = lapOf(*rider);
            for (; lap < laps - 1; ++lap) t += perValue * MAP_END;
            rider->m_lap = lap;
            rider->m_trackTime = t + left(*rider) * perValue;
        }
    }

    std::stable_sort(unfinished.begin(), unfinished.end(),
                     [](Vehicle* a, Vehicle* b) { return a->m_trackTime.get() < b->m_trackTime.get(); });
    for (Vehicle* rider : unfinished) {
        rider->m_active = false;
        rider->m_trackFinished = true;
        recordFinish(rider->m_index);
    }
}

void Race::adjustComputerSpeeds() {
    if (!m_config || m_config->m_playMode == LAN) return;
    const Vehicle* leader = nullptr;
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        const Vehicle* rider = getVehicle(i);
        if (rider && playerKind(i) != COMPUTER && (!leader || rider->m_rank.get() < leader->m_rank.get()))
            leader = rider;
    }
    if (!leader) return;
    const int32_t leaderKey = progressKey(*leader);

    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        VehicleMaster* kart = getVehicle(i) ? getVehicle(i)->asMaster() : nullptr;
        if (!kart || playerKind(i) != COMPUTER || kart->m_boost != 0.0f) continue;
        const VehicleSettings& settings = *kart->m_settings;
        float base = settings.m_maxSpeed;
        switch (kart->m_raySurface[VehicleMaster::BODY_RAY]) {
        case GROUND_ROAD: kart->m_slideFactor = settings.m_handling5; break;
        case GROUND_FAST: kart->m_slideFactor = settings.m_handling5 * FAST_GROUND_SLIDE; break;
        case GROUND_ROUGH:
            kart->m_slideFactor = settings.m_handling5;
            base = ROUGH_GROUND_SPEED * settings.m_maxSpeed;
            break;
        default: break;
        }
        if (!kart->m_controller || kart->m_controller->accelerate() <= 0 || !(kart->m_curSpeed > 0.0f)) continue;
        const int32_t key = progressKey(*kart);
        const int32_t distance = std::abs(leaderKey - key);
        if (distance < EVEN_DISTANCE) {
            kart->m_maxSpeed = settings.m_maxSpeed;
            continue;
        }
        const float f = (std::min(distance, FULL_DISTANCE) - EVEN_DISTANCE) * DISTANCE_STEP;
        if (key < leaderKey) {
            const float catchUp = base + (CATCH_UP_SPEED * settings.m_boostedMaxSpeed - base) * f;
            kart->m_maxSpeed = std::min(std::max(kart->m_maxSpeed, catchUp), settings.m_boostedMaxSpeed);
        } else {
            const float holdBack = (HOLD_BACK_SPEED + (1.0f - HOLD_BACK_SPEED) * (1.0f - f)) * base;
            kart->m_maxSpeed = std::min(kart->m_maxSpeed, holdBack);
        }
    }
}

int32_t Race::lastActiveRider() const {
    int32_t last = -1;
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        const Vehicle* rider = getVehicle(i);
        if (rider && rider->m_active.get() && (last < 0 || rider->m_rank.get() > getVehicle(last)->m_rank.get()))
            last = i;
    }
    return last;
}

int32_t Race::countFinished() const {
    int32_t finished = 0;
    for (int32_t i = 0; i < m_vehicleCount; ++i)
        if (const Vehicle* rider = getVehicle(i); rider && rider->m_trackFinished.get()) ++finished;
    return finished;
}
