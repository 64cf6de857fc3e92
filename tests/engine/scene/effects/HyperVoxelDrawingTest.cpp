#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include <stb_image_write.h>

#include "engine/platform/display/RenderDevice.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/scene/Camera.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/effects/HyperVoxelType1.h"
#include "engine/scene/effects/HyperVoxelType2.h"
#include "engine/scene/mesh/DynamicSurfaceBuffer.h"
#include "engine/scene/mesh/MeshVertex.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/Texture.h"
#include "sys/window/Window.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowedDevice.h"

namespace gfx = sys::gfx;

namespace {

struct Pool {
    Particle records[HyperVoxel::PARTICLE_RECORDS] = {};
    void live(int i, Position3 at) { records[i].position = at, records[i].alive = true; }
};

class HyperVoxelRecorded : public ::testing::Test {
protected:
    void SetUp() override {
        m_renderer = std::make_unique<SceneRenderer>(m_setup.device());
        m_container = std::make_unique<ObjectContainer>(m_renderer.get());
        m_camera = std::make_unique<Camera>(m_container.get(), 0);
    }
    std::vector<std::string> drawCalls(HyperVoxel& look, const Pool& pool) {
        m_setup.recording().clearCalls();
        look.draw(0.0, pool.records, m_camera.get());
        std::vector<std::string> draws;
        for (const std::string& c : m_setup.recording().calls())
            if (c.rfind("drawIndexedPrimitive", 0) == 0) draws.push_back(c);
        return draws;
    }

    RecordingRenderDevice m_setup;
    std::unique_ptr<Renderer> m_renderer;
    std::unique_ptr<ObjectContainer> m_container;
    std::unique_ptr<Camera> m_camera;
};

} // namespace

TEST_F(HyperVoxelRecorded, SquaresDrawTwoTrianglesPerLiveParticleInOneCall) {
    HyperVoxelType2 look(m_renderer.get());
    look.m_particleSize.constant = 2.0f;
    Pool pool;
    pool.live(0, {0, 0, 5});
    pool.live(7, {1, 0, 5});
    pool.live(249, {2, 0, 5});
    EXPECT_EQ(drawCalls(look, pool), std::vector<std::string>{"drawIndexedPrimitive 4 0 0 12 0 6"});
    // The first square, of size 2 ahead of an unturned camera.
    const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    const float uv[4][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};
    for (int c = 0; c < 4; ++c) {
        EXPECT_FLOAT_EQ(look.m_vertices[c].position[0], corners[c][0]) << c;
        EXPECT_FLOAT_EQ(look.m_vertices[c].position[1], corners[c][1]) << c;
        EXPECT_FLOAT_EQ(look.m_vertices[c].texCoords[0][0], uv[c][0]) << c;
        EXPECT_FLOAT_EQ(look.m_vertices[c].texCoords[0][1], uv[c][1]) << c;
    }
    EXPECT_EQ(look.m_indices[6], 4u);
    EXPECT_EQ(look.m_indices[11], 7u);
    // Behind the camera or off to the side, no square is built; one corner in view keeps them all.
    for (int i : {0, 7, 249}) pool.records[i].position.z = -5.0f;
    EXPECT_TRUE(drawCalls(look, pool).empty());
    for (int i : {0, 7, 249}) pool.records[i].position = {1000.0f, 0.0f, 5.0f};
    EXPECT_TRUE(drawCalls(look, pool).empty());
    pool.records[7].position = {0.0f, 0.0f, 5.0f};
    EXPECT_EQ(drawCalls(look, pool), std::vector<std::string>{"drawIndexedPrimitive 4 0 0 12 0 6"});
    // Gone, or flown off to nowhere: nothing is drawn and the buffer is emptied.
    pool.records[0].alive = pool.records[7].alive = false;
    pool.records[249].position.y = std::nanf("");
    EXPECT_TRUE(drawCalls(look, pool).empty());
    EXPECT_EQ(look.m_buffer->m_indexCount, 0u);
}

