#include "game/race/Race.h"

#include <algorithm>

#include "engine/platform/Timer.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/scene/MetaScene.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/karts/Vehicle.h"
#include "game/maps/IlluminationMap.h"
#include "game/maps/PositionMap.h"
#include "game/race/CameraClearance.h"
#include "game/records/Config.h"
#include "game/records/HighscoreTables.h"
#include "game/records/RunState.h"
#include "game/records/TextTable.h"
#include "game/surfaces/RaceSurfaces.h"
#include "net/NetControl.h"

Race* g_race = nullptr;

const int32_t Race::PLACE_POINTS[7] = {10, 8, 6, 4, 3, 2, 1};

Race::Race(Renderer* renderer, GuiContext* gui, RunState* run)
    : m_renderer(renderer), m_gui(gui), m_ownRun(run ? nullptr : std::make_unique<RunState>()),
      m_run(run ? run : m_ownRun.get()) {}

Race::~Race() {
    teardown();
    if (g_race == this) g_race = nullptr;
}

Vehicle* Race::getVehicle(int32_t index) const {
    if (index < 0 || index >= m_vehicleCount || index >= MAX_VEHICLES) return nullptr;
    return m_vehicles[index].get();
}

int32_t Race::playerKind(int32_t rider) const {
    if (!m_config || rider < 0 || rider >= Config::RIDERS) return -1;
    return m_config->m_playerKind[rider];
}

int32_t Race::viewOfRider(int32_t rider) const {
    for (int32_t v = 0; v < m_viewCount && v < MAX_VIEWS; ++v)
        if (m_viewRider[v] == rider) return v;
    return -1;
}

// The network client keeps its slot after a LAN game; a local race's player is rider 0.
int32_t Race::localPlayerSlot() const {
    if (!m_config || m_config->m_playMode != LAN) return 0;
    return NetControl::getInstance().getPlayerSlot();
}

// Riders stand by slot, slot 0 at the back. A championship on one computer lines them up in their start places,
// the last race's order, so that the grid shows the panel's places; a LAN guest builds each kart as its record
// comes, before it knows the others' places, so there every slot keeps its own start.
int32_t Race::gridStart(int32_t rider) const {
    const int32_t riders = std::min(m_vehicleCount, int32_t(MAX_VEHICLES));
    if (!m_config || m_config->m_game.get() != CHAMPIONSHIP || m_config->m_playMode == LAN || rider < 0 ||
        rider >= riders)
        return rider + 1;
    const int32_t place = m_config->m_player[rider].get().startRank;
    int32_t behind = 0;
    for (int32_t other = 0; other < riders; ++other) {
        const int32_t otherPlace = m_config->m_player[other].get().startRank;
        if (otherPlace > place || (otherPlace == place && other < rider)) ++behind;
    }
    return behind + 1;
}

float Race::clockTime() const { return m_clock ? m_clock->m_currentTime : 0.0f; }
