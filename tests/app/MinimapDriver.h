#pragma once
#include <chrono>
#include <deque>

#include <X11/keysym.h>

#include "tests/app/VirtualDisplay.h"
#include "tools/demodata/tracks/Centreline.h"

// Rides a player's moped round a demo track by the default keys, watching
// only the view's mini map as a player could: the green dot, steered towards
// a point a little ahead on the road's middle. The race runs on real time,
// so a fixed key script would not repeat.
class MinimapDriver {
public:
    // A view's mini map on the 1024 x 768 screen, covering the world's x and
    // z from -250 to 250, +z up.
    struct Map {
        double left, top, size;
    };
    static constexpr Map ONE_VIEW = {655.6, 399.6, 358.4};
    static constexpr Map UPPER_VIEW = {758.0, 118.0, 256.0};
    static constexpr Map LOWER_VIEW = {758.0, 502.0, 256.0};

    struct Keys {
        unsigned long throttle, reverse, left, right;
    };
    static constexpr Keys FIRST_PLAYER = {XK_w, XK_s, XK_a, XK_d};
    static constexpr Keys SECOND_PLAYER = {XK_Up, XK_Down, XK_Left, XK_Right};
    // Laps: how far before the road's first point a rider may count as finished.
    static constexpr double LINE_MARGIN = 0.01;

    MinimapDriver(VirtualDisplay& screen, Centreline road, Map map = ONE_VIEW, Keys keys = FIRST_PLAYER);
    // Lets go of every key.
    ~MinimapDriver();
    MinimapDriver(const MinimapDriver&) = delete;
    MinimapDriver& operator=(const MinimapDriver&) = delete;

    // One look at the map and the keys set by it; false when the dot was not seen.
    bool step();
    // How far the moped has come along the road, in laps (no lap counts before the first line).
    double lapsDriven() const { return m_driven / m_road.length(); }
    // How far along the road the moped has come since it was first seen, from its place on the grid.
    double ridden() const { return m_driven - m_firstSeen; }
    void release();
    // The own rider's dot is 0xFF20C020, the others' red; the scene behind the map is dimmed.
    static bool isGreenDot(const uint8_t* rgb) { return rgb[1] > 140 && rgb[0] < 90 && rgb[2] < 90; }
    // From now on the driver only opens the throttle: a short run down a straight
    // does not depend on how quickly a loaded machine answers the steering.
    void rideStraight() { m_steers = false; }
    // Rides until the moped has come that many laps and a little more, or
    // stands about there (a finished rider rolls out, and the game's line may
    // lie a little before the road's first point), or the time is up; then lets go.
    void ride(double laps, std::chrono::seconds timeout);

private:
    using Clock = std::chrono::steady_clock;
    struct Seen {
        Clock::time_point at;
        float x, z;
    };

    bool findDot(float& x, float& z);
    // The road's distance nearest to (x, z) close to the last one, so that a
    // road that passes over itself is not mistaken for its other level.
    float followRoad(float x, float z) const;
    void setKeys(bool throttle, bool reverse, int steer);

    VirtualDisplay& m_screen;
    Centreline m_road;
    Map m_map;
    Keys m_keys;
    std::deque<Seen> m_seen;
    float m_s = 0.0f;
    double m_driven = 0.0;
    double m_firstSeen = 0.0;
    bool m_found = false;
    bool m_underway = false;
    bool m_steers = true;
    Clock::time_point m_reversingUntil{};
    int m_reverseSteer = 0;
    bool m_throttle = false, m_reverse = false;
    int m_steer = 0;
};
