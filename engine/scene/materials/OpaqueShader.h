#pragma once
#include "engine/scene/materials/ShaderLibrary.h"

// The mirror stencil pass of planar reflections: the surface's states with
// nothing of the destination kept.
class OpaqueShader : public ShaderLibrary {
public:
    using ShaderLibrary::ShaderLibrary;

    void setObjectState(Surface& surface, double time) override;
};
