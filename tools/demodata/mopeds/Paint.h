#pragma once
#include <array>
#include <string>

#include "tools/lightwave/Lwo2Object.h"

// A surface as the fixed-function renderer shows it: colour, diffuse and
// specular light, gloss, glow, see-through and the smoothing angle.
struct Paint {
    std::array<float, 3> rgb{0.7f, 0.7f, 0.7f};
    float diffuse = 0.85f;
    float specular = 0.2f;
    float gloss = 0.4f;
    float luminosity = 0.0f;
    float transparency = 0.0f;
    // 1: highlights take the surface's colour (metallic paint).
    float colourHighlights = 0.0f;
    float smoothingDegrees = 50.0f;
    bool doubleSided = false;

    Lwo2Surface surface(const std::string& name) const;
};
