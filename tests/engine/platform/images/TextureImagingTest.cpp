#include <gtest/gtest.h>

#include <cmath>

#include "engine/platform/animation/Envelope.h"
#include "engine/platform/images/Image.h"
#include "engine/platform/images/TextureImaging.h"

using namespace textureimaging;

namespace {

struct Picture {
    Image* image;
    Picture(int w, int h, uint32_t fill) : image(new Image("p")) {
        image->allocate(w, h);
        for (int i = 0; i < w * h; ++i) image->getPixels()[i] = fill;
    }
    ~Picture() { image->release(); }
};

} // namespace

TEST(TextureSize, PowersOfTwoWithAWideMinimum) {
    auto s = textureSize(100, 100, 3, false, 0, 2048, 2048);
    EXPECT_EQ(s.width, 128u);
    EXPECT_EQ(s.height, 128u);
    s = textureSize(300, 20, 3, false, 0, 2048, 2048);
    EXPECT_EQ(s.width, 512u);
    EXPECT_EQ(s.height, 32u);
    s = textureSize(64, 64, 3, false, 0, 2048, 2048);
    EXPECT_EQ(s.width, 128u);
    EXPECT_EQ(s.height, 64u);
    s = textureSize(300, 20, KEEP_SIZE, true, 0, 2048, 2048);
    EXPECT_EQ(s.width, 300u);
    s = textureSize(256, 256, 3, false, -1, 2048, 2048);
    EXPECT_EQ(s.width, 128u);
    EXPECT_EQ(s.height, 128u);
    s = textureSize(256, 256, 3 | NEVER_SHIFTED, false, -1, 2048, 2048);
    EXPECT_EQ(s.width, 256u);
    s = textureSize(4096, 1, 3, false, 0, 2048, 2048);
    EXPECT_EQ(s.width, 2048u);
    EXPECT_EQ(s.height, 1u);
}

TEST(SampleImage, TransparencyMapsAndAlphaModes) {
    Picture white(2, 2, 0xFFFFFFFF), black(2, 2, 0xFF000000), half(1, 1, 0x80336699);
    uint32_t t[4];
    sampleImage(*white.image, nullptr, 0, TRANSPARENCY_MAP, t, 2, 2);
    EXPECT_EQ(t[0], 0x00000000u);
    sampleImage(*black.image, nullptr, 0, TRANSPARENCY_MAP, t, 2, 2);
    EXPECT_EQ(t[3], 0xFF000000u);
    sampleImage(*half.image, nullptr, 1, 0, t, 1, 1);
    EXPECT_EQ(t[0], 0xFF336699u);
    sampleImage(*half.image, nullptr, 2, 0, t, 1, 1);
    EXPECT_EQ(t[0], 0xFF808080u);
    sampleImage(*half.image, nullptr, 0, 0, t, 1, 1);
    EXPECT_EQ(t[0], 0x80336699u);
}

TEST(SampleImage, NearestNeighbourKeepsTheRowOrderAndMasksByAlphaPicture) {
    Picture p(2, 2, 0xFF000000);
    p.image->getPixels()[1] = 0xFFFF0000;
    p.image->getPixels()[2] = 0xFF00FF00;
    uint32_t t[16];
    sampleImage(*p.image, nullptr, 0, 0, t, 4, 4);
    EXPECT_EQ(t[0], 0xFF000000u);
    EXPECT_EQ(t[3], 0xFFFF0000u);
    EXPECT_EQ(t[8], 0xFF00FF00u);
    // A smaller alpha picture masks what it covers and leaves the rest opaque.
    Picture mask(1, 1, 0xFFFFFFFF);
    sampleImage(*p.image, mask.image, 0, 0, t, 2, 2);
    EXPECT_EQ(t[0] >> 24, 0u);
    EXPECT_EQ(t[3] >> 24, 0xFFu);
}

