#pragma once
#include <cstdint>

#include "tools/demodata/mopeds/RiderFigure.h"
#include "tools/lightwave/LwsScene.h"

// The "moped" actor of a moped scene with its three motions: "Left" and
// "Right" lean rider and moped into a curve (held poses: the race plays them
// at its own clock), "Crash" throws the rider over the bars while the moped
// falls on its side, ending in a held pose.
// `hips`: the rider's hip joint in the moped's frame.
LwsMixer mopedActor(Vec3 hips, uint32_t bodyIndex, uint32_t riderIndex);

// How far the moped leans in a curve (radians; Left banks it by +LEAN).
inline constexpr float LEAN = 0.32f;
// Seconds the crash takes before it holds its last pose.
inline constexpr float CRASH_TIME = 1.2f;
