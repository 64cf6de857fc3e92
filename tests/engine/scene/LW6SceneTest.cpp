#include <gtest/gtest.h>

#include <memory>

#include <ode/ode.h>

#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/Mesh.h"
#include "engine/scene/ODEGeomObject.h"
#include "tests/engine/scene/SceneTestSupport.h"

TEST(LW6Scene, NewSceneHasTheFileDefaultsAndItsWorldSettings) {
    RecordingView view;
    LW6Scene scene(&view);
    ColorRGBA ambient = scene.getAmbientColor(0.0);
    EXPECT_FLOAT_EQ(ambient.r * scene.m_ambientIntensity.evaluate(0.0), 0.25f);
    EXPECT_FLOAT_EQ(ambient.a, 1.0f);
    EXPECT_EQ(scene.m_fogType, 0);
    EXPECT_DOUBLE_EQ(scene.m_framesPerSecond, 30.0);
    dVector3 gravity;
    dWorldGetGravity(scene.m_world, gravity);
    EXPECT_DOUBLE_EQ(gravity[1], double(-9.81f));
    EXPECT_DOUBLE_EQ(dWorldGetCFM(scene.m_world), 1e-10);
    EXPECT_DOUBLE_EQ(dWorldGetERP(scene.m_world), 0.3);
    EXPECT_EQ(dWorldGetQuickStepNumIterations(scene.m_world), 5);
    EXPECT_EQ(dWorldGetAutoDisableFlag(scene.m_world), 0);
}

TEST(LW6Scene, ClosingOneSceneLeavesTheOtherSceneSimulating) {
    RecordingView view;
    auto closed = std::make_unique<LW6Scene>(&view);
    LW6Scene open(&view);
    closed.reset();
    dSpaceID root = dSimpleSpaceCreate(nullptr);
    open.m_spaces.push_back({root, "(default)", {0, 0}});
    dBodyID body = dBodyCreate(open.m_world);
    dGeomID sphere = dCreateSphere(root, 1.0);
    dGeomSetBody(sphere, body);
    dSpaceCollide(root, &open, &LW6Scene::nearCallback);
    dWorldQuickStep(open.m_world, 0.01);
    EXPECT_LT(dBodyGetPosition(body)[1], 0.0);
}

TEST(LW6Scene, StartMeasuresTheExtentOfItsMeshesOnly) {
    RecordingView view;
    LW6Scene scene(&view);
    scene.createObject("null");
    scene.start(nullptr, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(scene.m_extent, 1.0f);
    SceneObject* object = scene.createObject("box");
    Mesh mesh(&view, object);
    mesh.set({0, 0, 0}, {1, 2, 4});
    object->addLevelOfDetail(&mesh, 0.0f);
    object->m_channels[SceneItem::SCALE_X].constant = 4.0f;
    scene.start(nullptr, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(scene.m_extent, 6.0f);
    object->m_levels.clear();
}

TEST(LW6Scene, FactoriesAppendTheirItems) {
    RecordingView view;
    LW6Scene scene(&view);
    dSpaceID root = dHashSpaceCreate(nullptr);
    scene.m_spaces.push_back({root, "(default)", {0, 0}});
    const float size[3] = {1.0f, 1.0f, 1.0f};
    ODEGeomObject* ray = scene.createRayGeom(size, 7, 0);
    EXPECT_EQ(ray->getName(), "ray");
    EXPECT_EQ(ray->m_surfaceKind, 7);
    EXPECT_EQ(dGeomGetSpace(ray->m_geom), root);
    EXPECT_EQ(scene.getObjectAt(0), ray);
    Camera* camera = scene.createCamera(true);
    EXPECT_EQ(scene.m_activeCamera, camera);
    EXPECT_EQ(camera->getIndex(), 0);
    EXPECT_EQ(scene.createObject("moped")->getIndex(), 1);
}
