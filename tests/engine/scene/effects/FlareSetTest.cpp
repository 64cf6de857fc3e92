#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/Texture.h"
#include "engine/scene/CullingPlane.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/Light.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/Occluder.h"
#include "engine/scene/effects/FlareSet.h"
#include "engine/scene/mesh/Mesh.h"
#include "sys/gfx/RecordingDevice.h"
#include "tests/engine/scene/mesh/MeshTestSupport.h"
#include "sys/Pi.h"

namespace gfx = sys::gfx;

namespace {

// Answers every occlusion query with m_pixels, or never; can refuse to make queries.
class QueryDevice : public gfx::RecordingDevice {
public:
    QueryDevice() : RecordingDevice(gfx::PresentParams{}) {}
    gfx::HResult createQuery(uint32_t type, gfx::Query** query) override {
        return m_refuse ? gfx::GFXERR_NOTAVAILABLE : RecordingDevice::createQuery(type, query);
    }
    gfx::HResult queryResult(gfx::Query&, uint32_t& samples, bool) override {
        samples = m_pixels;
        return m_ready ? gfx::GFX_OK : gfx::GFX_FALSE;
    }
    bool m_refuse = false, m_ready = true;
    uint32_t m_pixels = 16;
};

class FlareSetTest : public ::testing::Test {
protected:
    FlareSetTest() {
        devices.m_devices = {&device};
        devices.m_currentDevice = &device;
        light.m_lensFlare = true;
        light.m_flareOptions = 0x19;
        light.m_lightType = Light::POINT;
        light.m_flareIntensity.constant = 1.0f;
        light.m_channels[SceneItem::POS_Z].constant = 10.0f;
    }
    FlareSet& flares() {
        if (!light.m_flares) light.createTextures(devices, {}, [this](std::unique_ptr<Texture> t) {
            pool.push_back(std::move(t));
            return pool.back().get();
        });
        return *light.m_flares;
    }
    int count(const std::string& call) const { return int(std::count(device.calls().begin(), device.calls().end(), call)); }
    // One frame of the flare pass: the quads drawn, after the calls are cleared.
    int frame() {
        device.clearCalls();
        flares().updateFlareVisibility(1, camera, {}, 0.0);
        flares().drawFlares(1, camera, 0.0);
        flares().issueOcclusionQuery(1, camera, 0.0);
        return count("drawPrimitive 6 0 2");
    }
    void place(float x, float heading) {
        light.m_channels[SceneItem::POS_X].constant = x;
        light.m_channels[SceneItem::HEADING].constant = heading;
        light.invalidate();
    }

