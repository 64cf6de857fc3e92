#include "engine/scene/SceneRenderer.h"

#include "engine/scene/SceneItem.h"
#include "engine/scene/editing/PlacementHelper.h"
#include "engine/scene/materials/AdditiveShader.h"
#include "engine/scene/materials/FixedFunctionShader.h"
#include "engine/scene/materials/OpaqueShader.h"
#include "engine/scene/materials/SurfaceShader.h"

SceneRenderer::SceneRenderer(RenderDevice& renderDevice) : Renderer(renderDevice) {
    if (m_fixedFunction) {
        m_ownSurfaceShader = std::make_unique<FixedFunctionShader>(this);
    } else {
        m_ownSurfaceShader = std::make_unique<SurfaceShader>(this);
        m_ownPlainShader = std::make_unique<ShaderLibrary>(this);
        m_ownAdditiveShader = std::make_unique<AdditiveShader>(this);
    }
    m_ownOpaqueShader = std::make_unique<OpaqueShader>(this);
    m_ownPlacementHelper = std::make_unique<PlacementHelper>(this);
    m_surfaceShader = m_ownSurfaceShader.get();
    m_plainShader = m_ownPlainShader.get();
    m_additiveShader = m_ownAdditiveShader.get();
    m_opaqueShader = m_ownOpaqueShader.get();
    m_placementHelper = m_ownPlacementHelper.get();
}

SceneRenderer::~SceneRenderer() {
    m_surfaceShader = m_plainShader = m_additiveShader = m_opaqueShader = nullptr;
    m_placementHelper = nullptr;
}

void SceneRenderer::turnItemBy(SceneItem& item, float dHeading, float dPitch, float dBank, double time) {
    float angles[3];
    item.applyControllers(angles, time);
    angles[0] -= dPitch;
    angles[1] += dHeading;
    angles[2] -= dBank;
    item.setRotation(angles, true);
}
