#include "tests/sys/GfxTestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "sys/gfx/GlDevice.h"

using namespace sys::gfx;

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t color;
};

// Screen-space, half-transparent, both faces: where two triangles meet, their order shows.
void drawBlendedOnScreen(Device& device) {
    device.setRenderState(RS_LIGHTING, 0);
    device.setRenderState(RS_CULLMODE, CULL_NONE);
    device.setRenderState(RS_ALPHABLENDENABLE, 1);
    device.setRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    device.setRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    device.setFVF(FVF_XYZRHW | FVF_DIFFUSE);
}

} // namespace

TEST_F(GfxDeviceFixture, ClearFillsTheViewportOnly) {
    m_device->clear(0, nullptr, CLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    Viewport vp{0, 0, 32, 24, 0, 1};
    m_device->setViewport(vp);
    m_device->clear(0, nullptr, CLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    EXPECT_EQ(pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(pixel(40, 30), 0x0000FFu);
}

TEST_F(GfxDeviceFixture, ScreenSpaceTriangleKeepsDirect3DOrientationAndCulling) {
    m_device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    m_device->setRenderState(RS_LIGHTING, 0);
    m_device->setFVF(FVF_XYZRHW | FVF_DIFFUSE);
    // Clockwise on screen (y down): the front face, kept by the default CULL_CCW.
    ScreenVertex top[3] = {{0, 0, 0.5f, 1, 0xFF00FF00}, {64, 0, 0.5f, 1, 0xFF00FF00}, {0, 24, 0.5f, 1, 0xFF00FF00}};
    m_device->drawPrimitiveUP(PT_TRIANGLELIST, 1, top, sizeof(ScreenVertex));
    // Counter-clockwise: culled.
    ScreenVertex bottom[3] = {{0, 47, 0.5f, 1, 0xFFFF0000}, {64, 47, 0.5f, 1, 0xFFFF0000}, {0, 30, 0.5f, 1, 0xFFFF0000}};
    m_device->drawPrimitiveUP(PT_TRIANGLELIST, 1, bottom, sizeof(ScreenVertex));
    EXPECT_EQ(pixel(2, 2), 0x00FF00u);
    EXPECT_EQ(pixel(60, 20), 0x000000u);
    EXPECT_EQ(pixel(2, 44), 0x000000u);
}

// Handing parts of a frame to the rasteriser early (after every draw, then in
// parts sized by the frame before) draws what one hand-over at present draws:
// many small, overlapping, half-transparent triangles in many draws show
// wherever two of them were drawn in another order.
TEST_F(GfxDeviceFixture, FrameHandedOverInPartsDrawsTheSamePicture) {
    auto* gl = dynamic_cast<GlDevice*>(m_device);
    if (!gl) GTEST_SKIP() << "not the GL device";
    auto drawFrames = [&](int frames) {
        std::vector<uint32_t> picture;
        for (int frame = 0; frame < frames; ++frame) {
            m_device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
            drawBlendedOnScreen(*m_device);
            uint32_t seed = 12345;
            auto next = [&seed](uint32_t range) {
                seed = seed * 1664525u + 1013904223u;
                return (seed >> 8) % range;
            };
            for (int draw = 0; draw < 40; ++draw) {
                std::vector<ScreenVertex> triangles;
                for (int t = 0; t < 50; ++t) {
                    const float x = float(next(56)), y = float(next(40));
                    const uint32_t color = 0x80000000u | next(0x1000000);
                    for (int corner = 0; corner < 3; ++corner)
                        triangles.push_back({x + float(next(16)), y + float(next(16)), float(next(100)) / 100.0f, 1, color});
                }
                m_device->drawPrimitiveUP(PT_TRIANGLELIST, 50, triangles.data(), sizeof(ScreenVertex));
            }
            picture = pixels();
            m_device->present();
        }
        return picture;
    };
    gl->setHandOver(0, false);
    const std::vector<uint32_t> whole = drawFrames(1);
    gl->setHandOver(1, false);
    EXPECT_EQ(drawFrames(3), whole);
    std::vector<uint32_t> colors = whole;
    std::sort(colors.begin(), colors.end());
    EXPECT_GT(std::unique(colors.begin(), colors.end()) - colors.begin(), 500);
}

// A split frame whose upper view is sent from the second context draws what
// the same frame sent in order draws, though the lower view rewrites a vertex
// buffer the upper one drew from and samples a texture the upper one drew
// into last, and a later draw covers both views; the lower view's draws go to
// the rasteriser at once, while the upper one's are still being sent.
TEST_F(GfxDeviceFixture, ViewSentAsideDrawsTheSamePictureAsInOrder) {
    auto* gl = dynamic_cast<GlDevice*>(m_device);
    if (!gl) GTEST_SKIP() << "not the GL device";
    struct TexturedVertex {
        float x, y, z, rhw;
        uint32_t color;
        float u, v;
    };
    Texture* picture = nullptr;
    ASSERT_EQ(m_device->createTexture(16, 16, 1, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_DEFAULT, &picture), GFX_OK);
    Buffer* buffer = nullptr;
    ASSERT_EQ(m_device->createVertexBuffer(150 * sizeof(ScreenVertex), 0, FVF_XYZRHW | FVF_DIFFUSE, POOL_MANAGED, &buffer),
              GFX_OK);
    Query* query = nullptr;
    ASSERT_EQ(m_device->createQuery(QUERYTYPE_OCCLUSION, &query), GFX_OK);
    Surface* back = nullptr;
    Surface* depth = nullptr;
    m_device->getBackBuffer(0, 0, 0, &back);
    m_device->getDepthStencilSurface(&depth);
    Surface* target = picture->getSurfaceLevel(0);

    uint32_t seed = 0;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    auto triangles = [&](int count, int top, int height) {
        std::vector<ScreenVertex> out;
        for (int t = 0; t < count; ++t) {
            const float x = float(next(56)), y = float(top + int(next(uint32_t(height))));
            const uint32_t color = 0x80000000u | next(0x1000000);
            for (int corner = 0; corner < 3; ++corner)
                out.push_back({x + float(next(16)), y + float(next(12)), float(next(100)) / 100.0f, 1, color});
        }
        return out;
    };
    auto fill = [&](const std::vector<ScreenVertex>& vertices) {
        void* bits = nullptr;
        ASSERT_EQ(buffer->lock(0, 0, &bits, 0), GFX_OK);
        std::memcpy(bits, vertices.data(), vertices.size() * sizeof(ScreenVertex));
        buffer->unlock();
    };
    // A draw that goes to the rasteriser at once: its count is waited for.
    auto drawNow = [&](uint32_t type, uint32_t count, const void* vertices, uint32_t stride) {
        uint32_t samples = 0;
        query->issue(ISSUE_BEGIN);
        m_device->drawPrimitiveUP(type, count, vertices, stride);
        query->issue(ISSUE_END);
        for (int tries = 0; tries < 2000 && query->getData(&samples, sizeof samples, GETDATA_FLUSH) == GFX_FALSE; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    auto upperView = [&](bool drawIntoPicture) {
        m_device->beginSideView();
        m_device->setViewport({0, 0, 64, 24, 0.0f, 1.0f});
        for (int draw = 0; draw < 400; ++draw) {
            std::vector<ScreenVertex> some = triangles(50, 0, 12);
            m_device->drawPrimitiveUP(PT_TRIANGLELIST, 50, some.data(), sizeof(ScreenVertex));
        }
        if (drawIntoPicture) {
            m_device->setStreamSource(0, buffer, 0, sizeof(ScreenVertex));
            m_device->drawPrimitive(PT_TRIANGLELIST, 0, 50);
            m_device->setRenderTarget(0, target);
            m_device->setDepthStencilSurface(nullptr);
            m_device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000 | next(0x1000000), 1.0f, 0);
            m_device->setRenderTarget(0, back);
            m_device->setDepthStencilSurface(depth);
        }
        m_device->endSideView();
    };
    auto drawFrames = [&] {
        std::vector<std::vector<uint32_t>> shown;
        for (int frame = 0; frame < 3; ++frame) {
            seed = 12345u + uint32_t(frame);
            m_device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
            drawBlendedOnScreen(*m_device);
            fill(triangles(50, 0, 12));

            upperView(true);
            m_device->setViewport({0, 24, 64, 24, 0.0f, 1.0f});
            fill(triangles(50, 24, 12));
            m_device->drawPrimitive(PT_TRIANGLELIST, 0, 50);
            m_device->setFVF(FVF_XYZRHW | FVF_DIFFUSE | 0x100);
            m_device->setTexture(0, picture);
            const TexturedVertex quad[4] = {{0, 40, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                                            {64, 40, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                                            {64, 48, 0.5f, 1, 0xFFFFFFFF, 1, 1},
                                            {0, 48, 0.5f, 1, 0xFFFFFFFF, 0, 1}};
            drawNow(PT_TRIANGLEFAN, 2, quad, sizeof(TexturedVertex));
            m_device->setTexture(0, nullptr);
            m_device->setFVF(FVF_XYZRHW | FVF_DIFFUSE);

            upperView(false);
            // Over both views, with no depth test to hide which came first.
            m_device->setViewport({0, 0, 64, 48, 0.0f, 1.0f});
            m_device->setRenderState(RS_ZENABLE, 0);
            std::vector<ScreenVertex> across = triangles(10, 8, 30);
            drawNow(PT_TRIANGLELIST, 10, across.data(), sizeof(ScreenVertex));
            m_device->setRenderState(RS_ZENABLE, 1);
            m_device->joinSideView();
            shown.push_back(pixels());
            m_device->present();
        }
        return shown;
    };
    // Each draw handed to the rasteriser at once: what is sent out of order is drawn out of order.
    gl->setHandOver(1, false);
    gl->setSideViews(false);
    const std::vector<std::vector<uint32_t>> inOrder = drawFrames();
    gl->setSideViews(true);
    EXPECT_EQ(drawFrames(), inOrder);
    EXPECT_TRUE(gl->sideViews()) << "the second context could not be made";
    std::vector<uint32_t> colors = inOrder.back();
    std::sort(colors.begin(), colors.end());
    EXPECT_GT(std::unique(colors.begin(), colors.end()) - colors.begin(), 300);
    for (Resource* object : std::initializer_list<Resource*>{target, back, depth, query, buffer, picture})
        object->release();
}
