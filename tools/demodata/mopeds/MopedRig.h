#pragma once
#include <cstdint>
#include <optional>

#include "tools/lightwave/LwsScene.h"

// Object indices of a moped placed in a scene.
struct PlacedMoped {
    uint32_t body;
    uint32_t frontWheel;
    uint32_t rearWheel;
    std::optional<uint32_t> rider;
};

// Appends a moped of the model and colour to the scene's objects: the body on
// `parent` (an object index of the scene), the wheels on the body, and, when
// `withRider`, the model's rider with its bones on `parent` too.
PlacedMoped placeMoped(LwsScene& scene, int model, int colour, std::optional<uint32_t> parent, bool withRider);
