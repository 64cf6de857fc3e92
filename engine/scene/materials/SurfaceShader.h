#pragma once
#include "engine/scene/materials/ShaderLibrary.h"

// The compiled surface path: one vertex shader per count of texture layers,
// shadows, specular and fog.
class SurfaceShader : public ShaderLibrary {
public:
    using ShaderLibrary::ShaderLibrary;

    // "vshader", then "S" with specular, "F" with fog, then the input count (at most 8).
    std::string vertexEntryPoint() const override;
};
