#include "engine/render/ShaderConstants.h"

#include <cmath>

namespace {

const char* const OPACITY[] = {"metaTexCOLROpacity", "metaTexLUMIOpacity", "metaTexDIFFOpacity", "metaTexREFLOpacity",
                               "metaTexSPECOpacity", "metaTexTRANOpacity", "metaTexBUMPOpacity"};
const char* const G_PARAM[] = {"metaTexCOLRgParam", "metaTexLUMIgParam", "metaTexDIFFgParam", "metaTexREFLgParam",
                               "metaTexSPECgParam", "metaTexTRANgParam", "metaTexBUMPgParam"};

// The 4x3 part of a row-vector matrix: columns 0 to 2 of rows 0 to 3.
void store4x3(float* out, const Matrix4x3& m) {
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) *out++ = m.at(row, col);
}

} // namespace

ShaderConstants::ShaderConstants(Renderer* owner)
    : ShaderValueSet(owner), m_world(Matrix4x3::identity()), m_view(Matrix4x3::identity()),
      m_projection(Matrix4x3::identity()), m_bones(MAX_BONES, Matrix4x3::identity()), m_derivedCurrent(false) {
    for (Matrix4x3& m : m_textureStage) m = Matrix4x3::identity();
    const uint32_t lights = ShaderSwitches::MAX_LIGHTS;
    m_matWorldViewProj = addFloat("matWorldViewProj", 16);
    m_matWorldView = addFloat("matWorldView", 12);
    m_matWorldViewNormalized = addFloat("matWorldViewNormalized", 9);
    m_matWorldWT = addFloat("matWorldWT", 12);
    m_matWorldLightviewLightprojShadowbias = addFloat("matWorldLightviewLightprojShadowbias", 16);
    m_matBone = addFloat("matBone", MAX_BONES * 12);
    m_time = addFloat("time", 1);
    m_cylindricalScale = addFloat("cylindricalScale", 1);
    m_ambientLightColor = addFloat("ambientLightColor", 3);
    m_distantLightColor = addFloat("distantLightColor", lights * 3);
    m_distantLightDir = addFloat("distantLightDir", lights * 3);
    m_pointLightColor = addFloat("pointLightColor", lights * 3);
    m_pointLightPos = addFloat("pointLightPos", lights * 3);
    m_pointLightAttenuation = addFloat("pointLightAttenuation", lights * 3);
    m_spotLightColor = addFloat("spotLightColor", lights * 3);
    m_spotLightPos = addFloat("spotLightPos", lights * 3);
    m_spotLightDir = addFloat("spotLightDir", lights * 3);
    m_spotLightCosTheta = addFloat("spotLightCosTheta", lights);
    m_spotLightCosThetaMinusCosPhi = addFloat("spotLightCosThetaMinusCosPhi", lights);
    m_spotLightAttenuation = addFloat("spotLightAttenuation", lights * 3);
    m_cameraPos = addFloat("cameraPos", 3);
    m_srfColor = addFloat("srfColor", 4);
    m_srfLighting = addFloat("srfLighting", 4);
    m_srfReflectivity = addFloat("srfReflectivity", 3);
    m_srfAddTransparency = addFloat("srfAddTransparency", 1);
    // COLR keeps three words per layer, its siblings one.
    for (int c = 0; c < ShaderSwitches::CHANNELS; ++c) m_metaTexOpacity[c] = addFloat(OPACITY[c], c == 0 ? 12 : 4);
    for (int c = 0; c < ShaderSwitches::CHANNELS; ++c) m_metaTexGParam[c] = addFloat(G_PARAM[c], 16);
}

void ShaderConstants::setBoneMatrix(uint32_t index, const Matrix4x3& matrix) {
    if (index >= MAX_BONES) return;
    m_bones[index] = matrix;
    store4x3(m_matBone + 12 * index, matrix);
}

void ShaderConstants::updateDerivedMatrices() {
    if (m_derivedCurrent) return;
    Matrix4x3 wv, wvp, inverse;
    multiplyMatrix4x3(wv, m_world, m_view);
    store4x3(m_matWorldView, wv);
    multiplyMatrix4x3By4x4(wvp, wv, m_projection);
    for (int i = 0; i < 16; ++i) m_matWorldViewProj[i] = wvp[i];
    invertMatrix4x3(inverse, wv);
    // Per element sign(WV) * sqrt(|WV[r][c] * I[c][r]|): the rotation without its scale.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            float e = wv.at(r, c);
            float magnitude = std::sqrt(std::fabs(e * inverse.at(c, r)));
            m_matWorldViewNormalized[r * 3 + c] = e < 0.0f ? -magnitude : magnitude;
        }
    store4x3(m_matWorldWT, m_world);
    m_derivedCurrent = true;
}
