#include "game/drivers/ControllerAI.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "engine/platform/Random.h"
#include "engine/platform/archive/File.h"
#include "game/karts/VehicleMaster.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "game/records/RecordBytes.h"

namespace {

constexpr uint32_t RECORD_SIZE = 16;
constexpr double STUCK_PERIOD = 5.0;
constexpr double STUCK_DISTANCE = 1.0;
constexpr double REVERSE_TIME = 1.0;
constexpr float MIN_TARGET_SPEED = 0.5f;

double distanceSquared(const Position3& a, const Position3& b) {
    double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return dx * dx + dy * dy + dz * dz;
}

std::string pathFileName(int32_t track, int path) {
    return "D:\\Vantorik\\ai_files\\track0" + std::to_string(track + 1) + "\\ai" + std::to_string(path + 2) + ".dat";
}

// Whole 16-byte records only: x, y, z and the speed at the point.
void readPathFile(File& files, const std::string& name, std::vector<Position3>& points, std::vector<float>& speeds) {
    if (!files.open(name.c_str())) return;
    uint32_t records = std::min(files.getSize() / RECORD_SIZE, ControllerAI::MAX_PATH_POINTS);
    for (uint32_t i = 0; i < records; ++i) {
        uint8_t record[RECORD_SIZE];
        if (files.readFully(record, RECORD_SIZE) < RECORD_SIZE) break;
        Position3 point = {RecordBytes::getFloat(record), RecordBytes::getFloat(record + 4),
                           RecordBytes::getFloat(record + 8)};
        // A point nowhere would stall the search and the steering for good.
        if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) continue;
        float speed = RecordBytes::getFloat(record + 12);
        points.push_back(point);
        // A speed no test can compare with would leave the kart coasting forever.
        speeds.push_back(std::isnan(speed) ? 0.0f : speed);
    }
    files.close();
}

double raceTime() { return g_race ? g_race->m_simulatedTime : 0.0; }

// No extra acts on the kart; a kart we cannot see into counts as free.
bool effectsIdle(Vehicle* vehicle) {
    VehicleMaster* master = vehicle->asMaster();
    return !master || (master->m_stamperTimer == 0.0f && master->m_crusherTimer == 0.0f &&
                       master->m_frozenTimer == 0.0f && master->m_shrinkTimer == 0.0f);
}

} // namespace

ControllerAI::ControllerAI(Vehicle* vehicle, Config* config, int32_t riderIndex, File* fileSystem)
    : m_vehicle(vehicle) {
    int32_t track = config ? config->m_track.get() : -1;
    for (int path = 0; path < PATHS; ++path) loadPath(fileSystem, track, path);
    startOnPath(riderIndex);
}

ControllerAI::ControllerAI(Vehicle* vehicle, int32_t riderIndex, const ControllerAI& pathsOf) : m_vehicle(vehicle) {
    for (int path = 0; path < PATHS; ++path) {
        m_paths[path] = pathsOf.m_paths[path];
        m_speeds[path] = pathsOf.m_speeds[path];
    }
    startOnPath(riderIndex);
}

void ControllerAI::startOnPath(int32_t riderIndex) {
    // Rider 0 has no path file of its own; it shares the first one.
    m_pathNumber = std::clamp(riderIndex - 1, 0, PATHS - 1);
    m_stuckCheckPosition = m_paths[m_pathNumber][0];
}

void ControllerAI::loadPath(File* fileSystem, int32_t track, int path) {
    if (fileSystem && track >= 0 && track < PATHS)
        readPathFile(*fileSystem, pathFileName(track, path), m_paths[path], m_speeds[path]);
    if (m_paths[path].empty()) {
        m_paths[path].push_back({0.0f, 0.0f, 0.0f});
        m_speeds[path].push_back(0.0f);
    }
}

void ControllerAI::keepPathInRange() {
    m_pathNumber = std::clamp(m_pathNumber, 0, PATHS - 1);
    int32_t count = static_cast<int32_t>(m_paths[m_pathNumber].size());
    m_pathIndex %= count;
    if (m_pathIndex < 0) m_pathIndex += count;
}

void ControllerAI::update(bool wallHit, bool reverseGear) {
    if (!m_vehicle || !(m_vehicle->m_active.get() || m_vehicle->m_ridesOn)) return;
    double time = raceTime();
    if (wallHit) {
        m_reversing = true;
        m_reverseStart = time;
        // Already backing away from it.
        if (reverseGear) m_reversing = false;
    }

    Position3 position;
    m_vehicle->getPosition(position);
    keepPathInRange();
    if (m_firstUpdatePending) {
        m_firstUpdatePending = false;
        m_stuckCheckTime = time;
    }
    if (!checkStuck(position, time)) searchPathIndex(position);
    keepPathInRange();

    int32_t next = (m_pathIndex + 1) % static_cast<int32_t>(m_paths[m_pathNumber].size());
    steerTo(m_paths[m_pathNumber][next], position);
    chooseThrottle(next);
    if (m_reversing) {
        std::swap(m_left, m_right);
        std::swap(m_accelerate, m_brake);
        if (time - m_reverseStart >= REVERSE_TIME) m_reversing = false;
    }
    m_useExtra = Random::next() % 1000 == 0;
}

bool ControllerAI::checkStuck(const Position3& position, double time) {
    if (time - m_stuckCheckTime <= STUCK_PERIOD) return false;
    bool respawned = false;
    if (effectsIdle(m_vehicle) &&
        distanceSquared(position, m_stuckCheckPosition) < STUCK_DISTANCE * STUCK_DISTANCE) {
        VehicleMaster* master = m_vehicle->asMaster();
        if (!m_reversedThisPeriod) {
            m_reversing = true;
            m_reverseStart = time;
        } else if (master) {
            master->respawn();
            respawned = true;
        }
    }
    m_stuckCheckTime = time;
    m_stuckCheckPosition = position;
    m_reversedThisPeriod = false;
    return respawned;
}

void ControllerAI::searchPathIndex(const Position3& position) {
    const std::vector<Position3>& path = m_paths[m_pathNumber];
    int32_t count = static_cast<int32_t>(path.size());
    if (m_reversing) {
        m_reversedThisPeriod = true;
        while (m_pathIndex > 0 &&
               distanceSquared(position, path[m_pathIndex - 1]) < distanceSquared(position, path[m_pathIndex]))
            --m_pathIndex;
        return;
    }
    // One lap of the path at most; a NaN distance ends it too.
    for (int32_t step = 0; step < count; ++step) {
        int32_t next = (m_pathIndex + 1) % count;
        if (!(distanceSquared(position, path[next]) < distanceSquared(position, path[m_pathIndex]))) break;
        m_pathIndex = next;
    }
}

void ControllerAI::steerTo(const Position3& target, const Position3& position) {
    // The side vector: the heading crossed with the up axis.
    const float* heading = m_vehicle->getDirection();
    double side = (double(target.x) - position.x) * -heading[2] + (double(target.z) - position.z) * heading[0];
    if (side > 0.0) {
        m_left = 1;
        m_right = 0;
    } else if (side < 0.0) {
        m_left = 0;
        m_right = 1;
    }
}

void ControllerAI::chooseThrottle(int32_t next) {
    const std::vector<float>& speeds = m_speeds[m_pathNumber];
    float speed = std::fabs(m_vehicle->getSpeed());
    float velocity = m_reversing ? -speed : speed;
    float limit = std::max(speeds[next], MIN_TARGET_SPEED);
    m_accelerate = velocity < limit ? 1 : 0;
    m_brake = velocity > limit && velocity > speeds[m_pathIndex] ? 1 : 0;
}
