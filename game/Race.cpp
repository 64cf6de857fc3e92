#include "game/Race.h"

#include "game/karts/Vehicle.h"

Race* g_race = nullptr;

Race::Race() = default;

Race::~Race() = default;

Vehicle* Race::getVehicle(int32_t index) const {
    if (index < 0 || index >= m_vehicleCount || index >= MAX_VEHICLES) return nullptr;
    return m_vehicles[index].get();
}
