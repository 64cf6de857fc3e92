#include "game/karts/VehicleSettings.h"

#include "engine/platform/archive/File.h"
#include "game/records/RecordBytes.h"

VehicleSettings::VehicleSettings(int32_t model, const std::string& fileName) : m_model(model), m_fileName(fileName) {}

bool VehicleSettings::load(File& fileSystem) {
    if (!fileSystem.open(m_fileName.c_str())) return false;
    // The boosted top speed and the turn rate are in the file but never taken from it.
    float* const targets[] = {&m_maxSpeed, nullptr,     &m_acceleration, nullptr,   &m_handling5,
                              &m_handling6, &m_braking, &m_rolling,      &m_fallStep, &m_fallFactor};
    for (float* target : targets) {
        uint8_t bytes[4];
        if (fileSystem.readFully(bytes, sizeof bytes) < sizeof bytes) break;
        if (target) *target = RecordBytes::getFloat(bytes);
    }
    m_boostedMaxSpeed = static_cast<float>(static_cast<double>(m_maxSpeed) * 1.25);
    fileSystem.close();
    return true;
}
