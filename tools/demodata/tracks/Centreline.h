#pragma once
#include <vector>

#include "tools/demodata/tracks/Vec3.h"

// One control point of a closed centreline: where the road's middle runs
// (x, z, road height), its full width and its banking (radians, positive
// lifts the left edge).
struct CentrelinePoint {
    float x = 0.0f, z = 0.0f;
    float height = 0.0f;
    float width = 12.0f;
    float bank = 0.0f;
};

// A closed road centreline in driving order. The control points are joined
// by a centripetal Catmull-Rom curve in plan, heights that never overshoot them (a flat
// point between two flat ones stays flat; give a ramp points on its slope to
// round its crest) and eased widths and banks, and
// sampled about every `STEP` units; distance s runs from the first control
// point (the finish line) round the lap and wraps at `length()`.
class Centreline {
public:
    static constexpr float STEP = 0.5f;

    // Where the road is at a distance along the lap.
    struct Frame {
        float s = 0.0f;
        Vec3 position{};   // centre of the road surface
        Vec3 forward{};    // unit, horizontal, along the lap
        Vec3 right{};      // unit, horizontal, to the driver's right
        float width = 0.0f;
        float bank = 0.0f;
        float heading() const { return headingOf(forward); }
        // The road surface `lateral` units to the right of the middle (banking included).
        Vec3 across(float lateral) const;
    };

    explicit Centreline(std::vector<CentrelinePoint> controls);

    const std::vector<CentrelinePoint>& controls() const { return m_controls; }
    float length() const { return m_length; }
    // Any s; wrapped into [0, length).
    Frame at(float s) const;
    float wrap(float s) const;
    // Evenly spaced frames about `spacing` apart, starting at s = 0.
    std::vector<Frame> frames(float spacing) const;
    // Distance along the lap of the sample nearest to (x, z) in plan, and
    // that sample's signed lateral offset (right positive) and plan distance.
    struct Nearest {
        float s = 0.0f;
        float lateral = 0.0f;
        float distance = 0.0f;
    };
    Nearest nearest(float x, float z) const;
    // Smallest turning radius of the sampled curve in plan (for drivability checks).
    float tightestRadius() const;

private:
    std::vector<CentrelinePoint> m_controls;
    std::vector<Frame> m_samples;
    float m_length = 0.0f;
};
