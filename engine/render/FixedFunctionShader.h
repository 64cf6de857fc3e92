#pragma once
#include "engine/render/ShaderLibrary.h"

// The default drawing path: no shaders, the device's own material, lights and
// texture stages.
class FixedFunctionShader : public ShaderLibrary {
public:
    using ShaderLibrary::ShaderLibrary;

    bool activate() override;
    void setupSurface(Surface& surface, double time) override;
    void setObjectState(Surface& surface, double time) override;
};
