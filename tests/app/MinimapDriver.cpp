#include "tests/app/MinimapDriver.h"

#include <algorithm>
#include <cmath>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr float WORLD = 250.0f;
// Of the one-view map's dot; riders' dots drawn later may cover part of it.
constexpr double MIN_DOT_PIXELS = 12.0;
// Once seen, the dot is looked for this far around its last place (map pixels).
constexpr int SEARCH = 30;

constexpr float LOOK_AHEAD = 10.0f;
constexpr float LOOK_AHEAD_PER_SPEED = 0.5f;
// The wheel is turned for a share of each beat as large as the turn asked
// for, so that the moped does not weave from one side to the other.
constexpr auto STEER_BEAT = 200ms;
constexpr float FULL_TURN = 1.0f; // radians
constexpr float STRAIGHT_ENOUGH = 0.06f;
constexpr float ROAD_BEHIND = 15.0f, ROAD_AHEAD = 40.0f;

// The heading is taken over at least this long and this far.
constexpr auto HEADING_TIME = 300ms;
constexpr float HEADING_DISTANCE = 5.0f;
// Stuck: less than that far in that long with the throttle open; then back off a while.
constexpr auto STUCK_TIME = 1500ms;
constexpr float STUCK_DISTANCE = 1.5f;
constexpr auto REVERSE_TIME = 1000ms;

float distance(float ax, float az, float bx, float bz) { return std::hypot(ax - bx, az - bz); }

} // namespace

MinimapDriver::MinimapDriver(VirtualDisplay& screen, Centreline road, Map map, Keys keys)
    : m_screen(screen), m_road(std::move(road)), m_map(map), m_keys(keys) {}

MinimapDriver::~MinimapDriver() { release(); }

void MinimapDriver::release() { setKeys(false, false, 0); }

void MinimapDriver::ride(double laps, std::chrono::seconds timeout) {
    const Clock::time_point giveUp = Clock::now() + timeout;
    Clock::time_point lastMove = Clock::now();
    double last = lapsDriven();
    while (lapsDriven() < laps + 0.02 && Clock::now() < giveUp) {
        step();
        const Clock::time_point now = Clock::now();
        if (lapsDriven() != last) {
            last = lapsDriven();
            lastMove = now;
        } else if (last >= laps - LINE_MARGIN && now - lastMove > 2s) {
            break;
        }
        std::this_thread::sleep_for(30ms);
    }
    release();
}

bool MinimapDriver::findDot(float& x, float& z) {
    int left = int(m_map.left), top = int(m_map.top), size = int(std::ceil(m_map.size)) + 1;
    int width = size, height = size;
    if (m_found) {
        const float scale = float(m_map.size) / (2.0f * WORLD);
        const int cx = int(m_map.left + (x + WORLD) * scale), cy = int(m_map.top + m_map.size - (z + WORLD) * scale);
        left = std::max(left, cx - SEARCH);
        top = std::max(top, cy - SEARCH);
        width = std::min(int(m_map.left) + size, cx + SEARCH) - left;
        height = std::min(int(m_map.top) + size, cy + SEARCH) - top;
        if (width <= 0 || height <= 0) return false;
    }
    const VirtualDisplay::Picture picture = m_screen.grab(left, top, width, height);
    double sumX = 0.0, sumY = 0.0;
    int count = 0;
    for (uint32_t row = 0; row < picture.height; ++row)
        for (uint32_t column = 0; column < picture.width; ++column)
            if (isGreenDot(&picture.rgb[(size_t(row) * picture.width + column) * 3])) {
                sumX += column + 0.5;
                sumY += row + 0.5;
                ++count;
            }
    if (count < MIN_DOT_PIXELS * (m_map.size / ONE_VIEW.size) * (m_map.size / ONE_VIEW.size)) return false;
    const double perPixel = 2.0 * WORLD / m_map.size;
    x = float((left + sumX / count - m_map.left) * perPixel - WORLD);
    z = float((m_map.top + m_map.size - (top + sumY / count)) * perPixel - WORLD);
    return true;
}

