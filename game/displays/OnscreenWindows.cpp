#include "game/displays/OnscreenDisplays.h"

#include "engine/platform/Timer.h"
#include "game/Config.h"
#include "game/Race.h"

void OnscreenDisplays::buildWindows() {}

void OnscreenDisplays::openWindow(Window window) { m_visible[window] = true; }

void OnscreenDisplays::closeWindow(Window window) { m_visible[window] = false; }

void OnscreenDisplays::leaveNetwork() {}

void OnscreenDisplays::showPauseWindow() {
    m_race.setSoundVolumes(true);
    m_wasPaused = m_race.m_paused;
    if (m_config->m_playMode != Race::LAN && m_race.m_clock) {
        m_race.m_clockRanAtPause = m_race.m_clock->isRunning();
        m_race.m_clock->pause();
    }
    openWindow(PAUSE);
}

void OnscreenDisplays::closePause() { closeWindow(PAUSE); }
void OnscreenDisplays::onPauseContinue() { closePause(); }
void OnscreenDisplays::onPauseRestart() { closePause(); }
void OnscreenDisplays::onPauseQuit() { closePause(); }

void OnscreenDisplays::showConnectionLost(int32_t textId) {
    m_connectionLostText = textId;
    openWindow(CONNECTION_LOST);
}

void OnscreenDisplays::onConnectionLostOk() { closeWindow(CONNECTION_LOST); }
