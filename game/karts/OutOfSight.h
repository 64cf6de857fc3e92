#pragma once
#include "engine/platform/Math3D.h"

// Where the race parks what it hides (extras, rockets, mines, effects): under
// every track, so that nothing there is seen or met.
inline constexpr Position3 OUT_OF_SIGHT = {0.0f, -100.0f, 0.0f};
