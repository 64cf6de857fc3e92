#pragma once
#include <cstdint>
#include <vector>

#include <ode/common.h>

#include "engine/platform/Math3D.h"

class LW6Scene;

// What a kart's probe ray finds under a point: it looks down from just above
// the point, as far as a wheel ray reaches and a little more, into the spaces
// the race collides the rays with, and takes the nearest surface it meets.
// The scene must have the race's surface kinds entered.
class GroundProbe {
public:
    enum class Found { GROUND, FALL_ZONE, OTHER, NOTHING };
    struct Result {
        Found found = Found::NOTHING;
        // Surface kind and height of what was met.
        int32_t surfaceKind = -1;
        float height = 0.0f;
    };
    static constexpr float LIFT = 1.0f;
    static constexpr float LENGTH = 4.0f;

    explicit GroundProbe(LW6Scene& scene);
    ~GroundProbe();
    GroundProbe(const GroundProbe&) = delete;
    GroundProbe& operator=(const GroundProbe&) = delete;

    Result under(const Position3& point);

private:
    LW6Scene& m_scene;
    dGeomID m_ray;
    std::vector<dSpaceID> m_spaces;
};