TEST_F(HyperVoxelRecorded, SliceStacksDrawEachLiveParticleWhereItIs) {
    HyperVoxelType1 look(m_renderer.get());
    Pool pool;
    EXPECT_TRUE(drawCalls(look, pool).empty());
    pool.live(2, {4, 0, 0});
    pool.live(5, {0, 3, 0});
    EXPECT_EQ(drawCalls(look, pool), (std::vector<std::string>{"drawIndexedPrimitive 4 0 0 128 0 64",
                                                                "drawIndexedPrimitive 4 0 0 128 192 64"}));
    EXPECT_EQ(look.m_drawnCount, 2);
    const gfx::DeviceState& state = m_setup.recording().state();
    EXPECT_FLOAT_EQ(state.world.m[3][1], 3.0f) << "the last stack stands on its particle";
    EXPECT_EQ(state.renderStates[gfx::RS_ALPHABLENDENABLE], 0u);
    EXPECT_EQ(state.renderStates[gfx::RS_ZWRITEENABLE], 1u);
    EXPECT_EQ(state.stageStates[0][gfx::TSS_TEXTURETRANSFORMFLAGS], uint32_t(gfx::TTFF_DISABLE));
}

TEST_F(HyperVoxelRecorded, SliceVolumeHoldsThreeColouredCrossingPlanes) {
    HyperVoxelType1 look(m_renderer.get());
    ASSERT_NE(look.m_volume, nullptr);
    gfx::LockedBox box{};
    ASSERT_EQ(look.m_volume->lockBox(0, box, nullptr, gfx::LOCK_READONLY), gfx::GFX_OK);
    auto texel = [&](int x, int y, int z) {
        return *reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(box.bits) + z * box.slicePitch +
                                                  y * box.rowPitch + x * 4);
    };
    EXPECT_EQ(texel(16, 16, 16), 0xFFFFFFFFu);
    EXPECT_EQ(texel(16, 10, 12), 0xFF0000FFu);
    EXPECT_EQ(texel(9, 10, 16), 0xFFFF0000u);
    EXPECT_EQ(texel(16, 5, 12), 0u) << "outside the central cube";
    EXPECT_EQ(texel(9, 10, 12), 0u);
    look.m_volume->unlockBox(0);
    Matrix4x3 still = HyperVoxelType1::textureTumble(0.0);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(still.m[i], Matrix4x3::identity().m[i], 1e-6f) << i;
}

TEST_F(HyperVoxelRecorded, SliceIndexBufferComesBackAfterADeviceReset) {
    HyperVoxelType1 look(m_renderer.get());
    look.releaseDeviceObjects();
    EXPECT_EQ(look.m_indexBuffer, nullptr);
    Pool pool;
    pool.live(0, {0, 0, 0});
    EXPECT_TRUE(drawCalls(look, pool).empty());
    look.createDeviceObjects();
    EXPECT_EQ(drawCalls(look, pool).size(), 1u);
}

