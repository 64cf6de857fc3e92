#pragma once
#include <cstdint>

#include "engine/platform/Ref.h"

namespace sys::gfx {
class Query;
}

// One view's flare record: what the last frame measured, what this one does,
// and the occlusion query that tells next frame how much of the light shows.
struct FlareView {
    bool drawnBefore = false;
    float intensityBefore = 0.0f;
    float edgeFadeBefore = 0.0f;
    bool onScreen = false;
    bool drawn = false;
    float intensity = 0.0f;
    float edgeFade = 0.0f;
    // Null when the device could not make one.
    Ref<sys::gfx::Query> query;
};
