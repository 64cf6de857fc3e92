#include <gtest/gtest.h>

#include <memory>

#include <ode/ode.h>

#include "engine/platform/archive/DiskFile.h"
#include "engine/render/Renderer.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "engine/scene/physics/ODEJointObject.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/TempDir.h"
#include "tools/lightwave/LwsWriter.h"

namespace {

class CollidingPair : public ODESpacePair {
public:
    CollidingPair() : ODESpacePair(true) {}
};

LwsObject nullObject(const char* name, std::array<float, 3> position) {
    LwsObject object;
    object.nullName = name;
    object.item.motion = lwsStillMotion(position);
    return object;
}

// A track of one static ground box in space 1, and a moped of a falling box
// in space 2 hung from the world by a ball joint named by the moped file's own id.
class SceneLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        LwsScene track;
        track.odeMaster = LwsOdeMaster{};
        track.odeMaster->spaces = {{"(default)", 1, -1}, {"track", 0, 0}, {"cars", 0, 0}};
        LwsObject ground = nullObject("ground", {0.0f, 0.0f, 0.0f});
        ground.geom = LwsGeom{1, 0, 1, {1.0f, 1.0f, 1.0f}, std::nullopt};
        ground.item.motion = lwsStillMotion({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {4.0f, 1.0f, 4.0f});
        track.objects = {nullObject("start", {0.0f, 0.0f, 0.0f}), ground};
        // Without a light section the last object would swallow the camera.
        track.lights.emplace_back();
        track.cameras.emplace_back();
        dir.write("track.lws", LwsWriter().write(track));

        LwsScene moped;
        LwsObject body = nullObject("moped", {0.0f, 3.0f, 0.0f});
        body.body = LwsBody{1, 1.0f, {1.0f, 1.0f, 1.0f}, std::nullopt};
        body.geom = LwsGeom{1, 3, 2, {1.0f, 1.0f, 1.0f}, std::nullopt};
        LwsObject hinge = nullObject("hook", {0.0f, 3.0f, 0.0f});
        // Banked upright (channels are radians as stored): the slider's axis, the hook's X axis, points up.
        hinge.item.motion = lwsStillMotion({0.0f, 3.0f, 0.0f}, {0.0f, 0.0f, 1.5707964f});
        hinge.joint = LwsJoint{ODEJointObject::SLIDER, 0x10000000, 0, 5.0f, 1.0f};
        moped.objects = {body, hinge};
        dir.write("moped.lws", LwsWriter().write(moped));

        renderer = std::make_unique<SceneRenderer>(setup.device());
        pool = std::make_unique<MetaScene>(renderer.get(), "metascene");
        files = std::make_unique<DiskFile>((dir.path() + "/").c_str());
    }

    TempDir dir;
    RecordingRenderDevice setup;
    std::unique_ptr<Renderer> renderer;
    std::unique_ptr<MetaScene> pool;
    std::unique_ptr<DiskFile> files;
};

} // namespace

TEST_F(SceneLoaderTest, MergedMopedLandsOnTheTrackAndHangsOnItsOwnJoint) {
    LW6Scene* scene = SceneLoader::loadScene(*pool, "track.lws", *files);
    ASSERT_EQ(scene->getObjectCount(), 2);
    ASSERT_TRUE(SceneLoader::loadLWS(*scene, *files, "moped.lws", nullptr, 0.0f, 0.7f));
    ASSERT_EQ(scene->getObjectCount(), 4);
    EXPECT_EQ(scene->getLightCount(), 1);
    pool->start(nullptr);

    auto& moped = static_cast<ODEGeomObject&>(*scene->getObjectAt(2));
    auto& hook = static_cast<ODEJointObject&>(*scene->getObjectAt(3));
    ASSERT_EQ(hook.getKind(), SceneItem::KIND_JOINT);
    EXPECT_EQ(hook.m_body1, &moped);
    ASSERT_NE(moped.m_body, nullptr);
    ASSERT_NE(hook.m_joint, nullptr);
    EXPECT_EQ(dBodyGetNumJoints(moped.m_body), 1);
    // Kept from the file, though nothing drives a spring.
    EXPECT_FLOAT_EQ(hook.m_springForce, 5.0f);
    EXPECT_FLOAT_EQ(hook.m_damperForce, 1.0f);

    CollidingPair pair;
    scene->m_spacePairTable[0][0] = &pair;
    scene->m_spacePairTable[1][2] = &pair;
    scene->m_spacePairTable[2][1] = &pair;
    for (int i = 0; i < 300; ++i) {
        scene->collide();
        dWorldQuickStep(scene->m_world, 0.01);
        dJointGroupEmpty(scene->m_contactGroup);
    }
    // The slider keeps it on its vertical line while it falls onto the ground's top at 0.5.
    const dReal* p = dBodyGetPosition(moped.m_body);
    EXPECT_NEAR(p[1], 1.0, 0.05);
    EXPECT_NEAR(p[0], 0.0, 1e-3);
}

TEST_F(SceneLoaderTest, ObjectFromAMissingFileAddsNothing) {
    LW6Scene* scene = SceneLoader::loadScene(*pool, "track.lws", *files);
    EXPECT_EQ(SceneLoader::loadObject(*scene, *files, "missing.lwo", 0), nullptr);
    EXPECT_EQ(scene->getObjectCount(), 2);
    EXPECT_EQ(pool->findObjectFile("missing.lwo"), nullptr);
}
