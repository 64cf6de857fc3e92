#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "engine/platform/display/RenderDevice.h"
#include "sys/gfx/Device.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowedDevice.h"

using namespace sys::gfx;

namespace {

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t color;
    float u, v;
};
constexpr uint32_t LIT_FVF = FVF_XYZ | FVF_NORMAL | FVF_DIFFUSE | (1 << FVF_TEXCOUNT_SHIFT);

struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t color;
};

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

// A window-sized device made the way the game makes it, windowed.
class RenderScene : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        if (!sys::Window::videoAvailable()) GTEST_SKIP() << "no display: the rendering test needs X (xvfb-run -a)";
        m_render = makeWindowedDevice();
        ASSERT_NE(m_render, nullptr);
        m_device = m_render->m_groups[0]->m_device;
    }
    void TearDown() override {
        m_render.reset();
        unsetenv("PLIMZOR_SETTINGS");
    }

    // Lighting is per vertex, so the lights stand far off to light a quad evenly.
    // World units are pixels of the 960 x 720 back buffer, y down.
    void pixelProjection() {
        Matrix p{};
        p.m[0][0] = 1.0f / 480;
        p.m[1][1] = -1.0f / 360;
        p.m[2][2] = 1.0f / 100;
        p.m[3][0] = -1;
        p.m[3][1] = 1;
        p.m[3][3] = 1;
        m_device->setTransform(TS_PROJECTION, p);
        Matrix identity{};
        for (int i = 0; i < 4; ++i) identity.m[i][i] = 1;
        m_device->setTransform(TS_VIEW, identity);
        m_device->setTransform(TS_WORLD, identity);
    }
    void quad(float x0, float y0, float x1, float y1, float z, uint32_t color) {
        LitVertex v[6] = {{x0, y0, z, 0, 0, -1, color, 0, 0}, {x1, y0, z, 0, 0, -1, color, 1, 0},
                          {x0, y1, z, 0, 0, -1, color, 0, 1}, {x1, y0, z, 0, 0, -1, color, 1, 0},
                          {x1, y1, z, 0, 0, -1, color, 1, 1}, {x0, y1, z, 0, 0, -1, color, 0, 1}};
        m_device->setFVF(LIT_FVF);
        ASSERT_EQ(m_device->drawPrimitiveUP(PT_TRIANGLELIST, 2, v, sizeof(LitVertex)), GFX_OK);
    }
    Texture* solidTexture(uint32_t argb, uint32_t usage = 0) {
        Texture* t = nullptr;
        EXPECT_EQ(m_device->createTexture(4, 4, 1, usage, FMT_A8R8G8B8, usage ? POOL_DEFAULT : POOL_MANAGED, &t), GFX_OK);
        LockedRect r{};
        if (!usage && t->lockRect(0, r, nullptr, 0) == GFX_OK) {
            for (int i = 0; i < 16; ++i) static_cast<uint32_t*>(r.bits)[i] = argb;
            t->unlockRect(0);
        }
        return t;
    }
    void light(uint32_t type, ColorValue color, Vector3 position) {
        Light l{};
        l.type = type;
        l.diffuse = color;
        l.position = position;
        l.direction = {0, 0, 1};
        l.range = 2000; // lights reach nothing past their range, and these stand 1050 away
        l.attenuation0 = 1;
        l.theta = 0.5f;
        l.phi = 1.0f;
        l.falloff = 1;
        for (uint32_t i = 0; i < 3; ++i) m_device->lightEnable(i, false);
        m_device->setLight(type - 1, l);
        m_device->lightEnable(type - 1, true);
    }
    std::vector<uint8_t> readBack(int& width, int& height) {
        Surface* back = nullptr;
        m_device->getBackBuffer(0, 0, 0, &back);
        width = int(back->getDesc().width);
        height = int(back->getDesc().height);
        LockedRect r{};
        std::vector<uint8_t> rgb(size_t(width) * height * 3);
        if (back->lockRect(r, nullptr, LOCK_READONLY) == GFX_OK) {
            for (int i = 0; i < width * height; ++i) {
                uint32_t p = static_cast<const uint32_t*>(r.bits)[i];
                rgb[i * 3] = uint8_t(p >> 16);
                rgb[i * 3 + 1] = uint8_t(p >> 8);
                rgb[i * 3 + 2] = uint8_t(p);
            }
            back->unlockRect();
        }
        back->release();
        return rgb;
    }

    TempDir m_dir;
    std::unique_ptr<RenderDevice> m_render;
    Device* m_device = nullptr;
};

