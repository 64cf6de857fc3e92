#include <gtest/gtest.h>

#include <cstring>

#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"

TEST(ShaderSwitches, RecordsInShaderOrderAllZero) {
    ShaderSwitches s(nullptr);
    ASSERT_EQ(s.records().size(), 51u);
    EXPECT_STREQ(s.records()[0].name, "bake");
    EXPECT_STREQ(s.records()[16].name, "numTexTRNL");
    EXPECT_STREQ(s.records()[26].name, "metaTexCOLRInvert");
    EXPECT_STREQ(s.records()[46].name, "metaTexBUMPgInput");
    EXPECT_STREQ(s.records()[50].name, "displacement");
    EXPECT_EQ(s.find("pointLightFalloffType")->count, 8u);
    EXPECT_EQ(s.find("metaTexSPECBlendop")->count, 4u);
    for (const auto& r : s.records())
        for (uint32_t v : r.storage) EXPECT_EQ(v, 0u) << r.name;
    // The named pointers write into the records the shaders read.
    s.m_metaTexBlendop[ShaderSwitches::TRAN][3] = 7;
    EXPECT_EQ(s.find("metaTexTRANBlendop")->storage[3], 7u);
    *s.m_numTex[ShaderSwitches::NUM_BUMP] = 2;
    EXPECT_EQ(s.find("numTexBUMP")->storage[0], 2u);
    s.clear();
    EXPECT_TRUE(s.records().empty());
}

TEST(ShaderConstants, StartWithIdentitiesAndZeros) {
    ShaderConstants c(nullptr);
    ASSERT_EQ(c.records().size(), 39u);
    EXPECT_EQ(c.find("matBone")->count, 12288u);
    EXPECT_EQ(c.find("metaTexCOLROpacity")->count, 12u);
    EXPECT_EQ(c.find("metaTexLUMIOpacity")->count, 4u);
    EXPECT_STREQ(c.records()[38].name, "metaTexBUMPgParam");
    EXPECT_EQ(c.m_bones[1023][15], 1.0f);
    EXPECT_EQ(c.m_textureStage[7][5], 1.0f);
    EXPECT_FALSE(c.m_derivedCurrent);
    for (const auto& r : c.records())
        for (uint32_t v : r.storage) ASSERT_EQ(v, 0u) << r.name;
}

TEST(ShaderConstants, DerivedMatricesOfATranslatedView) {
    ShaderConstants c(nullptr);
    c.m_view[12] = 1;
    c.m_view[13] = 2;
    c.m_view[14] = 3;
    c.updateDerivedMatrices();
    const float worldView[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 2, 3};
    EXPECT_EQ(std::memcmp(c.m_matWorldView, worldView, sizeof worldView), 0);
    const float identity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(c.m_matWorldViewNormalized[i], identity3[i]);
    EXPECT_EQ(c.m_matWorldViewProj[13], 2.0f);
    EXPECT_TRUE(c.m_derivedCurrent);

    // Until someone clears the flag, a changed world is not seen.
    c.m_world[0] = 2;
    c.updateDerivedMatrices();
    EXPECT_EQ(c.m_matWorldView[0], 1.0f);
    c.m_derivedCurrent = false;
    c.updateDerivedMatrices();
    EXPECT_EQ(c.m_matWorldView[0], 2.0f);
    EXPECT_FLOAT_EQ(c.m_matWorldViewNormalized[0], 1.0f);
    EXPECT_EQ(c.m_matWorldWT[0], 2.0f);
}

TEST(ShaderConstants, NormalizedKeepsTheSignsOfARotation) {
    ShaderConstants c(nullptr);
    c.m_world = Matrix4x3{{0, 3, 0, 0, -3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1}};
    c.updateDerivedMatrices();
    EXPECT_FLOAT_EQ(c.m_matWorldViewNormalized[1], 1.0f);
    EXPECT_FLOAT_EQ(c.m_matWorldViewNormalized[3], -1.0f);
    EXPECT_FLOAT_EQ(c.m_matWorldViewNormalized[0], 0.0f);
}

TEST(ShaderConstants, BoneMatricesFillTheirTwelveWords) {
    ShaderConstants c(nullptr);
    Matrix4x3 m = Matrix4x3::identity();
    m[12] = 5;
    m[14] = -1;
    c.setBoneMatrix(1023, m);
    const float* words = c.m_matBone + 12276;
    const float expected[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 0, -1};
    EXPECT_EQ(std::memcmp(words, expected, sizeof expected), 0);
    EXPECT_EQ(c.m_bones[1023][12], 5.0f);
    c.setBoneMatrix(1024, m); // beyond the table: ignored
}
