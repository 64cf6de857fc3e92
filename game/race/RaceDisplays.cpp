#include "game/race/Race.h"

#include <algorithm>

#include "engine/platform/Timer.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/karts/VehicleMaster.h"
#include "game/records/Config.h"

namespace {

// Lap-time slots the displays read: an elimination race keeps 20, the others 5.
constexpr int32_t LAST_ELIMINATION_LAP_SLOT = 19;
constexpr int32_t LAST_LAP_SLOT = 4;
constexpr float MESSAGE_SECONDS = 2.0f;
// The wrong-way sign stays up this long after the last backwards finding.
constexpr float WRONG_WAY_HOLD = 0.5f;
// A flash blinds fully while more than this is left of it, then fades.
constexpr float FLASH_FADE = 2.0f;

} // namespace

void Race::updateDisplays() {
    OnscreenDisplays& displays = *m_displays;
    const float now = clockTime();
    if (m_countdownState == WAITING) displays.showStartPanels();
    else displays.hideStartPanels();
    if (m_paused && !displays.isVisible(OnscreenDisplays::PAUSE)) displays.showPausePanels();
    else displays.hidePausePanels();

    const bool elimination = m_config->m_game.get() == ELIMINATION;
    for (int32_t v = 0; v < m_viewCount && v < MAX_VIEWS; ++v) {
        Vehicle* rider = getVehicle(m_viewRider[v]);
        if (!rider) continue;
        const Config::Player& record = m_config->m_player[m_viewRider[v]].get();
        const int32_t lap = rider->m_lap.get();
        const bool finished = rider->m_trackFinished.get();
        displays.setExtraIcon(v, rider->m_extra.get());
        displays.setLap(v, lap + 1, elimination ? -1 : m_config->m_laps.get());
        displays.setLapTime(v, record.lapTimes[std::clamp(lap, 0, elimination ? LAST_ELIMINATION_LAP_SLOT : LAST_LAP_SLOT)]);
        displays.setSecondaryTime(v, record.bestLap);
        if (!finished)
            displays.setPosition(v, rider->m_rank.get() + 1, elimination ? m_vehicleCount - countFinished() : m_vehicleCount);
        else
            displays.setPosition(v, record.place + 1, elimination ? -1 : m_vehicleCount);
        displays.setRaceTime(rider->m_trackTime.get());
    }

    // Each rider's rocket has its own dot, shown while it flies.
    for (int32_t i = 0; i < m_vehicleCount && i < MAX_VEHICLES; ++i) {
        Vehicle* rider = getVehicle(i);
        if (!rider) continue;
        Position3 at;
        rider->getPosition(at);
        displays.placeMinimapDot(i, at.x, at.z);
        const bool rocket = rider->m_extraRocket.get() != 0.0f && rider->m_active.get();
        displays.setMinimapDotVisible(i + OnscreenDisplays::ROCKET_DOT, rocket);
        if (rocket)
            displays.placeMinimapDot(i + OnscreenDisplays::ROCKET_DOT, rider->m_rocketPos.get().x,
                                     rider->m_rocketPos.get().z);
    }

    if (elimination && !m_raceOver && now - m_eliminationTime > MESSAGE_SECONDS)
        for (int32_t v = 0; v < m_viewCount && v < MAX_VIEWS; ++v) displays.hideMessagePanels(v);

    for (int32_t v = 0; v < m_viewCount && v < MAX_VIEWS; ++v) {
        if (m_wrongWay[v]) {
            displays.setWrongWayVisible(v, true);
            m_wrongWayTime[v] = now;
        } else if (now - m_wrongWayTime[v] >= WRONG_WAY_HOLD) {
            displays.setWrongWayVisible(v, false);
        }
    }
}

void Race::showFlashOverlay(int32_t view) {
    if (view < 0 || view >= MAX_VIEWS) return;
    Vehicle* rider = getVehicle(m_viewRider[view]);
    VehicleMaster* master = rider ? rider->asMaster() : nullptr;
    const float t = master ? master->m_flashTimer : 0.0f;
    if (t <= 0.0f) m_displays->setFlashOverlay(view, 0.0f, 0.0f, 0.0f, 0.0f);
    else if (t <= FLASH_FADE) m_displays->setFlashOverlay(view, 0.0f, 0.0f, 0.0f, t * 0.5f);
    else m_displays->setFlashOverlay(view, 1.0f, 1.0f, 1.0f, 1.0f);
}
