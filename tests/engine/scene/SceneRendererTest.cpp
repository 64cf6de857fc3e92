#include <gtest/gtest.h>

#include "engine/scene/SceneRenderer.h"
#include "engine/scene/editing/PlacementHelper.h"
#include "engine/scene/materials/FixedFunctionShader.h"
#include "engine/scene/materials/OpaqueShader.h"
#include "tests/engine/render/RendererTestSupport.h"

TEST(SceneRenderer, DefaultSettingsDrawThroughTheFixedFunctionPath) {
    RecordingRenderDevice setup;
    SceneRenderer renderer(setup.device());
    EXPECT_NE(dynamic_cast<FixedFunctionShader*>(renderer.m_surfaceShader), nullptr);
    EXPECT_EQ(renderer.m_plainShader, nullptr);
    EXPECT_EQ(renderer.m_additiveShader, nullptr);
    EXPECT_NE(dynamic_cast<OpaqueShader*>(renderer.m_opaqueShader), nullptr);
    ASSERT_NE(renderer.m_placementHelper, nullptr);
    EXPECT_EQ(renderer.m_placementHelper->getObjectCount(), 2);
}