void expectColor(const std::vector<uint8_t>& rgb, int width, int x, int y, int r, int g, int b, const char* what,
                 int tolerance = 4) {
    const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
    EXPECT_NEAR(p[0], r, tolerance) << what;
    EXPECT_NEAR(p[1], g, tolerance) << what;
    EXPECT_NEAR(p[2], b, tolerance) << what;
}

} // namespace

TEST_F(RenderScene, DrawsLightsFogStagesBlendingStencilAndRenderTarget) {
    ASSERT_EQ(m_device->presentParams().backBufferWidth, 960u);
    ASSERT_EQ(m_device->presentParams().backBufferHeight, 720u);

    // Render-to-texture pass: blue with a red top half.
    Texture* target = solidTexture(0, USAGE_RENDERTARGET);
    Surface* targetSurface = target->getSurfaceLevel(0);
    Surface* back = nullptr;
    m_device->getRenderTarget(0, &back);
    m_device->setRenderTarget(0, targetSurface);
    m_device->clear(0, nullptr, CLEAR_TARGET, 0xFF0000FF, 1, 0);
    m_device->setRenderState(RS_LIGHTING, 0);
    m_device->setRenderState(RS_ZENABLE, 0);
    ScreenVertex top[6] = {{0, 0, 0, 1, 0xFFFF0000}, {4, 0, 0, 1, 0xFFFF0000}, {0, 2, 0, 1, 0xFFFF0000},
                           {4, 0, 0, 1, 0xFFFF0000}, {4, 2, 0, 1, 0xFFFF0000}, {0, 2, 0, 1, 0xFFFF0000}};
    m_device->setTexture(0, nullptr);
    m_device->setFVF(FVF_XYZRHW | FVF_DIFFUSE);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    m_device->setTextureStageState(0, TSS_ALPHAOP, TOP_SELECTARG2);
    m_device->drawPrimitiveUP(PT_TRIANGLELIST, 2, top, sizeof(ScreenVertex));
    m_device->setRenderTarget(0, back);
    back->release();
    targetSurface->release();

    ASSERT_EQ(m_device->beginScene(), GFX_OK);
    m_device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER | CLEAR_STENCIL, 0xFF000000, 1, 0);
    pixelProjection();
    Material m{};
    m.diffuse = {1, 1, 1, 1};
    m_device->setMaterial(m);
    m_device->setRenderState(RS_ZENABLE, 1);
    m_device->setRenderState(RS_LIGHTING, 1);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);

    light(LIGHT_DIRECTIONAL, {1, 0, 0, 1}, {0, 0, 0});
    quad(20, 100, 120, 200, 50, 0xFFFFFFFF);
    light(LIGHT_POINT, {0, 1, 0, 1}, {190, 150, -1000});
    quad(140, 100, 240, 200, 50, 0xFFFFFFFF);
    light(LIGHT_SPOT, {0, 0, 1, 1}, {310, 150, -1000});
    quad(260, 100, 360, 200, 50, 0xFFFFFFFF);

    // Linear fog halfway: white meets magenta.
    m_device->setRenderState(RS_LIGHTING, 0);
    m_device->setRenderState(RS_FOGENABLE, 1);
    m_device->setRenderState(RS_FOGTABLEMODE, FOG_LINEAR);
    m_device->setRenderState(RS_FOGCOLOR, 0xFFFF00FF);
    m_device->setRenderState(RS_FOGSTART, bits(0));
    m_device->setRenderState(RS_FOGEND, bits(100));
    quad(380, 100, 480, 200, 50, 0xFFFFFFFF);
    m_device->setRenderState(RS_FOGENABLE, 0);

    // Two stages: grey texture times diffuse, then twice an orange texture.
    Texture* grey = solidTexture(0xFF808080);
    Texture* orange = solidTexture(0xFFFF8000);
    m_device->setTexture(0, grey);
    m_device->setTexture(1, orange);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_MODULATE);
    m_device->setTextureStageState(1, TSS_COLOROP, TOP_MODULATE2X);
    m_device->setTextureStageState(1, TSS_COLORARG1, TA_TEXTURE);
    m_device->setTextureStageState(1, TSS_COLORARG2, TA_CURRENT);
    m_device->setTextureStageState(1, TSS_TEXCOORDINDEX, 0);
    quad(500, 100, 600, 200, 50, 0xFFFFFFFF);
    m_device->setTextureStageState(1, TSS_COLOROP, TOP_DISABLE);
    m_device->setTexture(1, nullptr);

    // Half-transparent red over blue.
    m_device->setTexture(0, nullptr);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    m_device->setTextureStageState(0, TSS_ALPHAOP, TOP_SELECTARG2);
    quad(620, 100, 720, 200, 60, 0xFF0000FF);
    m_device->setRenderState(RS_ALPHABLENDENABLE, 1);
    m_device->setRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    m_device->setRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    quad(620, 100, 720, 200, 50, 0x80FF0000);
    m_device->setRenderState(RS_ALPHABLENDENABLE, 0);

    // Stencil mask over the left half only, then white where the mask is.
    m_device->setRenderState(RS_STENCILENABLE, 1);
    m_device->setRenderState(RS_STENCILFUNC, CMP_ALWAYS);
    m_device->setRenderState(RS_STENCILREF, 1);
    m_device->setRenderState(RS_STENCILPASS, STENCILOP_REPLACE);
    m_device->setRenderState(RS_COLORWRITEENABLE, 0);
    quad(740, 100, 790, 200, 50, 0xFFFFFFFF);
    m_device->setRenderState(RS_COLORWRITEENABLE, 0xF);
    m_device->setRenderState(RS_STENCILFUNC, CMP_EQUAL);
    m_device->setRenderState(RS_STENCILPASS, STENCILOP_KEEP);
    m_device->setRenderState(RS_ZFUNC, CMP_ALWAYS);
    quad(740, 100, 840, 200, 40, 0xFFFFFFFF);
    m_device->setRenderState(RS_STENCILENABLE, 0);
    m_device->setRenderState(RS_ZFUNC, CMP_LESSEQUAL);

    // The render target sampled the right way up, with an occlusion count.
    Query* query = nullptr;
    ASSERT_EQ(m_device->createQuery(QUERYTYPE_OCCLUSION, &query), GFX_OK);
    m_device->setTexture(0, target);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    query->issue(ISSUE_BEGIN);
    quad(20, 300, 120, 400, 50, 0xFFFFFFFF);
    query->issue(ISSUE_END);

    // Texture transforms on two coordinates: the third row translates, as on the original.
    Matrix half{};
    half.m[0][0] = 1;
    half.m[1][1] = 0.5f;
    half.m[3][3] = 1;
    m_device->setTransform(TS_TEXTURE0, half);
    m_device->setTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT2);
    quad(140, 300, 240, 400, 50, 0xFFFFFFFF);
    half.m[2][1] = 0.5f;
    m_device->setTransform(TS_TEXTURE0, half);
    quad(260, 300, 360, 400, 50, 0xFFFFFFFF);
    m_device->setTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_DISABLE);

    // Multiply-add: texture times diffuse plus the texture factor.
    m_device->setTexture(0, grey);
    m_device->setRenderState(RS_TEXTUREFACTOR, 0xFF004000);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_MULTIPLYADD);
    m_device->setTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
    m_device->setTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    m_device->setTextureStageState(0, TSS_COLORARG0, TA_TFACTOR);
    quad(380, 300, 480, 400, 50, 0xFFFFFFFF);
    m_device->setTexture(0, nullptr);
    ASSERT_EQ(m_device->endScene(), GFX_OK);
    uint32_t samples = 0;
    for (int i = 0; i < 2000 && query->getData(&samples, 4, GETDATA_FLUSH) == GFX_FALSE; ++i) usleep(1000);
    EXPECT_EQ(samples, 100u * 100u);

    int width = 0, height = 0;
    std::vector<uint8_t> rgb = readBack(width, height);
    const char* png = std::getenv("PLIMZOR_RENDER_PNG");
    std::string path = png ? png : m_dir.file("render-scene.png");
    EXPECT_TRUE(stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3));
    expectColor(rgb, width, 70, 150, 255, 0, 0, "directional light");
    expectColor(rgb, width, 190, 150, 0, 255, 0, "point light");
    expectColor(rgb, width, 310, 150, 0, 0, 255, "spot light");
    expectColor(rgb, width, 430, 150, 255, 128, 255, "linear fog");
    expectColor(rgb, width, 550, 150, 255, 128, 0, "two texture stages");
    expectColor(rgb, width, 670, 150, 128, 0, 127, "alpha blending");
    expectColor(rgb, width, 760, 150, 255, 255, 255, "stencil inside");
    expectColor(rgb, width, 820, 150, 0, 0, 0, "stencil outside");
    expectColor(rgb, width, 70, 320, 255, 0, 0, "render target top");
    expectColor(rgb, width, 70, 380, 0, 0, 255, "render target bottom");
    expectColor(rgb, width, 190, 390, 255, 0, 0, "texture scale");
    expectColor(rgb, width, 310, 310, 0, 0, 255, "texture translation");
    expectColor(rgb, width, 430, 350, 128, 192, 128, "multiply-add");
    expectColor(rgb, width, 300, 600, 0, 0, 0, "background");
    EXPECT_EQ(m_device->present(), GFX_OK);
    query->release();
    grey->release();
    orange->release();
    target->release();
}

