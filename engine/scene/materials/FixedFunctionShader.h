#pragma once
#include <cstdint>

#include "engine/platform/Math3D.h"
#include "engine/scene/materials/ShaderLibrary.h"

class Texture;
class TextureLayer;

// The default drawing path: no shaders, the device's own material, lights and
// texture stages, from the surface's values at the draw time.
class FixedFunctionShader : public ShaderLibrary {
public:
    using ShaderLibrary::ShaderLibrary;

    bool activate() override;
    // Colour, highlight, luminosity and gloss into the material; mirror,
    // transparent or opaque blending; the renderer's cull mode.
    void setObjectState(Surface& surface, double time) override;
    // COLR, vertex-colour, DIFF, SPEC, sphere-map reflection and TRAN stages in that order,
    // then the next stage off.
    void setupSurface(Surface& surface, double time) override;
    // Addressing, filtering and the layer's texture at the time on one stage.
    void setupLayerStage(uint32_t stage, TextureLayer& layer, uint32_t borderColour, double time);

private:
    // Alpha test for one-bit masks, blending otherwise, additive when asked.
    void transparentStates(Surface& surface, double time, TextureLayer* mask);
    void animatedTransform(uint32_t stage, TextureLayer& layer, double time);
    void sphericalReflectionStage(uint32_t stage, Surface& surface, double time);
    void projectorStage(uint32_t stage, Texture& projector, double time);
    // Stored for the shaders as well as set on the device.
    void setStageMatrix(uint32_t stage, const Matrix4x3& matrix, uint32_t flags);
    // The channel's first layer in the stages record, or null.
    TextureLayer* firstLayer(int channel) const;
};
