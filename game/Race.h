#pragma once
#include <cstdint>
#include <memory>

class Config;
class LW6Scene;
class Vehicle;

// The running race, one at a time: its riders, its clock and the
// configuration it was set up from. The karts and the track's surface kinds
// reach it through `g_race`.
class Race {
public:
    static constexpr int MAX_VEHICLES = 5;

    Race();
    ~Race();
    Race(const Race&) = delete;
    Race& operator=(const Race&) = delete;

    // The rider's vehicle, or null for an index outside the race or an empty slot.
    Vehicle* getVehicle(int32_t index) const;

    // Slots 0 to m_vehicleCount - 1; owned.
    std::unique_ptr<Vehicle> m_vehicles[MAX_VEHICLES];
    int32_t m_vehicleCount = 0;
    // Not owned.
    Config* m_config = nullptr;
    LW6Scene* m_scene = nullptr;
    // Time up to which the physics has been stepped.
    double m_simulatedTime = 0.0;
    // Seconds left of the track's trigger; a trigger contact starts it only at 0.
    float m_triggerTimer = 0.0f;
    // Cleared at set-up; every vehicle is handed its address.
    uint32_t m_vehicleRecord[3] = {0, 0, 0};
};

extern Race* g_race;
