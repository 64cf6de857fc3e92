#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <stb_image_write.h>

#include "engine/platform/DeviceList.h"
#include "engine/platform/Texture.h"
#include "engine/scene/FlareSet.h"
#include "engine/scene/Light.h"
#include "tests/support/TempDir.h"
#include "tests/sys/GfxTestSupport.h"

namespace gfx = sys::gfx;

namespace {

void setMatrix(gfx::Device& device, uint32_t type, const Matrix4x3& m) {
    gfx::Matrix out;
    std::memcpy(out.m, m.m, sizeof out.m);
    device.setTransform(type, out);
}

uint32_t floatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// A white point light straight ahead of a camera at the origin, its flare's
// bright centre drawn under the states the scene's flare pass sets.
class LensFlareRendering : public GfxDeviceFixture {
protected:
    LensFlareRendering() { m_width = m_height = 128; }
    void SetUp() override {
        GfxDeviceFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        m_devices.m_devices = {m_device};
        m_devices.m_currentDevice = m_device;
        for (AnimatedValue& c : m_light.m_colour) c.constant = 1.0f;
        m_light.m_lightType = Light::POINT;
        m_light.m_lensFlare = true;
        m_light.m_flareOptions = FlareSet::OPTION_CENTRE;
        m_light.m_flareIntensity.constant = 1.0f;
        m_light.m_flareNominalDistance = 20.0f;
        m_light.m_channels[SceneItem::POS_Z].constant = 10.0f;
        m_light.createTextures(m_devices, {}, {});
        ASSERT_TRUE(m_light.m_flares);
        setMatrix(*m_device, gfx::TS_PROJECTION, m_camera.getProjMatrix(0.0, 1.0f, 100.0f));
        setMatrix(*m_device, gfx::TS_WORLD, Matrix4x3::identity());
    }
    void TearDown() override {
        m_light.m_flares.reset();
        GfxDeviceFixture::TearDown();
    }
    // A dark blue square at depth 5 from x = -2 to `right`, drawn with depth.
    void drawCover(float right) {
        struct Vertex {
            float x, y, z;
            uint32_t colour;
        };
        const Vertex quad[4] = {{-2, -2, 5, 0xFF000040}, {-2, 2, 5, 0xFF000040}, {right, 2, 5, 0xFF000040},
                                {right, -2, 5, 0xFF000040}};
        gfx::Device& d = *m_device;
        setMatrix(d, gfx::TS_VIEW, Matrix4x3::identity());
        d.setRenderState(gfx::RS_ZENABLE, 1);
        d.setRenderState(gfx::RS_ZWRITEENABLE, 1);
        d.setRenderState(gfx::RS_COLORWRITEENABLE, 0xF);
        d.setRenderState(gfx::RS_ALPHABLENDENABLE, 0);
        d.setRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
        d.setTexture(0, nullptr);
        d.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_SELECTARG1);
        d.setTextureStageState(0, gfx::TSS_COLORARG1, gfx::TA_DIFFUSE);
        d.setTextureStageState(0, gfx::TSS_ALPHAOP, gfx::TOP_SELECTARG1);
        d.setTextureStageState(0, gfx::TSS_ALPHAARG1, gfx::TA_DIFFUSE);
        d.setFVF(gfx::FVF_XYZ | gfx::FVF_DIFFUSE);
        d.drawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
    }
    // One frame of the flare pass; `right` > -2 puts the cover in front of the light.
    void frame(float right) {
        gfx::Device& d = *m_device;
        d.clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        d.beginScene();
        d.setRenderState(gfx::RS_LIGHTING, 0);
        d.setRenderState(gfx::RS_FOGENABLE, 0);
        if (right > -2.0f) drawCover(right);
        FlareSet& flares = *m_light.m_flares;
        flares.updateFlareVisibility(1, m_camera, {}, 0.0);

        d.setRenderState(gfx::RS_CULLMODE, gfx::CULL_CCW);
        d.setRenderState(gfx::RS_ZENABLE, 0);
        d.setRenderState(gfx::RS_ZWRITEENABLE, 0);
        d.setRenderState(gfx::RS_ALPHABLENDENABLE, 1);
        d.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_SRCALPHA);
        d.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_ONE);
        d.setSamplerState(0, gfx::SAMP_MINFILTER, gfx::TEXF_LINEAR);
        d.setSamplerState(0, gfx::SAMP_MAGFILTER, gfx::TEXF_LINEAR);
        d.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_MODULATE);
        d.setTextureStageState(0, gfx::TSS_COLORARG1, gfx::TA_TEXTURE);
        d.setTextureStageState(0, gfx::TSS_COLORARG2, gfx::TA_TFACTOR);
        d.setTextureStageState(0, gfx::TSS_ALPHAOP, gfx::TOP_MODULATE);
        d.setTextureStageState(0, gfx::TSS_ALPHAARG1, gfx::TA_TEXTURE);
        d.setTextureStageState(0, gfx::TSS_ALPHAARG2, gfx::TA_TFACTOR);
        d.setTextureStageState(1, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
        flares.drawFlares(1, m_camera, 0.0);

        d.setRenderState(gfx::RS_ZENABLE, 1);
        d.setRenderState(gfx::RS_COLORWRITEENABLE, 0);
        d.setRenderState(gfx::RS_ALPHABLENDENABLE, 0);
        d.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
        d.setTexture(0, nullptr);
        d.setRenderState(gfx::RS_POINTSIZE, floatBits(4.0f));
        flares.issueOcclusionQuery(1, m_camera, 0.0);
        d.setRenderState(gfx::RS_COLORWRITEENABLE, 0xF);
        d.endScene();
    }
    // Bright pixels of the middle row right of the centre, where the cover never reaches.
    int brightToTheRight(const std::vector<uint32_t>& picture) {
        int bright = 0;
        for (int x = m_width / 2; x < m_width; ++x)
            if (((picture[size_t(m_height / 2) * size_t(m_width) + size_t(x)] >> 16) & 0xFF) > 32) ++bright;
        return bright;
    }

    DeviceList m_devices;
    Light m_light{nullptr, 1};
    ViewingItem m_camera{nullptr, SceneItem::KIND_CAMERA, 2};
    TempDir m_dir;
};

