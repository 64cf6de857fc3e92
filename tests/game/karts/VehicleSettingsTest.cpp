#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/archive/DiskFile.h"
#include "game/karts/VehicleSettings.h"
#include "game/records/RecordBytes.h"
#include "tests/support/TempDir.h"

namespace {

const char* const SETTINGS_NAME = "D:\\Vantorik\\carsettings_2.dat";

std::string floats(const std::vector<float>& values) {
    std::string bytes(values.size() * 4, '\0');
    for (size_t i = 0; i < values.size(); ++i)
        RecordBytes::putFloat(reinterpret_cast<uint8_t*>(&bytes[i * 4]), values[i]);
    return bytes;
}

class VehicleSettingsLoad : public ::testing::Test {
protected:
    bool load(const std::string* contents) {
        if (contents) m_dir.write("Vantorik/carsettings_2.dat", *contents);
        DiskFile files(m_dir.path().c_str());
        return m_settings.load(files);
    }

    TempDir m_dir;
    VehicleSettings m_settings{2, SETTINGS_NAME};
};

TEST_F(VehicleSettingsLoad, MissingFileKeepsEveryDefault) {
    EXPECT_FALSE(load(nullptr));
    EXPECT_FLOAT_EQ(m_settings.m_maxSpeed, 0.29f);
    EXPECT_FLOAT_EQ(m_settings.m_boostedMaxSpeed, 0.435f);
    EXPECT_FLOAT_EQ(m_settings.m_acceleration, 0.000368f);
    EXPECT_FLOAT_EQ(m_settings.m_turnRate, 1.16f);
    EXPECT_FLOAT_EQ(m_settings.m_fallFactor, 0.5f);
    EXPECT_EQ(m_settings.m_model, 2);
}

TEST_F(VehicleSettingsLoad, TakesEachValueButTheBoostedSpeedAndTurnRate) {
    const std::string file = floats({0.4f, 9.9f, 0.002f, 3.0f, 100.0f, 200.0f, -0.01f, -0.02f, -0.03f, 0.75f});
    ASSERT_TRUE(load(&file));
    EXPECT_EQ(m_settings.m_maxSpeed, 0.4f);
    EXPECT_EQ(m_settings.m_boostedMaxSpeed, 0.5f);
    EXPECT_EQ(m_settings.m_acceleration, 0.002f);
    EXPECT_EQ(m_settings.m_turnRate, 1.16f);
    EXPECT_EQ(m_settings.m_handling5, 100.0f);
    EXPECT_EQ(m_settings.m_handling6, 200.0f);
    EXPECT_EQ(m_settings.m_braking, -0.01f);
    EXPECT_EQ(m_settings.m_rolling, -0.02f);
    EXPECT_EQ(m_settings.m_fallStep, -0.03f);
    EXPECT_EQ(m_settings.m_fallFactor, 0.75f);
}

TEST_F(VehicleSettingsLoad, ShortFileKeepsDefaultsOfMissingValues) {
    // Three values and half of a fourth.
    const std::string file = floats({0.4f, 9.9f, 0.002f}) + std::string("\x01\x02", 2);
    ASSERT_TRUE(load(&file));
    EXPECT_EQ(m_settings.m_maxSpeed, 0.4f);
    EXPECT_EQ(m_settings.m_boostedMaxSpeed, 0.5f);
    EXPECT_EQ(m_settings.m_acceleration, 0.002f);
    EXPECT_EQ(m_settings.m_turnRate, 1.16f);
    EXPECT_EQ(m_settings.m_handling5, 187.0f);
    EXPECT_EQ(m_settings.m_braking, -0.001216f);
    EXPECT_EQ(m_settings.m_fallFactor, 0.5f);
}

} // namespace
