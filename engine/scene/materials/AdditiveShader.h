#pragma once
#include "engine/scene/materials/ShaderLibrary.h"

// Glowing surfaces: added onto what is behind, without depth, from both sides.
class AdditiveShader : public ShaderLibrary {
public:
    using ShaderLibrary::ShaderLibrary;

    void setObjectState(Surface& surface, double time) override;
    // "vshader", then "F" with fog, then the shadow count (at most 8).
    std::string vertexEntryPoint() const override;
};
