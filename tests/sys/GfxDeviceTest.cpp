#include "tests/sys/GfxTestSupport.h"

#include <algorithm>

#include "sys/gfx/GlDevice.h"

using namespace sys::gfx;

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t color;
};

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
            m_device->setRenderState(RS_LIGHTING, 0);
            m_device->setRenderState(RS_CULLMODE, CULL_NONE);
            m_device->setRenderState(RS_ALPHABLENDENABLE, 1);
            m_device->setRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
            m_device->setRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
            m_device->setFVF(FVF_XYZRHW | FVF_DIFFUSE);
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
