#include <gtest/gtest.h>

#include "sys/gfx/RecordingDevice.h"
#include "sys/gfx/TextureTools.h"

using namespace sys::gfx;

namespace {

Texture* filled(Device& device, uint32_t format, uint32_t levels, uint32_t argb) {
    Texture* t = nullptr;
    device.createTexture(8, 8, levels, 0, format, POOL_MANAGED, &t);
    std::vector<uint32_t> pixels(64, argb);
    TextureTools::convertLevel(pixels.data(), 8, 8, *t, 0);
    return t;
}

} // namespace

TEST(GfxTextureTools, MipChainAveragesByBoxFilter) {
    RecordingDevice device(PresentParams{});
    Texture* t = nullptr;
    device.createTexture(2, 2, 0, 0, FMT_A8R8G8B8, POOL_MANAGED, &t);
    ASSERT_EQ(t->getLevelCount(), 2u);
    uint32_t pixels[4] = {0xFF000000, 0xFF0000FF, 0xFF0000FF, 0xFF000000};
    TextureTools::convertLevel(pixels, 2, 2, *t, 0);
    ASSERT_TRUE(TextureTools::boxFilterMips(*t));
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(t->level(1)->data().data()), 0xFF000080u);
    t->release();
}

TEST(GfxTextureTools, DdsRoundTripKeepsEveryLevel) {
    RecordingDevice device(PresentParams{});
    Texture* t = filled(device, FMT_DXT5, 0, 0x80FF0000);
    std::vector<uint8_t> file;
    ASSERT_TRUE(TextureTools::saveDds(*t, file));
    EXPECT_EQ(file.size(), 128u + 16 * 4 + 16 + 16 + 16);
    Texture* loaded = nullptr;
    ImageInfo info{};
    ASSERT_EQ(TextureTools::loadDds(device, file.data(), file.size(), &loaded, &info), GFX_OK);
    EXPECT_EQ(info.format, uint32_t(FMT_DXT5));
    EXPECT_EQ(info.mipLevels, 4u);
    EXPECT_EQ(loaded->level(0)->data(), t->level(0)->data());
    loaded->release();
    t->release();
}

TEST(GfxTextureTools, CutOffOrForeignDdsIsRefused) {
    RecordingDevice device(PresentParams{});
    Texture* t = filled(device, FMT_A8R8G8B8, 1, 0xFF102030);
    std::vector<uint8_t> file;
    ASSERT_TRUE(TextureTools::saveDds(*t, file));
    Texture* loaded = nullptr;
    EXPECT_NE(TextureTools::loadDds(device, file.data(), file.size() - 1, &loaded, nullptr), GFX_OK);
    file[84] = 'X';
    file[80] = 0x4;
    EXPECT_NE(TextureTools::loadDds(device, file.data(), file.size(), &loaded, nullptr), GFX_OK);
    EXPECT_EQ(loaded, nullptr);
    t->release();
}

TEST(GfxTextureTools, DxtBlocksDecodeToTheSourceColour) {
    uint32_t pixels[16];
    for (uint32_t& p : pixels) p = 0xFFFF0000;
    uint8_t block[8];
    ASSERT_TRUE(TextureTools::compressDxt(pixels, 4, 4, FMT_DXT1, block));
    uint16_t c0 = uint16_t(block[0] | block[1] << 8);
    EXPECT_EQ(c0 >> 11, 31);
}

TEST(GfxTextureTools, EffectCompilerAlwaysFails) {
    void* effect = &effect;
    EXPECT_NE(TextureTools::compileEffect("technique", 9, &effect), GFX_OK);
    EXPECT_EQ(effect, nullptr);
}
