#pragma once
#include <cstdint>

#include "tools/lightwave/LwsScene.h"

// Object indices of a placed moped's body and rider (the actor moves both).
struct PlacedMoped {
    uint32_t body;
    uint32_t rider;
};

// Appends a moped of the model and colour to the scene's objects: the body on
// `parent` (an object index of the scene), the wheels on the body, and the
// model's rider with its bones on `parent` too. `farFrom` > 0: body and wheels
// switch to their far level beyond that distance from the camera.
PlacedMoped placeMoped(LwsScene& scene, int model, int colour, uint32_t parent, float farFrom = 0.0f);
