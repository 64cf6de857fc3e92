#include <gtest/gtest.h>

#include <cstring>

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

namespace {

// A stand-in picture format: width, height, then the pixels.
bool decodeRaw(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, uint32_t& width, uint32_t& height) {
    if (size < 8) return false;
    std::memcpy(&width, data, 4);
    std::memcpy(&height, data + 4, 4);
    if (size != 8 + size_t(width) * height * 4) return false;
    pixels.resize(size_t(width) * height);
    std::memcpy(pixels.data(), data + 8, pixels.size() * 4);
    return true;
}

} // namespace

TEST(GfxTextureTools, PicturesThroughTheDecoderGetMipsAndTheAskedFormat) {
    TextureTools::setImageDecoder(decodeRaw);
    std::vector<uint8_t> file(8 + 16 * 16 * 4, 0xFF);
    uint32_t side = 16;
    std::memcpy(file.data(), &side, 4);
    std::memcpy(file.data() + 4, &side, 4);
    RecordingDevice device(PresentParams{});
    Texture* t = nullptr;
    ImageInfo info{};
    ASSERT_EQ(TextureTools::createTextureFromMemory(device, file.data(), file.size(), 0, FMT_DXT1, &t, &info), GFX_OK);
    EXPECT_EQ(info.mipLevels, 5u);
    EXPECT_EQ(t->getFormat(), uint32_t(FMT_DXT1));
    t->release();
    file.pop_back();
    EXPECT_NE(TextureTools::createTextureFromMemory(device, file.data(), file.size(), 0, 0, &t, nullptr), GFX_OK);
    TextureTools::setImageDecoder(nullptr);
}
