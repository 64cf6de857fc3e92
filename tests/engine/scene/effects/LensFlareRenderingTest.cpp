#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include <stb_image_write.h>

#include "engine/platform/display/DeviceList.h"
#include "engine/scene/Light.h"
#include "engine/scene/effects/FlareSet.h"
#include "tests/support/TempDir.h"
#include "tests/sys/GfxTestSupport.h"

namespace gfx = sys::gfx;

namespace {

void setMatrix(gfx::Device& device, uint32_t type, const Matrix4x3& m) {
    gfx::Matrix out;
    std::memcpy(out.m, m.m, sizeof out.m);
    device.setTransform(type, out);
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
        setMatrix(*m_device, gfx::TS_PROJECTION, m_camera.getProjMatrix(0.0, 1.0f, 100.0f));
        setMatrix(*m_device, gfx::TS_WORLD, Matrix4x3::identity());
    }
    void TearDown() override {
        m_light.m_flares.reset();
        GfxDeviceFixture::TearDown();
    }
    void states(std::initializer_list<std::pair<uint32_t, uint32_t>> renderStates,
                std::initializer_list<std::pair<uint32_t, uint32_t>> stage0) {
        for (auto [state, value] : renderStates) m_device->setRenderState(state, value);
        for (auto [type, value] : stage0) m_device->setTextureStageState(0, type, value);
    }
    // One frame; a dark blue square at depth 5 from x = -2 to `right` stands before the light.
    void frame(float right) {
        struct Vertex {
            float x, y, z;
            uint32_t colour;
        } cover[4] = {{-2, -2, 5, 0xFF000040}, {-2, 2, 5, 0xFF000040}, {right, 2, 5, 0xFF000040},
                      {right, -2, 5, 0xFF000040}};
        gfx::Device& d = *m_device;
        d.clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        d.beginScene();
        setMatrix(d, gfx::TS_VIEW, Matrix4x3::identity());
        states({{gfx::RS_LIGHTING, 0}, {gfx::RS_ZENABLE, 1}, {gfx::RS_COLORWRITEENABLE, 0xF}, {gfx::RS_CULLMODE, 1}},
               {{gfx::TSS_COLOROP, gfx::TOP_SELECTARG1}, {gfx::TSS_COLORARG1, gfx::TA_DIFFUSE}});
        d.setFVF(gfx::FVF_XYZ | gfx::FVF_DIFFUSE);
        d.drawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, cover, sizeof(Vertex));
        FlareSet& flares = *m_light.m_flares;
        flares.updateFlareVisibility(1, m_camera, {}, 0.0);
        states({{gfx::RS_ZENABLE, 0}, {gfx::RS_ALPHABLENDENABLE, 1}, {gfx::RS_SRCBLEND, gfx::BLEND_SRCALPHA},
                {gfx::RS_DESTBLEND, gfx::BLEND_ONE}},
               {{gfx::TSS_COLOROP, gfx::TOP_MODULATE}, {gfx::TSS_COLORARG1, gfx::TA_TEXTURE},
                {gfx::TSS_COLORARG2, gfx::TA_TFACTOR}, {gfx::TSS_ALPHAOP, gfx::TOP_MODULATE},
                {gfx::TSS_ALPHAARG1, gfx::TA_TEXTURE}, {gfx::TSS_ALPHAARG2, gfx::TA_TFACTOR}});
        flares.drawFlares(1, m_camera, 0.0);
        const float pointSize = 4.0f;
        uint32_t sizeBits;
        std::memcpy(&sizeBits, &pointSize, sizeof sizeBits);
        states({{gfx::RS_ZENABLE, 1}, {gfx::RS_COLORWRITEENABLE, 0}, {gfx::RS_ALPHABLENDENABLE, 0},
                {gfx::RS_POINTSIZE, sizeBits}},
               {{gfx::TSS_COLOROP, gfx::TOP_DISABLE}});
        flares.issueOcclusionQuery(1, m_camera, 0.0);
        d.endScene();
    }
    // Lit pixels of the middle row right of the centre, where the square never reaches.
    int litToTheRight(const std::vector<uint32_t>& shot) {
        int lit = 0;
        for (int x = m_width / 2; x < m_width; ++x) lit += ((shot[size_t(m_height / 2 * m_width + x)] >> 16) & 0xFF) > 32;
        return lit;
    }

    DeviceList m_devices;
    Light m_light{nullptr, 1};
    ViewingItem m_camera{nullptr, SceneItem::KIND_CAMERA, 2};
    TempDir m_dir;
};

TEST_F(LensFlareRendering, FullWhenVisibleSmallerWhenHalfHiddenGoneWhenCovered) {
    std::vector<std::vector<uint32_t>> shots;
    for (float right : {-2.0f, 0.0f, 2.0f}) {
        frame(right);
        frame(right);
        shots.push_back(pixels());
    }
    const size_t centre = size_t(m_height / 2 * m_width + m_width / 2);
    EXPECT_GT(shots[0][centre] & 0xFF, 0x80u);
    EXPECT_GT(litToTheRight(shots[0]), 12);
    EXPECT_GT(litToTheRight(shots[1]), 0);
    EXPECT_LT(litToTheRight(shots[1]), litToTheRight(shots[0]) * 3 / 4);
    EXPECT_EQ(shots[2][centre], 0x000040u);

    std::vector<unsigned char> rgb;
    for (int y = 0; y < m_height; ++y)
        for (const auto& shot : shots)
            for (int x = 0; x < m_width; ++x)
                for (int shift : {16, 8, 0}) rgb.push_back(static_cast<unsigned char>(shot[size_t(y * m_width + x)] >> shift));
    const char* png = std::getenv("PLIMZOR_FLARE_PNG");
    EXPECT_TRUE(stbi_write_png(png ? png : m_dir.file("lens-flare.png").c_str(), m_width * 3, m_height, 3,
                               rgb.data(), m_width * 9));
}

} // namespace