TEST_F(LensFlareRendering, FullWhenVisibleSmallerWhenHalfHiddenGoneWhenCovered) {
    std::vector<std::vector<uint32_t>> shots;
    for (float right : {-3.0f, 0.0f, 2.0f}) {
        frame(right);
        frame(right);
        shots.push_back(pixels());
    }
    const int full = brightToTheRight(shots[0]), half = brightToTheRight(shots[1]), covered = brightToTheRight(shots[2]);
    EXPECT_GT(full, 12);
    EXPECT_GT(half, 0);
    EXPECT_LT(half, full * 3 / 4);
    EXPECT_EQ(covered, 0);
    EXPECT_GT(shots[0][size_t(m_height / 2) * size_t(m_width) + size_t(m_width / 2)] & 0xFF, 0x80u);
    EXPECT_EQ(shots[2][size_t(m_height / 2) * size_t(m_width) + size_t(m_width / 2)], 0x000040u);

    std::vector<unsigned char> rgb;
    for (int y = 0; y < m_height; ++y)
        for (const auto& shot : shots)
            for (int x = 0; x < m_width; ++x) {
                uint32_t p = shot[size_t(y) * size_t(m_width) + size_t(x)];
                rgb.insert(rgb.end(), {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                       static_cast<unsigned char>(p)});
            }
    const char* png = std::getenv("PLIMZOR_FLARE_PNG");
    EXPECT_TRUE(stbi_write_png(png ? png : m_dir.file("lens-flare.png").c_str(), m_width * 3, m_height, 3,
                               rgb.data(), m_width * 9));
}

} // namespace
