#pragma once

namespace sys {

// A position or direction in the game's left-handed frame (z forward).
struct AudioVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

} // namespace sys
