#include "engine/render/ShaderSwitches.h"

namespace {

const char* const NUM_TEX[] = {"numTexCOLR", "numTexLUMI", "numTexDIFF", "numTexREFL",
                               "numTexSPEC", "numTexTRAN", "numTexTRNL", "numTexBUMP"};
const char* const FULL_OPACITY[] = {"metaTexCOLRFullOpacity", "metaTexLUMIFullOpacity", "metaTexDIFFFullOpacity",
                                    "metaTexREFLFullOpacity", "metaTexSPECFullOpacity", "metaTexTRANFullOpacity",
                                    "metaTexBUMPFullOpacity"};
const char* const INVERT[] = {"metaTexCOLRInvert", "metaTexLUMIInvert", "metaTexDIFFInvert", "metaTexREFLInvert",
                              "metaTexSPECInvert", "metaTexTRANInvert", "metaTexBUMPInvert"};
const char* const BLENDOP[] = {"metaTexCOLRBlendop", "metaTexLUMIBlendop", "metaTexDIFFBlendop", "metaTexREFLBlendop",
                               "metaTexSPECBlendop", "metaTexTRANBlendop", "metaTexBUMPBlendop"};
const char* const G_INPUT[] = {"metaTexCOLRgInput", "metaTexLUMIgInput", "metaTexDIFFgInput", "metaTexREFLgInput",
                               "metaTexSPECgInput", "metaTexTRANgInput", "metaTexBUMPgInput"};

} // namespace

ShaderSwitches::ShaderSwitches(Renderer* owner) : ShaderValueSet(owner) {
    m_bake = addInt("bake", 1);
    m_specularEnabled = addInt("specularEnabled", 1);
    m_isFogEnabled = addInt("isFogEnabled", 1);
    m_isLocalViewer = addInt("isLocalViewer", 1);
    m_isCylindricalViewer = addInt("isCylindricalViewer", 1);
    m_numActiveDistantLights = addInt("numActiveDistantLights", 1);
    m_numActivePointLights = addInt("numActivePointLights", 1);
    m_numActiveSpotLights = addInt("numActiveSpotLights", 1);
    m_pointLightFalloffType = addInt("pointLightFalloffType", MAX_LIGHTS);
    m_spotLightFalloffType = addInt("spotLightFalloffType", MAX_LIGHTS);
    for (int i = 0; i < LAYER_COUNTS; ++i) m_numTex[i] = addInt(NUM_TEX[i], 1);
    m_numShadows = addInt("numShadows", 1);
    for (int c = 0; c < CHANNELS; ++c) m_metaTexFullOpacity[c] = addInt(FULL_OPACITY[c], MAX_LAYERS);
    for (int c = 0; c < CHANNELS; ++c) m_metaTexInvert[c] = addInt(INVERT[c], MAX_LAYERS);
    for (int c = 0; c < CHANNELS; ++c) m_metaTexBlendop[c] = addInt(BLENDOP[c], MAX_LAYERS);
    for (int c = 0; c < CHANNELS; ++c) m_metaTexGInput[c] = addInt(G_INPUT[c], MAX_LAYERS);
    m_sphericalEnvmapAvailable = addInt("sphericalEnvmapAvailable", 1);
    m_cubemapAvailable = addInt("cubemapAvailable", 1);
    m_numBoneWeights = addInt("numBoneWeights", 1);
    m_displacement = addInt("displacement", 1);
}
