#include "tests/sys/GfxTestSupport.h"

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