namespace {

class HyperVoxelOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        if (!sys::Window::videoAvailable()) GTEST_SKIP() << "no display: the drawing test needs X (xvfb-run -a)";
        m_render = makeWindowedDevice();
        ASSERT_NE(m_render, nullptr);
        m_renderer = std::make_unique<SceneRenderer>(*m_render);
        m_container = std::make_unique<ObjectContainer>(m_renderer.get());
        m_camera = std::make_unique<Camera>(m_container.get(), 0);
    }
    void TearDown() override {
        m_camera.reset();
        m_container.reset();
        m_renderer.reset();
        m_render.reset();
        unsetenv("PLIMZOR_SETTINGS");
    }

    // The camera stands 10 back from the origin and looks along +z.
    void placeCamera() {
        gfx::Device& device = *m_renderer->m_currentDevice;
        m_width = int(device.presentParams().backBufferWidth), m_height = int(device.presentParams().backBufferHeight);
        m_camera->m_channels[SceneItem::POS_Z].constant = -10.0f;
        const float zn = 0.5f, zf = 50.0f, scale = 1.5f;
        Matrix4x3 projection{};
        projection.at(0, 0) = scale * float(m_height) / float(m_width);
        projection.at(1, 1) = scale;
        projection.at(2, 2) = zf / (zf - zn);
        projection.at(2, 3) = 1.0f;
        projection.at(3, 2) = -zn * zf / (zf - zn);
        m_camera->m_projMatrix = projection;
        m_camera->m_projValid = true;
        m_renderer->m_constants->m_projection = projection;
        m_renderer->m_constants->m_derivedCurrent = false;
        gfx::Matrix deviceProjection;
        std::copy(projection.m, projection.m + 16, &deviceProjection.m[0][0]);
        device.setTransform(gfx::TS_PROJECTION, deviceProjection);
    }
    // Draws the pool on a black screen and reads it back, saved as a PNG.
    void drawFrame(HyperVoxel& look, const Pool& pool, const char* name) {
        gfx::Device& device = *m_renderer->m_currentDevice;
        ASSERT_EQ(device.clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), gfx::GFX_OK);
        ASSERT_EQ(device.beginScene(), gfx::GFX_OK);
        look.draw(0.0, pool.records, m_camera.get());
        ASSERT_EQ(device.endScene(), gfx::GFX_OK);
        gfx::Surface* back = nullptr;
        ASSERT_EQ(device.getBackBuffer(0, 0, 0, &back), gfx::GFX_OK);
        m_rgb.assign(size_t(m_width) * m_height * 3, 0);
        gfx::LockedRect r{};
        ASSERT_EQ(back->lockRect(r, nullptr, gfx::LOCK_READONLY), gfx::GFX_OK);
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) {
                uint32_t p = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(r.bits) + y * r.pitch)[x];
                uint8_t* out = &m_rgb[(size_t(y) * m_width + x) * 3];
                out[0] = uint8_t(p >> 16), out[1] = uint8_t(p >> 8), out[2] = uint8_t(p);
            }
        back->unlockRect();
        back->release();
        const char* png = std::getenv("PLIMZOR_RENDER_PNG");
        std::string path = png ? std::string(png) + "." + name + ".png" : m_dir.file(std::string(name) + ".png");
        EXPECT_TRUE(stbi_write_png(path.c_str(), m_width, m_height, 3, m_rgb.data(), m_width * 3));
    }
    // Red, green and blue summed at the pixel of a point of the plane z = 0.
    int brightness(float wx, float wy) const {
        float sx = wx * m_camera->m_projMatrix.at(0, 0) / 10.0f, sy = wy * m_camera->m_projMatrix.at(1, 1) / 10.0f;
        int x = int((sx + 1.0f) * 0.5f * m_width), y = int((1.0f - sy) * 0.5f * m_height);
        const uint8_t* p = &m_rgb[(size_t(y) * m_width + x) * 3];
        return int(p[0]) + p[1] + p[2];
    }

    TempDir m_dir;
    std::unique_ptr<RenderDevice> m_render;
    std::unique_ptr<Renderer> m_renderer;
    std::unique_ptr<ObjectContainer> m_container;
    std::unique_ptr<Camera> m_camera;
    int m_width = 0, m_height = 0;
    std::vector<uint8_t> m_rgb;
};

} // namespace

TEST_F(HyperVoxelOnScreen, GlowingSquaresLightThePixelsOfTheirParticles) {
    placeCamera();
    HyperVoxelType2 look(m_renderer.get());
    look.m_particleSize.constant = 0.8f;
    look.m_luminosity.constant = 1.0f;
    for (AnimatedValue& c : look.m_color) c.constant = 1.0f;
    Pool pool;
    const Position3 spots[] = {{-3, 2, 0}, {3, 2, 0}, {0, 0, 0}, {-3, -2, 0}, {3, -2, 0}};
    for (int i = 0; i < 5; ++i) pool.live(i * 40, spots[i]);
    drawFrame(look, pool, "squares");
    EXPECT_EQ(look.m_quadCount, 5);
    for (const Position3& spot : spots) EXPECT_GT(brightness(spot.x, spot.y), 300) << spot.x << " " << spot.y;
    EXPECT_EQ(brightness(-1.5f, 1.0f), 0) << "between the particles";
    EXPECT_EQ(brightness(0.0f, 2.0f), 0);
}

TEST_F(HyperVoxelOnScreen, SliceStacksShowTheirVolumeOnEachParticle) {
    placeCamera();
    HyperVoxelType1 look(m_renderer.get());
    Pool pool;
    pool.live(10, {-3, 1, 0});
    pool.live(20, {3, -1, 0});
    drawFrame(look, pool, "slices");
    EXPECT_GT(brightness(-3.0f, 1.0f), 200);
    EXPECT_GT(brightness(3.0f, -1.0f), 200);
    EXPECT_EQ(brightness(0.0f, 0.0f), 0) << "nothing is drawn at the origin";
}
