#include <gtest/gtest.h>

#include "sys/gfx/FixedFunctionKey.h"
#include "sys/gfx/RecordingDevice.h"

using namespace sys::gfx;

namespace {

PresentParams recordingParams() {
    PresentParams p{};
    p.windowed = 1;
    p.backBufferWidth = 320;
    p.backBufferHeight = 240;
    p.enableAutoDepthStencil = 1;
    p.autoDepthStencilFormat = FMT_D24S8;
    return p;
}

} // namespace

TEST(Device, NewRenderTargetResetsTheScissorRectangle) {
    RecordingDevice device(recordingParams());
    Rect r{};
    device.getScissorRect(r);
    EXPECT_EQ(r.right, 320);
    EXPECT_EQ(r.bottom, 240);
    EXPECT_EQ(device.setScissorRect({10, 10, 5, 20}), GFXERR_INVALIDCALL);
    EXPECT_EQ(device.setScissorRect({10, 10, 20, 20}), GFX_OK);
    Texture* target = nullptr;
    ASSERT_EQ(device.createTexture(64, 32, 1, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_DEFAULT, &target), GFX_OK);
    Surface* surface = target->getSurfaceLevel(0);
    device.setRenderTarget(0, surface);
    device.getScissorRect(r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 64);
    EXPECT_EQ(r.bottom, 32);
    surface->release();
    target->release();
}

TEST(FixedFunctionKey, StatesTheProgramIgnoresShareOneKey) {
    RecordingDevice device(recordingParams());
    std::vector<VertexElement> layout = VertexDeclaration::fromFvf(FVF_XYZ | FVF_DIFFUSE | (1 << FVF_TEXCOUNT_SHIFT));
    FixedFunctionKey before = FixedFunctionKey::from(device.state(), layout, false);
    // Values that reach the program as uniforms, and stages past the first disabled one.
    device.setRenderState(RS_TEXTUREFACTOR, 0xFF123456);
    device.setTextureStageState(2, TSS_COLOROP, TOP_ADD);
    EXPECT_TRUE(FixedFunctionKey::from(device.state(), layout, false) == before);
    device.setTextureStageState(0, TSS_RESULTARG, TA_TEMP);
    EXPECT_FALSE(FixedFunctionKey::from(device.state(), layout, false) == before);
}
