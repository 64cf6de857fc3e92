#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/Texture.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/scene/Light.h"
#include "sys/gfx/RecordingDevice.h"

namespace {

const float DEGREES = 0.017453292f;

class LightTest : public ::testing::Test {
protected:
    LightTest() {
        for (AnimatedValue& c : light.m_colour) c.constant = 1.0f;
        light.m_intensity.constant = 1.0f;
    }
    const sys::gfx::Light& lit(int lightType, int falloff, float range, LightingOptions options = {}) {
        light.m_lightType = lightType;
        light.m_falloffType = falloff;
        light.m_range.constant = range;
        light.createTextures(devices, options, {});
        EXPECT_TRUE(light.updateFrame(0.0, options));
        return light.m_d3dLight;
    }

    DeviceList devices;
    Light light{nullptr, 3};
};

TEST_F(LightTest, DistantLightReachesEverywhereWhateverItsRange) {
    const sys::gfx::Light& record = lit(Light::DISTANT, Light::FALLOFF_NONE, 2.0f);
    EXPECT_EQ(record.type, sys::gfx::LIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(record.range, 1e19f);
    EXPECT_EQ(record.attenuation0, 1.0f);
    EXPECT_EQ(record.attenuation2, 0.0f);
    // Cone 30 degrees, edge 5.
    EXPECT_NEAR(record.theta, 50.0f * DEGREES, 1e-6f);
    EXPECT_NEAR(record.phi, 60.0f * DEGREES, 1e-6f);
}

TEST_F(LightTest, InverseSquareFalloffReachesSixRanges) {
    const sys::gfx::Light& record = lit(Light::POINT, Light::FALLOFF_INVERSE_SQUARE, 2.0f);
    EXPECT_EQ(record.type, sys::gfx::LIGHT_POINT);
    EXPECT_FLOAT_EQ(record.attenuation2, 0.25f);
    EXPECT_FLOAT_EQ(record.range, 12.0f);
}

TEST_F(LightTest, LinearFalloffReachesFurtherWithoutDoubleBrightness) {
    for (AnimatedValue& c : light.m_colour) c.constant = 0.5f;
    light.m_intensity.constant = 2.0f;
    const sys::gfx::Light& record = lit(Light::SPOT, Light::FALLOFF_LINEAR, 2.0f);
    EXPECT_EQ(record.type, sys::gfx::LIGHT_SPOT);
    EXPECT_FLOAT_EQ(record.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(record.attenuation0, 1.0f);
    EXPECT_FLOAT_EQ(record.attenuation2, 1.0f);
    EXPECT_FLOAT_EQ(record.range, 6.0f);

    LightingOptions bright;
    bright.doubleBrightness = true;
    light.updateFrame(0.0, bright);
    EXPECT_FLOAT_EQ(record.diffuse.r, 2.0f);
    EXPECT_FLOAT_EQ(record.range, std::sqrt(2.0f) * 2.0f);
}

TEST_F(LightTest, ZeroRangeLightsNothingWithoutInfinities) {
    for (int falloff : {Light::FALLOFF_LINEAR, Light::FALLOFF_INVERSE, Light::FALLOFF_INVERSE_SQUARE}) {
        const sys::gfx::Light& record = lit(Light::POINT, falloff, 0.0f);
        EXPECT_EQ(record.range, 0.0f);
        EXPECT_TRUE(std::isfinite(record.attenuation1) && std::isfinite(record.attenuation2));
    }
}

TEST_F(LightTest, DimLightLeavesItsRecordAlone) {
    lit(Light::POINT, Light::FALLOFF_INVERSE_SQUARE, 2.0f);
    light.m_intensity.constant = 1e-6f;
    light.m_range.constant = 4.0f;
    EXPECT_FALSE(light.updateFrame(0.0, {}));
    EXPECT_FALSE(light.affectsObject(light, {}, nullptr, 0.0, {}));
    light.m_intensity.constant = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(light.updateFrame(0.0, {}));
    EXPECT_FLOAT_EQ(light.m_d3dLight.attenuation2, 0.25f);
}

TEST_F(LightTest, ReachesObjectsWithinTenRangesUnlessExcluded) {
    light.m_channels[SceneItem::POS_X].constant = 25.0f;
    lit(Light::POINT, Light::FALLOFF_INVERSE, 2.0f);
    ViewingItem object(nullptr, SceneItem::KIND_OBJECT, 0);
    BoundingBox& box = *object.m_boundingBox;
    box.set({-1, -1, -1}, {1, 1, 1});
    // 25 from the centre, minus the radius sqrt(3): beyond 20, inside 30.
    EXPECT_FALSE(light.affectsObject(object, {}, &box, 0.0, {}));
    light.m_range.constant = 3.0f;
    EXPECT_TRUE(light.affectsObject(object, {}, &box, 0.0, {}));
    EXPECT_TRUE(light.m_inRange);
    EXPECT_FALSE(light.affectsObject(object, {1, 3}, &box, 0.0, {}));
    EXPECT_FLOAT_EQ(light.m_objectLightPos.x, 25.0f);
}

TEST_F(LightTest, IntensityAtTheSphereStaysFinite) {
    light.m_channels[SceneItem::POS_X].constant = 1.0f;
    lit(Light::POINT, Light::FALLOFF_INVERSE_SQUARE, 2.0f);
    ViewingItem object(nullptr, SceneItem::KIND_OBJECT, 0);
    BoundingBox& box = *object.m_boundingBox;
    box.set({-1, 0, 0}, {1, 0, 0});
    EXPECT_TRUE(std::isfinite(light.getIntensityAt(object, box, 0.0)));
    light.m_channels[SceneItem::POS_X].constant = 3.0f;
    light.updateFrame(0.0, {});
    EXPECT_FLOAT_EQ(light.getIntensityAt(object, box, 0.0), 0.25f);
    light.m_falloffType = Light::FALLOFF_LINEAR;
    EXPECT_FLOAT_EQ(light.getIntensityAt(object, box, 0.0), 0.0f);
    light.m_range.constant = 0.0f;
    EXPECT_EQ(light.getIntensityAt(object, box, 0.0), 0.0f);
}

TEST(LightSort, StrongestFirstAndNaNLast) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<Light::Record> records;
    const float strengths[] = {0.5f, nan, 2.0f, nan, 1.0f, 0.5f, nan, 3.0f};
    for (int i = 0; i < 8; ++i) records.push_back({i, nullptr, strengths[i]});
    Light::sortByIntensity(records);
    const int order[] = {7, 2, 4, 0, 5, 1, 3, 6};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(records[i].index, order[i]) << "place " << i;
}

TEST_F(LightTest, ShaderSlotsCarryColourAttenuationAndCone) {
    light.m_intensity.constant = 0.5f;
    light.m_lightType = Light::SPOT;
    light.m_falloffType = Light::FALLOFF_INVERSE_SQUARE;
    light.m_range.constant = 2.0f;
    light.m_channels[SceneItem::POS_Y].constant = 4.0f;
    ShaderConstants constants(nullptr);
    ShaderSwitches switches(nullptr);
    constants.m_view[13] = -1.0f;
    light.setShaderConstants(1, 0.0, constants, switches);
    light.setShaderConstants(8, 0.0, constants, switches);
    EXPECT_FLOAT_EQ(constants.m_spotLightColor[3], 0.5f);
    EXPECT_FLOAT_EQ(constants.m_spotLightPos[4], 3.0f);
    EXPECT_FLOAT_EQ(constants.m_spotLightAttenuation[5], 0.25f);
    EXPECT_EQ(switches.m_spotLightFalloffType[1], 2);
    EXPECT_FLOAT_EQ(constants.m_spotLightCosTheta[1], std::cos(25.0f * DEGREES));
    EXPECT_FLOAT_EQ(constants.m_spotLightDir[5], 1.0f);
    EXPECT_EQ(constants.m_pointLightColor[3], 0.0f);

    light.m_lightType = Light::DISTANT;
    light.setShaderConstants(0, 0.0, constants, switches);
    EXPECT_FLOAT_EQ(constants.m_distantLightDir[2], -1.0f);
}

TEST_F(LightTest, ShadowCasterMakesItsMapAndLeavesTheSpotTextureToItsKeeper) {
    sys::gfx::PresentParams params{};
    params.backBufferWidth = params.backBufferHeight = 64;
    sys::gfx::RecordingDevice device(params);
    devices.m_devices = {&device};
    devices.m_currentDevice = &device;
    std::vector<std::unique_ptr<Texture>> pool;
    auto keeper = [&](std::unique_ptr<Texture> texture) {
        pool.push_back(std::move(texture));
        return pool.back().get();
    };
    LightingOptions options;
    options.shadowMaps = true;
    {
        Light caster(nullptr, 0);
        caster.m_shadowType = Light::SHADOW_MAP;
        caster.m_shadowMapSize = 512;
        caster.m_intensity.constant = 1.0f;
        caster.createTextures(devices, options, keeper);
        ASSERT_EQ(pool.size(), 1u);
        EXPECT_EQ(caster.m_spotTexture, pool[0].get());
        EXPECT_EQ(pool[0]->getName(), "(Spot)");
        EXPECT_NE(caster.m_shadowColourSurface, nullptr);
        EXPECT_NE(caster.m_shadowDepthSurface, nullptr);
        EXPECT_FLOAT_EQ(caster.m_shadowTexAdjust[12], 0.5f + 0.5f / 512);
        caster.createTextures(devices, options, keeper);
        EXPECT_EQ(pool.size(), 1u);
    }
    // The light is gone; its spot texture is still the pool's to free.
    EXPECT_EQ(pool[0]->getName(), "(Spot)");
}

} // namespace