TEST_F(RenderScene, WindowedResizeResetsTheDeviceAndKeepsTheWindow) {
    sys::Window& window = *m_render->m_groups[0]->m_windows[0];
    window.setPosition(40, 30);
    sys::pumpMessages();
    int x0 = 0, y0 = 0;
    window.getPosition(x0, y0);
    DisplaySettings& s = *m_render->m_settings;
    s.m_width = 640;
    s.m_height = 480;
    PresentParams& pp = m_render->m_groups[0]->m_presentParams[0];
    pp.backBufferWidth = 640;
    pp.backBufferHeight = 480;
    EXPECT_EQ(m_render->resizeWindows(), GFX_OK);
    sys::pumpMessages();
    EXPECT_EQ(m_device->presentParams().backBufferWidth, 640u);
    int x1 = 0, y1 = 0;
    window.getPosition(x1, y1);
    EXPECT_EQ(x1, x0);
    EXPECT_EQ(y1, y0);
    EXPECT_GE(x1, 0);
    EXPECT_EQ(m_device->clear(0, nullptr, CLEAR_TARGET, 0xFF00FF00, 1, 0), GFX_OK);
    int width = 0, height = 0;
    std::vector<uint8_t> rgb = readBack(width, height);
    EXPECT_EQ(width, 640);
    expectColor(rgb, width, 600, 400, 0, 255, 0, "after resize");
}