float MinimapDriver::followRoad(float x, float z) const {
    float best = m_s, bestDistance = 1e30f;
    for (float ds = -ROAD_BEHIND; ds <= ROAD_AHEAD; ds += Centreline::STEP) {
        const Centreline::Frame f = m_road.at(m_s + ds);
        const float d = distance(f.position.x, f.position.z, x, z);
        if (d < bestDistance) {
            bestDistance = d;
            best = f.s;
        }
    }
    return best;
}

bool MinimapDriver::step() {
    float x = m_seen.empty() ? 0.0f : m_seen.back().x, z = m_seen.empty() ? 0.0f : m_seen.back().z;
    if (!findDot(x, z)) {
        // Hidden under the others on the grid: the grid faces along the road.
        if (!m_found) setKeys(true, false, 0);
        return false;
    }
    const Clock::time_point now = Clock::now();
    const float length = m_road.length();
    if (!m_found) {
        m_found = true;
        m_s = m_road.nearest(x, z).s;
        // The grid stands before the line: the first crossing starts lap 0.
        m_driven = m_s > length / 2 ? m_s - length : m_s;
        m_firstSeen = m_driven;
    } else {
        const float s = followRoad(x, z);
        float ds = s - m_s;
        if (ds > length / 2) ds -= length;
        if (ds < -length / 2) ds += length;
        m_driven += ds;
        m_s = s;
    }
    m_seen.push_back({now, x, z});
    while (m_seen.size() > 2 && now - m_seen[1].at > STUCK_TIME) m_seen.pop_front();

    const Centreline::Frame here = m_road.at(m_s);
    float hx = here.forward.x, hz = here.forward.z, speed = 0.0f;
    for (auto it = m_seen.rbegin(); it != m_seen.rend(); ++it) {
        const float d = distance(x, z, it->x, it->z);
        if (now - it->at >= HEADING_TIME && d >= HEADING_DISTANCE) {
            hx = (x - it->x) / d;
            hz = (z - it->z) / d;
            speed = d / std::chrono::duration<float>(now - it->at).count();
            m_underway = true;
            break;
        }
    }
    const Centreline::Frame ahead = m_road.at(m_s + LOOK_AHEAD + LOOK_AHEAD_PER_SPEED * speed);
    const float dx = ahead.position.x - x, dz = ahead.position.z - z;
    // Which way the road's frames turn "right", so that no handedness is assumed.
    const float rightHand = here.forward.x * here.right.z - here.forward.z * here.right.x;
    const float turn = std::atan2((hx * dz - hz * dx) * rightHand, hx * dx + hz * dz);
    const float beat = std::chrono::duration<float>(now.time_since_epoch() % STEER_BEAT) / STEER_BEAT;
    // Until its own heading shows, the moped rides straight on: the grid faces along the road.
    const bool turning = m_steers && m_underway && std::abs(turn) >= STRAIGHT_ENOUGH && beat < std::abs(turn) / FULL_TURN;
    const int steer = turning ? (turn > 0 ? 1 : -1) : 0;

    if (now < m_reversingUntil) {
        // The time to get going again counts from the end of the backing off.
        m_seen.erase(m_seen.begin(), m_seen.end() - 1);
        setKeys(false, true, m_reverseSteer);
        return true;
    }
    const Seen& oldest = m_seen.front();
    // Before the start signal the moped stands whatever the keys say.
    const bool stuck = now - oldest.at >= STUCK_TIME && distance(x, z, oldest.x, oldest.z) < STUCK_DISTANCE;
    if (m_underway && m_throttle && stuck) {
        // Backing off with the wheel the other way turns the nose towards the road.
        m_reversingUntil = now + REVERSE_TIME;
        m_reverseSteer = steer == 0 ? 1 : -steer;
        setKeys(false, true, m_reverseSteer);
        return true;
    }
    setKeys(true, false, steer);
    return true;
}

void MinimapDriver::setKeys(bool throttle, bool reverse, int steer) {
    if (throttle != m_throttle) m_screen.setKey(m_keys.throttle, throttle);
    if (reverse != m_reverse) m_screen.setKey(m_keys.reverse, reverse);
    if (steer != m_steer) {
        if (m_steer != 0) m_screen.setKey(m_steer > 0 ? m_keys.right : m_keys.left, false);
        if (steer != 0) m_screen.setKey(steer > 0 ? m_keys.right : m_keys.left, true);
    }
    m_throttle = throttle;
    m_reverse = reverse;
    m_steer = steer;
}
