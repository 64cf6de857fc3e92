#pragma once
#include "engine/platform/Math3D.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/render/ShaderValueSet.h"

// The matrices and light, surface and texture values uploaded to every
// shader before a draw, plus the matrices the fixed-function path reads.
class ShaderConstants : public ShaderValueSet {
public:
    static constexpr uint32_t MAX_BONES = 1024;
    static constexpr uint32_t TEXTURE_STAGES = 8;

    explicit ShaderConstants(Renderer* owner);

    // Bone `index` (below 1024) into the table and its 4x3 part into "matBone".
    void setBoneMatrix(uint32_t index, const Matrix4x3& matrix);
    // Recomputes the world-view records unless they are current; whoever
    // changes the world, view or projection matrix clears m_derivedCurrent.
    void updateDerivedMatrices();

    Matrix4x3 m_world;
    Matrix4x3 m_view;
    Matrix4x3 m_projection;
    Matrix4x3 m_textureStage[TEXTURE_STAGES];
    std::vector<Matrix4x3> m_bones;
    bool m_derivedCurrent;

    float* m_matWorldViewProj;
    float* m_matWorldView;
    float* m_matWorldViewNormalized;
    float* m_matWorldWT;
    float* m_matWorldLightviewLightprojShadowbias;
    float* m_matBone;
    float* m_time;
    float* m_cylindricalScale;
    float* m_ambientLightColor;
    float* m_distantLightColor;
    float* m_distantLightDir;
    float* m_pointLightColor;
    float* m_pointLightPos;
    float* m_pointLightAttenuation;
    float* m_spotLightColor;
    float* m_spotLightPos;
    float* m_spotLightDir;
    float* m_spotLightCosTheta;
    float* m_spotLightCosThetaMinusCosPhi;
    float* m_spotLightAttenuation;
    float* m_cameraPos;
    float* m_srfColor;
    float* m_srfLighting;
    float* m_srfReflectivity;
    float* m_srfAddTransparency;
    float* m_metaTexOpacity[ShaderSwitches::CHANNELS];
    float* m_metaTexGParam[ShaderSwitches::CHANNELS];

private:
    float* addFloat(const char* name, uint32_t count) { return reinterpret_cast<float*>(add(name, count)); }
};
