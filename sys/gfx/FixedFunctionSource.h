#pragma once
#include <string>

#include "sys/gfx/FixedFunctionKey.h"

namespace sys::gfx {

// GLSL 1.20 text that draws as Direct3D 9's fixed function does for a key.
// Matrices, fog values and texture matrices come from GL's own state; the
// rest from the uniforms named here.
class FixedFunctionSource {
public:
    // Seven vectors a light: diffuse, specular, ambient, eye position, eye direction,
    // attenuation (a0, a1, a2, range), spot (cos theta/2, cos phi/2, falloff).
    static constexpr int LIGHT_VECTORS = 7;

    static std::string vertexShader(const FixedFunctionKey& key);
    static std::string fragmentShader(const FixedFunctionKey& key);
};

} // namespace sys::gfx
