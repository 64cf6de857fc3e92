#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>

#include "engine/platform/audio/Sound.h"
#include "engine/render/ShaderConstants.h"
#include "engine/scene/Camera.h"
#include "engine/scene/DrawList.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/Light.h"
#include "engine/scene/ObjectPass.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/effects/ParticleEmitter.h"
#include "tests/engine/scene/mesh/MeshTestSupport.h"
#include "tests/support/NamedStream.h"

namespace {

// Keeps what the object pass hands over instead of drawing it.
class ListedScene : public LW6Scene {
public:
    using LW6Scene::LW6Scene;
    void prepareDrawList(double time, SceneItem* camera, const DrawList& list) override {
        m_depths.push_back(m_renderDepth);
        m_drawn.clear();
        for (const DrawRecord& record : list.records()) m_drawn.push_back(record.object->getName());
        if (m_nestedCamera && m_renderDepth == 1) render(m_nestedCamera, time);
        if (m_drawing) LW6Scene::prepareDrawList(time, camera, list);
    }
    bool m_drawing = false;
    std::vector<std::string> m_drawn;
    std::vector<int> m_depths;
    SceneItem* m_nestedCamera = nullptr;
};

// Counts how often a positional sound is placed and stopped.
class CountedSound : public Sound {
public:
    bool play(bool) override {
        m_playing = true;
        return true;
    }
    bool stop() override {
        m_playing = false;
        ++m_stops;
        return true;
    }
    void set3D(float, float, float, float, float, float, float, float, float) override { ++m_placings; }
    bool setVolume(float) override { return true; }
    bool setLoop(bool) override { return true; }
    bool setFrequency(uint32_t) override { return true; }
    double getPosition() override { return 0.0; }
    bool setPosition(double) override { return true; }
    uint32_t getPlayCursor() override { return 0; }

    int m_placings = 0;
    int m_stops = 0;
};

class ScenePassesTest : public MeshFixture {
protected:
    void SetUp() override {
        MeshFixture::SetUp();
        addSurface();
        m_scene = std::make_unique<ListedScene>(m_renderer.get());
        m_camera = m_scene->createCamera(true);
    }
    void TearDown() override {
        m_scene.reset();
        MeshFixture::TearDown();
    }
    // A unit cube `z` ahead of the camera.
    SceneObject& cube(const char* name, float z, bool transparent = false) {
        Mesh& mesh = makeMesh({{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1}, {1, 1, 1}},
                              {polygon({0, 1, 2})});
        mesh.ensureBounds();
        mesh.m_hasBlendedSurfaces = transparent;
        SceneObject& object = *m_scene->createObject(name);
        object.addLevelOfDetail(&mesh, 0.0f);
        object.m_channels[SceneItem::POS_Z].constant = z;
        return object;
    }
    std::vector<std::string> drawnAfterRender() {
        m_scene->render(m_camera, 0.0);
        return m_scene->m_drawn;
    }
    std::unique_ptr<ListedScene> m_scene;
    Camera* m_camera = nullptr;
};

} // namespace

TEST(DrawList, OpaqueNearToFarThenTransparentFarToNearWithBrokenDepthsLast) {
    SceneObject objects[5] = {{nullptr, 0}, {nullptr, 1}, {nullptr, 2}, {nullptr, 3}, {nullptr, 4}};
    DrawList list;
    list.add(&objects[0], 3.0f, true);
    list.add(&objects[1], std::numeric_limits<float>::quiet_NaN(), false);
    list.add(&objects[2], 9.0f, false);
    list.add(&objects[3], 8.0f, true);
    list.add(&objects[4], 2.0f, false);
    list.sort();
    std::vector<SceneObject*> order;
    for (const DrawRecord& record : list.records()) order.push_back(record.object);
    EXPECT_EQ(order, (std::vector<SceneObject*>{&objects[4], &objects[2], &objects[1], &objects[3], &objects[0]}));
}

TEST_F(ScenePassesTest, DrawsOpaqueNearFirstThenTransparentFarFirst) {
    cube("farGlass", 30.0f, true);
    cube("far", 20.0f);
    cube("nearGlass", 6.0f, true);
    cube("near", 5.0f);
    EXPECT_EQ(drawnAfterRender(), (std::vector<std::string>{"near", "far", "farGlass", "nearGlass"}));
    EXPECT_EQ(m_scene->m_renderDepth, 0);
}