TEST_F(RenderScene, MultisampleChangeAtResetKeepsTheContext) {
    PresentParams& pp = m_render->m_groups[0]->m_presentParams[0];
    pp.multiSampleType = 4;
    EXPECT_EQ(m_render->resizeWindows(), GFX_OK);
    EXPECT_EQ(m_device->clear(0, nullptr, CLEAR_TARGET, 0xFFFF0000, 1, 0), GFX_OK);
    int width = 0, height = 0;
    std::vector<uint8_t> rgb = readBack(width, height);
    expectColor(rgb, width, 10, 10, 255, 0, 0, "multisampled clear");
}

TEST_F(RenderScene, HiddenWindowLosesTheDeviceUntilReset) {
    sys::Window& window = *m_render->m_groups[0]->m_windows[0];
    EXPECT_EQ(m_device->testCooperativeLevel(), GFX_OK);
    window.minimize();
    window.show(false);
    sys::pumpMessages();
    EXPECT_EQ(m_device->testCooperativeLevel(), GFXERR_DEVICELOST);
    EXPECT_EQ(m_device->present(), GFXERR_DEVICELOST);
    window.show(true);
    window.restore();
    sys::pumpMessages();
    EXPECT_EQ(m_device->testCooperativeLevel(), GFXERR_DEVICENOTRESET);
    EXPECT_EQ(m_render->resizeWindows(), GFX_OK);
    EXPECT_EQ(m_device->testCooperativeLevel(), GFX_OK);
    EXPECT_EQ(m_render->m_groups[0]->m_windows[0].get(), &window);
}