TEST(TransparencyMip, OpaqueBlocksGoBlackAndClearTexelsGiveTheirColour) {
    uint32_t opaque[4] = {0xFFFFFFFF, 0xFF808080, 0xFF102030, 0xFFFFFFFF}, out;
    transparencyMipLevel(opaque, 2, 2, &out, 1, 1);
    EXPECT_EQ(out, 0xFF000000u);
    uint32_t oneClear[4] = {0x00FF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    transparencyMipLevel(oneClear, 2, 2, &out, 1, 1);
    EXPECT_EQ(out, 0x00FF0000u);
}

TEST(NormalMap, FlatHeightsFaceOutOfTheSurface) {
    uint32_t flat[4] = {0xFF808080, 0xFF808080, 0xFF808080, 0xFF808080};
    normalMapLevel(flat, 2, 2, 2);
    EXPECT_EQ(flat[0], 0x007F7FFFu);
    uint32_t one = 0xFF123456;
    normalMapLevel(&one, 1, 1, 1);
    EXPECT_EQ(one, 0x007F7FFFu);
    // A bright texel to the right tilts the normal towards negative x.
    uint32_t slope[4] = {0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF};
    normalMapLevel(slope, 2, 2, 2);
    EXPECT_EQ((slope[0] >> 8) & 0xFF, 0x7Fu);
}

TEST(ValueNoise, LatticeValuesAndInterpolation) {
    EXPECT_NEAR(valueNoise1D(0.0), 1.0 - 1376312589.0 / 1073741824.0, 1e-12);
    const double a = valueNoise1D(3.0), b = valueNoise1D(4.0);
    EXPECT_NEAR(valueNoise1D(3.5), (a + b) / 2, 1e-12);
    EXPECT_NEAR(valueNoise1D(3.9999999), b, 1e-6);
    for (double x = -50; x < 50; x += 0.37) {
        EXPECT_GT(valueNoise1D(x), -1.0);
        EXPECT_LE(valueNoise1D(x), 1.0);
    }
}

TEST(FlarePictures, CentresAndRims) {
    // Texel centres lie half a texel off the picture's centre.
    EXPECT_EQ(flareTexel(2, 256, 256, 512, 512), 0xFFFEFEFEu);
    EXPECT_EQ(flareTexel(2, 511, 256, 512, 512), 0xFF070707u);
    EXPECT_EQ(flareTexel(2, 0, 0, 512, 512), 0xFF000000u);
    EXPECT_EQ(flareTexel(3, 256 + 254, 256, 512, 512), 0xFF000000u);
    EXPECT_EQ(flareTexel(1, 256, 256, 512, 512), 0xFFFFFFFFu);
    // The ring is brightest at 43.2 texels and black 35.84 beyond.
    EXPECT_GT(flareTexel(4, 256 + 43, 256, 512, 512) & 0xFF, 240u);
    EXPECT_EQ(flareTexel(4, 256 + 80, 256, 512, 512), 0xFF000000u);
    EXPECT_EQ(flareTexel(0, 10, 20, 512, 512) >> 24, 0xFFu);
    EXPECT_EQ(flareTexel(7, 10, 20, 512, 512), 0u);
}

TEST(SpotPicture, ConeAndEdge) {
    EXPECT_EQ(spotTexel(1.0f, 0.1f, 0.0f, 256, 256, 512, 512), 0u);
    EXPECT_EQ(spotTexel(1.0f, 0.1f, 0.5f, 256, 256, 512, 512), 0xFFFFFFFFu);
    EXPECT_EQ(spotTexel(0.01f, 0.1f, 0.5f, 255, 255, 512, 512), 0xFF141414u);
    EXPECT_EQ(spotTexel(1.0f, 0.0f, 0.3f, 0, 0, 512, 512), 0u);
}

TEST(SequenceFrame, PlayModes) {
    EXPECT_EQ(sequenceFrame(30, 0.5, 0, 0, 9, 4), 5u);
    EXPECT_EQ(sequenceFrame(30, 0.5, 0, 0, 9, 2), 9u);
    EXPECT_EQ(sequenceFrame(30, 0.5, 0, 0, 9, 1), 0u);
    EXPECT_EQ(sequenceFrame(30, 0.5, 0, 0, 9, 256), 5u);
    EXPECT_EQ(sequenceFrame(30, 0.0, 0, 0, 9, 256), 9u);
    EXPECT_EQ(sequenceFrame(30, 0.1, 5, 0, 9, 2), 9u); // before the offset
    EXPECT_EQ(sequenceFrame(30, 0.5, 0, 0, 9, 0), 15u);
}

TEST(Gradient, EndOfTheRangeComesFirst) {
    AnimatedValue values[4];
    auto* ramp = new Envelope;
    ramp->addKeyLinear(0.0f, 0.0f);
    ramp->addKeyLinear(1.0f, 1.0f);
    values[0].channel = ramp;
    values[1].constant = 0.5f;
    values[3].constant = 1.0f;
    uint32_t texels[GRADIENT_TEXELS];
    gradientTexels(0.0f, 1.0f, values, false, texels);
    EXPECT_EQ(texels[1023], 0xFF008000u);
    EXPECT_EQ((texels[0] >> 16) & 0xFF, 255u);
    gradientTexels(0.0f, 1.0f, values, true, texels);
    EXPECT_EQ(texels[1023] >> 24, 0u);
    values[0].clearChannel();
    values[0].constant = 0.5f;
    gradientTexels(0.0f, 1.0f, values, true, texels);
    EXPECT_EQ(texels[0] >> 24, 128u);
}
