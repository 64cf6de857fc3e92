#include <gtest/gtest.h>

#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/editing/PlacementHelper.h"
#include "engine/scene/mesh/Mesh.h"
#include "tests/engine/render/RendererTestSupport.h"

namespace {

class CountingTester : public PlacementHelper::CollisionTester {
public:
    bool isPathBlocked(LW6Scene&, const Position3&, const Position3&, float length, float clearance,
                       double) override {
        ++m_paths;
        m_length = length;
        return m_blocked;
    }
    bool mayMove(SceneObject&, LW6Scene&, SceneObject&, double) override { return true; }
    bool m_blocked = false;
    int m_paths = 0;
    float m_length = 0.0f;
};

class PlacementHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_renderer = std::make_unique<SceneRenderer>(m_setup.device());
        m_scene = std::make_unique<LW6Scene>(m_renderer.get());
        m_helper = m_renderer->m_placementHelper;
        m_helper->m_enabled = true;
    }
    // An object at the origin whose first mesh has the box -half..half.
    SceneObject* addObject(float half) {
        int index = m_scene->getObjectCount();
        m_scene->m_objects.push_back(std::make_unique<SceneObject>(m_scene.get(), index));
        SceneObject* object = m_scene->m_objects.back().get();
        m_meshes.push_back(std::make_unique<Mesh>(m_renderer.get(), object));
        m_meshes.back()->set({-half, -half, -half}, {half, half, half});
        object->addLevelOfDetail(m_meshes.back().get(), 0.0f);
        return object;
    }
    void placeCursor(float x, float y, float z) {
        m_helper->cursorObject()->setPosition({x, y, z});
        ObjectContainer::invalidateItems(*m_helper, nullptr);
    }

    RecordingRenderDevice m_setup;
    std::unique_ptr<Renderer> m_renderer;
    std::vector<std::unique_ptr<Mesh>> m_meshes;
    std::unique_ptr<LW6Scene> m_scene;
    PlacementHelper* m_helper = nullptr;
};

} // namespace

TEST_F(PlacementHelperTest, CursorInsideNestedBoxesPicksTheSmallerOne) {
    addObject(4.0f);
    SceneObject* inner = addObject(1.0f);
    addObject(2.0f);
    placeCursor(0.5f, 0.5f, 0.5f);
    m_helper->update(*m_scene, 0.0, nullptr);
    EXPECT_EQ(m_helper->m_picked, inner);
    EXPECT_EQ(m_helper->highlightObject()->getFirstMesh(), inner->getFirstMesh());
}

TEST_F(PlacementHelperTest, CursorOutsideEveryBoxPicksNothing) {
    addObject(1.0f);
    placeCursor(5.0f, 0.0f, 0.0f);
    m_helper->update(*m_scene, 0.0, nullptr);
    EXPECT_EQ(m_helper->m_picked, m_helper->highlightObject());
    EXPECT_EQ(m_helper->highlightObject()->getFirstMesh(), nullptr);
}

TEST_F(PlacementHelperTest, HighlightKeepsOneLevelOfDetailOverManyRenders) {
    addObject(1.0f);
    for (int frame = 0; frame < 50; ++frame) m_helper->update(*m_scene, 0.0, nullptr);
    EXPECT_EQ(m_helper->highlightObject()->m_levels.size(), 1u);
}

TEST_F(PlacementHelperTest, CameraGuardSkipsATargetAtTheCameraAndResetsWhenBlocked) {
    CountingTester tester;
    m_helper->update(*m_scene, 0.0, &tester);
    EXPECT_EQ(tester.m_paths, 0);

    m_helper->m_target = {0.0f, 0.0f, 10.0f};
    m_helper->m_storedPositions[0] = {1.0f, 2.0f, 3.0f};
    tester.m_blocked = true;
    EXPECT_TRUE(m_helper->update(*m_scene, 0.0, &tester));
    EXPECT_EQ(tester.m_paths, 1);
    EXPECT_FLOAT_EQ(tester.m_length, 10.0f);
    EXPECT_FLOAT_EQ(m_helper->m_camera->m_channels[SceneItem::POS_Y].constant, 2.0f);
}
