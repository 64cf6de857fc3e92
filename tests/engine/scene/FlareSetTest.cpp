#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/DeviceList.h"
#include "engine/platform/Texture.h"
#include "engine/scene/CullingPlane.h"
#include "engine/scene/FlareSet.h"
#include "engine/scene/Light.h"
#include "engine/scene/Mesh.h"
#include "engine/scene/Occluder.h"
#include "sys/gfx/RecordingDevice.h"

namespace gfx = sys::gfx;

namespace {

// Answers every occlusion query as it is told to, and can refuse to make them.
class QueryDevice : public gfx::RecordingDevice {
public:
    QueryDevice() : RecordingDevice(gfx::PresentParams{}) {}
    gfx::HResult createQuery(uint32_t type, gfx::Query** query) override {
        if (m_refuseQueries) return gfx::GFXERR_NOTAVAILABLE;
        return RecordingDevice::createQuery(type, query);
    }
    gfx::HResult queryResult(gfx::Query&, uint32_t& samples, bool) override {
        samples = m_pixels;
        return m_ready ? gfx::GFX_OK : gfx::GFX_FALSE;
    }
    bool m_refuseQueries = false;
    bool m_ready = true;
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
        if (!light.m_flares) light.createTextures(devices, {}, keeper);
        return *light.m_flares;
    }
    int count(const std::string& call) const {
        const auto& calls = device.calls();
        return int(std::count(calls.begin(), calls.end(), call));
    }
    // One frame of the flare pass for the first view.
    bool frame() {
        bool visible = flares().updateFlareVisibility(1, camera, occluders, 0.0);
        flares().drawFlares(1, camera, 0.0);
        flares().issueOcclusionQuery(1, camera, 0.0);
        return visible;
    }

    QueryDevice device;
    DeviceList devices;
    std::vector<std::unique_ptr<Texture>> pool;
    Light::TextureKeeper keeper = [this](std::unique_ptr<Texture> t) {
        pool.push_back(std::move(t));
        return pool.back().get();
    };
    Light light{nullptr, 1};
    ViewingItem camera{nullptr, SceneItem::KIND_CAMERA, 2};
    std::vector<CullingPlane*> occluders;
};

TEST_F(FlareSetTest, LightMakesSetWithPooledTexturesBufferAndQuery) {
    FlareSet& set = flares();
    ASSERT_EQ(pool.size(), 4u);
    EXPECT_EQ(set.texture(FlareSet::CENTRE), set.texture(FlareSet::BRIGHT_CENTRE));
    EXPECT_EQ(set.texture(FlareSet::RING2), set.texture(FlareSet::RING));
    EXPECT_EQ(set.texture(FlareSet::BRIGHT_CENTRE)->getName(), "(flare BRIGHTCTR)");
    EXPECT_EQ(set.texture(FlareSet::EVEN_CENTRE)->getName(), "(flare EVENCTR)");
    EXPECT_EQ(set.texture(FlareSet::DIM_CENTRE)->getName(), "(flare DIMCTR)");
    EXPECT_EQ(set.texture(FlareSet::RING)->getName(), "(flare RING)");
    EXPECT_EQ(count("createVertexBuffer 100 0x8 0x102 1"), 1);
    EXPECT_EQ(count("createQuery 9"), 1);
    ASSERT_TRUE(set.vertexBuffer());
    const float* v = reinterpret_cast<const float*>(set.vertexBuffer()->bytes());
    EXPECT_FLOAT_EQ(v[5 * 2 + 0], 0.1f);
    EXPECT_FLOAT_EQ(v[5 * 2 + 4], 1.0f);

    set.releaseDeviceObjects();
    EXPECT_EQ(set.viewCount(), 0u);
    devices.m_stereoMode = 3;
    set.createDeviceObjects();
    EXPECT_EQ(set.viewCount(), 2u);
}

TEST_F(FlareSetTest, SecondSetTakesThePoolsTextures) {
    FlareSet& first = flares();
    int kept = 0;
    FlareSet second(
        devices, light,
        [&](const std::string& name) {
            for (auto& t : pool)
                if (t->getName() == name) return t.get();
            return static_cast<Texture*>(nullptr);
        },
        [&](std::unique_ptr<Texture> t) {
            ++kept;
            pool.push_back(std::move(t));
            return pool.back().get();
        });
    EXPECT_EQ(kept, 0);
    EXPECT_EQ(second.texture(FlareSet::RING), first.texture(FlareSet::RING));
}

TEST_F(FlareSetTest, DrawsOnlyFromTheSecondFrameWithEighteenOrSixteenQuads) {
    EXPECT_TRUE(frame());
    EXPECT_EQ(count("drawPrimitive 6 0 2"), 0);
    EXPECT_EQ(count("drawPrimitive 1 4 1"), 1);
    device.clearCalls();
    EXPECT_TRUE(frame());
    EXPECT_EQ(count("drawPrimitive 6 0 2"), 18);

    light.m_flareOptions = 0x10;
    device.clearCalls();
    frame();
    EXPECT_EQ(count("drawPrimitive 6 0 2"), 16);
}

TEST_F(FlareSetTest, FadesOverTheOuterTenthOfTheScreen) {
    frame();
    EXPECT_FLOAT_EQ(flares().viewRecord(1)->edgeFade, 1.0f);
    light.m_channels[SceneItem::POS_X].constant = 9.5f;
    light.invalidate();
    frame();
    EXPECT_NEAR(flares().viewRecord(1)->edgeFade, 0.5f, 1e-5f);
}

TEST_F(FlareSetTest, SpotShiningAwayFromTheCameraHasNoFlare) {
    light.m_lightType = Light::SPOT;
    EXPECT_FALSE(frame());
    light.m_channels[SceneItem::HEADING].constant = 3.14159265f;
    light.invalidate();
    EXPECT_TRUE(frame());
}

TEST_F(FlareSetTest, OccluderInFrontHidesTheLight) {
    CullingPlane plane(nullptr, 0);
    const Position3 quad[4] = {{-1, 1, 5}, {1, 1, 5}, {1, -1, 5}, {-1, -1, 5}};
    Mesh mesh(nullptr, &plane);
    mesh.m_points.assign(quad, quad + 4);
    MeshPolygon polygon;
    polygon.points = {0, 1, 2, 3};
    mesh.m_polygons = {polygon};
    plane.addLevelOfDetail(&mesh, 0.0f);
    camera.updateProjMatrix(0.0);
    ASSERT_TRUE(makeOccluder(plane, camera.m_projMatrix));
    occluders.push_back(&plane);
    EXPECT_FALSE(frame());
    EXPECT_EQ(count("drawPrimitive 1 4 1"), 0);
}

TEST_F(FlareSetTest, CoveredOrUnansweredQueryDrawsNothing) {
    frame();
    device.m_pixels = 0;
    device.clearCalls();
    frame();
    EXPECT_EQ(count("drawPrimitive 6 0 2"), 0);
    // A query that never answers is given up on, not waited for forever.
    device.m_pixels = 16;
    device.m_ready = false;
    device.clearCalls();
    frame();
    EXPECT_EQ(count("drawPrimitive 6 0 2"), 0);
}

TEST_F(FlareSetTest, WithoutAQueryTheFlareStaysOff) {
    device.m_refuseQueries = true;
    EXPECT_FALSE(frame());
    EXPECT_FALSE(frame());
    EXPECT_EQ(count("drawPrimitive 6 0 2") + count("drawPrimitive 1 4 1"), 0);
    // A view number with no record is ignored.
    EXPECT_FALSE(flares().updateFlareVisibility(3, camera, occluders, 0.0));
}

} // namespace
