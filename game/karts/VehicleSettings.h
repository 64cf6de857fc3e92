#pragma once
#include <cstdint>
#include <string>

class File;

// A moped model's handling: ten numbers per physics step (0.01 s) that the
// simulated kart reads, defaults overwritten from "carsettings_N.dat".
class VehicleSettings {
public:
    VehicleSettings(int32_t model, const std::string& fileName);

    // Reads the ten little-endian floats of the file; false, record
    // unchanged, when it cannot be opened. A short file keeps the defaults
    // of the values it lacks.
    bool load(File& fileSystem);

    float m_maxSpeed = 0.29f;
    // Always 1.25 x the top speed after loading.
    float m_boostedMaxSpeed = 0.435f;
    float m_acceleration = 0.000368f;
    // Degrees per step; the file's value is not taken.
    float m_turnRate = 1.16f;
    // Weight of the carried-over motion (the drift).
    float m_handling5 = 187.0f;
    // Not read by the karts.
    float m_handling6 = 748.0f;
    float m_braking = -0.001216f;
    float m_rolling = -0.000504f;
    float m_fallStep = -0.0016f;
    float m_fallFactor = 0.5f;
    int32_t m_model;
    std::string m_fileName;
};
