#pragma once
#include <cstdint>

#include "engine/platform/Math3D.h"

// One particle of an emitter's pool, handed as an array to the effects and
// to the hypervoxel that draws them.
struct Particle {
    Position3 position;
    Position3 velocity;
    // Seconds left to live.
    float life;
    // Its speed factor; the effectors weigh their push with it.
    float speed;
    // Two per-particle values for the drawing object.
    float second;
    float third;
    bool alive;
};
