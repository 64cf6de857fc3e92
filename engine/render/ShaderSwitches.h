#pragma once
#include "engine/render/ShaderValueSet.h"

// Integer switches that select a shader variant.
class ShaderSwitches : public ShaderValueSet {
public:
    // The seven surface channels of the per-layer families, in record order.
    enum Channel { COLR, LUMI, DIFF, REFL, SPEC, TRAN, BUMP, CHANNELS };
    // Texture-layer counts also know TRNL, between TRAN and BUMP.
    enum LayerCount { NUM_COLR, NUM_LUMI, NUM_DIFF, NUM_REFL, NUM_SPEC, NUM_TRAN, NUM_TRNL, NUM_BUMP, LAYER_COUNTS };
    static constexpr uint32_t MAX_LIGHTS = 8;
    static constexpr uint32_t MAX_LAYERS = 4;

    explicit ShaderSwitches(Renderer* owner);

    int32_t* m_bake;
    int32_t* m_specularEnabled;
    int32_t* m_isFogEnabled;
    int32_t* m_isLocalViewer;
    int32_t* m_isCylindricalViewer;
    int32_t* m_numActiveDistantLights;
    int32_t* m_numActivePointLights;
    int32_t* m_numActiveSpotLights;
    int32_t* m_pointLightFalloffType; // one per light
    int32_t* m_spotLightFalloffType;
    int32_t* m_numTex[LAYER_COUNTS];
    int32_t* m_numShadows;
    int32_t* m_metaTexFullOpacity[CHANNELS]; // one per layer
    int32_t* m_metaTexInvert[CHANNELS];
    int32_t* m_metaTexBlendop[CHANNELS];
    int32_t* m_metaTexGInput[CHANNELS];
    int32_t* m_sphericalEnvmapAvailable;
    int32_t* m_cubemapAvailable;
    int32_t* m_numBoneWeights;
    int32_t* m_displacement;

private:
    int32_t* addInt(const char* name, uint32_t count) { return reinterpret_cast<int32_t*>(add(name, count)); }
};
