#include <gtest/gtest.h>

#include <memory>

#include <ode/ode.h>

#include "engine/scene/LW6Scene.h"
#include "tests/engine/scene/SceneTestSupport.h"

// The physics library stays open while any scene still holds a world.
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
    open.collide();
    dWorldQuickStep(open.m_world, 0.01);
    EXPECT_LT(dBodyGetPosition(body)[1], 0.0);
}