TEST_F(ScenePassesTest, CullsObjectsBehindTheCameraScaledAwayOrUnseen) {
    cube("behind", -10.0f);
    SceneObject& gone = cube("scaledAway", 10.0f);
    for (int c = SceneItem::SCALE_X; c <= SceneItem::SCALE_Z; ++c) gone.m_channels[c].constant = 0.0f;
    SceneObject& flat = cube("flat", 10.0f);
    flat.m_channels[SceneItem::SCALE_X].constant = flat.m_channels[SceneItem::SCALE_Y].constant = 0.0f;
    cube("unseen", 10.0f).m_unseenByCamera = true;
    EXPECT_EQ(drawnAfterRender(), (std::vector<std::string>{"flat"}));
    m_renderer->m_showUnseenObjects = true;
    EXPECT_EQ(drawnAfterRender(), (std::vector<std::string>{"flat", "unseen"}));
}

TEST_F(ScenePassesTest, ObjectParkedOutOfSightIsNotDrawnYetKeepsTheDepthRangeAsItWas) {
    cube("near", 10.0f);
    cube("parked", 1000.0f).m_channels[SceneItem::POS_Y].constant = -100.0f;
    float nearDistance, farDistance;
    EXPECT_EQ(drawnAfterRender(), (std::vector<std::string>{"near", "parked"}));
    ObjectPass::depthRange(*m_camera, nearDistance, farDistance);
    EXPECT_NEAR(farDistance, 1001.0f, 1e-2f);

    m_scene->m_outOfSightBelow = -50.0f;
    EXPECT_EQ(drawnAfterRender(), (std::vector<std::string>{"near"}));
    ObjectPass::depthRange(*m_camera, nearDistance, farDistance);
    EXPECT_NEAR(nearDistance, 9.0f, 1e-3f);
    EXPECT_NEAR(farDistance, 1001.0f, 1e-2f);
    // Its box reaching above the height is enough to be drawn.
    m_scene->m_outOfSightBelow = -99.5f;
    EXPECT_EQ(drawnAfterRender(), (std::vector<std::string>{"near", "parked"}));
}

TEST_F(ScenePassesTest, NothingVisibleBuildsTheProjectionFromTheCamerasOwnPlanes) {
    SceneObject& object = cube("cube", 10.0f);
    drawnAfterRender();
    float nearDistance, farDistance;
    ObjectPass::depthRange(*m_camera, nearDistance, farDistance);
    EXPECT_NEAR(nearDistance, 9.0f, 1e-3f);
    EXPECT_NEAR(farDistance, 11.0f, 1e-3f);

    object.m_channels[SceneItem::POS_Z].constant = -10.0f;
    EXPECT_TRUE(drawnAfterRender().empty());
    const Matrix4x3& p = m_renderer->m_constants->m_projection;
    for (float value : p.m) EXPECT_TRUE(std::isfinite(value));
    EXPECT_NEAR(p.at(3, 2), -m_camera->m_nearDistance, 1e-6f);
    // The culling planes stay the camera's: the cube in front is seen again.
    object.m_channels[SceneItem::POS_Z].constant = 100.0f;
    EXPECT_EQ(drawnAfterRender(), (std::vector<std::string>{"cube"}));
}

TEST_F(ScenePassesTest, NestedRenderSeesDepthTwoAndLeavesTheOuterRangeAlone) {
    cube("cube", 10.0f);
    Camera* mirror = m_scene->createCamera(false);
    mirror->m_channels[SceneItem::POS_Z].constant = -50.0f;
    m_scene->m_nestedCamera = mirror;
    drawnAfterRender();
    EXPECT_EQ(m_scene->m_depths, (std::vector<int>{1, 2}));
    float nearDistance, farDistance;
    ObjectPass::depthRange(*mirror, nearDistance, farDistance);
    EXPECT_EQ(farDistance, FLT_MAX);
    EXPECT_EQ(m_scene->m_renderDepth, 0);
}

TEST_F(ScenePassesTest, SoundsAreHeardOnceAFrameFromTheViewNeverFromAMirror) {
    SceneObject& fountain = cube("fountain", 5.0f);
    // Heard within 0.5 x 4 x 4 = 8 units: from the camera, not from the mirror 55 away.
    fountain.m_channels[SceneItem::SCALE_Y].constant = 4.0f;
    fountain.setSound(std::make_unique<CountedSound>(), std::make_unique<NamedStream>("D:\\Quillfen\\brunnen.wav"));
    auto& sound = static_cast<CountedSound&>(*fountain.getSound());
    Camera* mirror = m_scene->createCamera(false);
    mirror->m_channels[SceneItem::POS_Z].constant = -50.0f;
    m_scene->m_nestedCamera = mirror;

    drawnAfterRender();
    EXPECT_EQ(m_scene->m_depths, (std::vector<int>{1, 2}));
    EXPECT_EQ(sound.m_placings + sound.m_stops, 0) << "a pass is no ear";
    m_scene->renderToTexture(true, 0.0);
    EXPECT_EQ(m_scene->m_depths, (std::vector<int>{1, 2, 1, 2}));
    EXPECT_TRUE(sound.isPlaying());
    EXPECT_EQ(sound.m_placings, 1);
    EXPECT_EQ(sound.m_stops, 0);
}