    QueryDevice device;
    DeviceList devices;
    std::vector<std::unique_ptr<Texture>> pool;
    Light light{nullptr, 1};
    ViewingItem camera{nullptr, SceneItem::KIND_CAMERA, 2};
};

TEST_F(FlareSetTest, LightMakesSetWithPooledTexturesBufferAndQueries) {
    FlareSet& set = flares();
    ASSERT_EQ(pool.size(), 4u);
    EXPECT_EQ(set.texture(FlareSet::CENTRE), set.texture(FlareSet::BRIGHT_CENTRE));
    EXPECT_EQ(set.texture(FlareSet::RING2), set.texture(FlareSet::RING));
    EXPECT_EQ(set.texture(FlareSet::DIM_CENTRE)->getName(), "(flare DIMCTR)");
    EXPECT_EQ(count("createVertexBuffer 100 0x8 0x102 1"), 1);
    EXPECT_EQ(count("createQuery 9"), 1);
    set.releaseDeviceObjects();
    devices.m_stereoMode = 3;
    set.createDeviceObjects();
    EXPECT_EQ(set.viewCount(), 2u);
}

TEST_F(FlareSetTest, DrawsFromTheSecondFrameEighteenOrSixteenQuads) {
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(count("drawPrimitive 1 4 1"), 1);
    EXPECT_EQ(frame(), 18);
    light.m_flareOptions = 0x10;
    EXPECT_EQ(frame(), 16);
}

TEST_F(FlareSetTest, FadesAtTheEdgeAndSpotsFlareOnlyTowardsTheCamera) {
    frame();
    EXPECT_FLOAT_EQ(flares().viewRecord(1)->edgeFade, 1.0f);
    place(9.5f, 0.0f);
    frame();
    EXPECT_NEAR(flares().viewRecord(1)->edgeFade, 0.5f, 1e-5f);
    light.m_lightType = Light::SPOT;
    frame();
    EXPECT_FALSE(flares().viewRecord(1)->drawn);
    place(0.0f, PI);
    frame();
    EXPECT_TRUE(flares().viewRecord(1)->drawn);
}

TEST_F(FlareSetTest, CoveredUnansweredOrMissingQueriesDrawNothing) {
    frame();
    device.m_pixels = 0;
    EXPECT_EQ(frame(), 0);
    // A query that never answers is given up on, not waited for forever.
    device.m_pixels = 16;
    device.m_ready = false;
    EXPECT_EQ(frame(), 0);
    EXPECT_FALSE(flares().updateFlareVisibility(3, camera, {}, 0.0));
    place(std::nanf(""), 0.0f);
    EXPECT_FALSE(flares().updateFlareVisibility(1, camera, {}, 0.0));

    device.m_refuse = true;
    device.m_ready = true;
    light.m_flares = std::make_unique<FlareSet>(devices, light, nullptr, nullptr);
    frame();
    EXPECT_EQ(frame() + count("drawPrimitive 1 4 1"), 0);
}

TEST_F(FlareSetTest, OccluderBeforeTheLightHidesIt) {
    CullingPlane plane(nullptr, 0);
    Mesh mesh(nullptr, &plane);
    mesh.m_points = {{-1, 1, 5}, {1, 1, 5}, {1, -1, 5}, {-1, -1, 5}};
    mesh.m_polygons.resize(1);
    mesh.m_polygons[0].points = {0, 1, 2, 3};
    plane.addLevelOfDetail(&mesh, 0.0f);
    camera.updateProjMatrix(0.0);
    ASSERT_TRUE(makeOccluder(plane, camera.m_projMatrix));
    EXPECT_FALSE(flares().updateFlareVisibility(1, camera, {&plane}, 0.0));
}

class FlareSetInScene : public MeshFixture {};

TEST_F(FlareSetInScene, LightsOfAPoolShareItsFlareTexturesAndGetQueriesBackAfterReset) {
    MetaScene pool(m_renderer.get());
    auto* scene = new LW6Scene(&pool);
    pool.registerScene(scene);
    for (int i = 0; i < 2; ++i) {
        scene->m_lights.push_back(std::make_unique<Light>(scene, i));
        static_cast<Light&>(*scene->m_lights.back()).m_lensFlare = true;
    }
    pool.start(nullptr);
    auto& first = static_cast<Light&>(*scene->m_lights[0]);
    auto& second = static_cast<Light&>(*scene->m_lights[1]);
    ASSERT_TRUE(first.m_flares && second.m_flares);
    EXPECT_EQ(pool.m_textures.size(), 4u);
    EXPECT_EQ(first.m_flares->texture(FlareSet::RING), second.m_flares->texture(FlareSet::RING));
    pool.onLostDevice();
    EXPECT_EQ(first.m_flares->viewCount(), 0u);
    pool.onResetDevice();
    EXPECT_EQ(first.m_flares->viewCount(), 1u);
}

TEST(FlareSetWithoutDevice, LightStillStartsAndShowsNoFlare) {
    DeviceList none;
    Light light(nullptr, 1);
    light.m_lensFlare = true;
    light.m_flareIntensity.constant = 1.0f;
    light.createTextures(none, {}, {});
    ASSERT_TRUE(light.m_flares);
    ViewingItem camera(nullptr, SceneItem::KIND_CAMERA, 2);
    EXPECT_FALSE(light.m_flares->updateFlareVisibility(1, camera, {}, 0.0));
    light.m_flares->drawFlares(1, camera, 0.0);
}

} // namespace