TEST_F(ScenePassesTest, ShadowCasterWhoseMapFailedIsSkipped) {
    m_renderer->m_fixedFunction = false;
    auto light = std::make_unique<Light>(m_scene.get(), 0);
    light->m_shadowType = Light::SHADOW_MAP;
    m_scene->m_lights.push_back(std::move(light));
    cube("cube", 10.0f);
    recording().clearCalls();
    EXPECT_EQ(drawnAfterRender(), (std::vector<std::string>{"cube"}));
    for (const std::string& call : recording().calls()) EXPECT_NE(call.rfind("setRenderTarget", 0), 0u) << call;
}

TEST_F(ScenePassesTest, NoCameraOrEmptySceneDrawsNothing) {
    m_scene->render(nullptr, 0.0);
    EXPECT_TRUE(m_scene->m_depths.empty());
    EXPECT_TRUE(drawnAfterRender().empty());
    m_scene->renderToTexture(true, 0.0);
    EXPECT_EQ(m_scene->m_renderDepth, 0);
}

TEST_F(ScenePassesTest, RenderToTheBackBufferDrawsIntoTheViewRectangle) {
    cube("cube", 10.0f);
    m_renderer->m_targetX = 90;
    m_renderer->m_targetY = 22;
    m_renderer->m_targetWidth = 412;
    m_renderer->m_targetHeight = 331;
    recording().clearCalls();
    m_scene->renderToTexture(true, 0.0);
    EXPECT_EQ(m_scene->m_drawn, (std::vector<std::string>{"cube"}));
    int viewports = 0;
    for (const std::string& call : recording().calls())
        if (call.rfind("setViewport", 0) == 0) {
            EXPECT_EQ(call, "setViewport 90 22 412 331 0 1");
            ++viewports;
        }
    EXPECT_GT(viewports, 0);
    EXPECT_EQ(m_camera->getViewport().width, 412u);
    EXPECT_EQ(m_camera->getViewport().height, 331u);
}

TEST_F(ScenePassesTest, FixedFunctionEnablesTheEightStrongestOfNineLights) {
    cube("cube", 10.0f);
    for (int i = 0; i < 9; ++i) {
        auto light = std::make_unique<Light>(m_scene.get(), i);
        light->m_lightType = Light::POINT;
        light->m_intensity.constant = 0.1f * float(i + 1);
        light->m_range.constant = 100.0f;
        light->m_channels[SceneItem::POS_Z].constant = 8.0f;
        light->m_lightReady = true;
        m_scene->m_lights.push_back(std::move(light));
    }
    m_scene->m_drawing = true;
    drawnAfterRender();
    const sys::gfx::DeviceState& state = recording().state();
    EXPECT_FALSE(state.lightEnabled[0]) << "the weakest light stays off";
    for (int i = 1; i < 9; ++i) EXPECT_TRUE(state.lightEnabled[i]) << i;
}

TEST_F(ScenePassesTest, OnlyLinearFogIsDrawn) {
    m_scene->m_fogType = 1;
    m_scene->m_fogMaxDistance = 50.0f;
    drawnAfterRender();
    EXPECT_EQ(recording().state().renderStates[sys::gfx::RS_FOGENABLE], 0u);
    m_scene->m_fogType = 3;
    drawnAfterRender();
    EXPECT_EQ(recording().state().renderStates[sys::gfx::RS_FOGENABLE], 1u);
}

TEST_F(ScenePassesTest, FirstParticlePassOnlyRecordsTheTimeTheNextEmits) {
    SceneObject& owner = cube("smoke", 10.0f);
    m_scene->m_emitters.push_back(std::make_unique<ParticleEmitter>(&owner));
    ParticleEmitter& emitter = *m_scene->m_emitters.back();
    m_scene->render(m_camera, 1.0);
    EXPECT_EQ(m_scene->m_lastParticleTime, 1.0);
    EXPECT_EQ(emitter.getEmittedTotal(), 0);
    m_scene->render(m_camera, 1.5);
    EXPECT_EQ(m_scene->m_lastParticleTime, 1.5);
    EXPECT_GT(emitter.getEmittedTotal(), 0);
}
