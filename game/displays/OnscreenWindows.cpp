#include "game/displays/OnscreenDisplays.h"

#include <CEGUI/CEGUI.h>

#include "engine/platform/Report.h"
#include "engine/platform/Timer.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "game/displays/DisplayWindows.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "net/NetControl.h"

namespace {

constexpr int32_t TEXT_OK = 2000;
constexpr int32_t TEXT_CONTINUE = 9000;
constexpr int32_t TEXT_RESTART = 9010;
constexpr int32_t TEXT_QUIT = 9020;
// Bytes of a message window's text in its log line.
constexpr size_t MESSAGE_EXCERPT = 200;

// The windows' names in the log, in the order of their ids.
const char* const WINDOW_NAMES[OnscreenDisplays::WINDOW_COUNT] = {
    "pause", "message", "time trial result", "single race result", "elimination result",
    "championship result", "standings", "name entry"};

} // namespace

void OnscreenDisplays::buildWindows() {
    if (!m_root) return;
    CEGUI::Window* lost = displayWindows::frame(m_root, 262, 184, 500, 400);
    m_connectionLostMessage = displayWindows::text(lost, 30, 60, 440, 215, "VerdanaMedium", "WordWrapCentreAligned",
                                                   "CentreAligned", 500, 400);
    displayWindows::button(lost, 180, 310, 140, 60, 500, 400, text(TEXT_OK), [this] { onConnectionLostOk(); });
    m_windows[CONNECTION_LOST] = lost;

    for (Window window : {TIME_TRIAL_RESULT, CHAMPIONSHIP_RESULT, STANDINGS, ELIMINATION_RESULT, SINGLE_RACE_RESULT})
        buildTable(window);
    buildNameEntry();

    CEGUI::Window* pause = displayWindows::frame(m_root, 292, 204, 440, 360);
    displayWindows::button(pause, 60, 80, 320, 60, 440, 360, text(TEXT_CONTINUE), [this] { onPauseContinue(); });
    m_restartButton =
        displayWindows::button(pause, 60, 165, 320, 60, 440, 360, text(TEXT_RESTART), [this] { onPauseRestart(); });
    // Every program of a LAN game would have to agree on a restart.
    m_restartButton->setEnabled(m_config->m_playMode != Race::LAN);
    displayWindows::button(pause, 60, 250, 320, 60, 440, 360, text(TEXT_QUIT), [this] { onPauseQuit(); });
    m_windows[PAUSE] = pause;
}

// The open window takes the mouse and keys from the karts.
void OnscreenDisplays::openWindow(Window window, const std::string& says) {
    if (!m_visible[window])
        g_logStream << "race window: " << WINDOW_NAMES[window]
                    << (says.empty() ? std::string() : " \"" + printableExcerpt(says, MESSAGE_EXCERPT) + "\"")
                    << std::endl;
    m_visible[window] = true;
    if (m_race.m_gui && m_race.m_gui->m_input) m_race.m_gui->m_input->m_guiInput = 1;
    if (CEGUI::Window* frame = m_windows[window]) {
        frame->setVisible(true);
        frame->setEnabled(true);
        frame->setModalState(true);
    }
}

void OnscreenDisplays::closeWindow(Window window) {
    m_visible[window] = false;
    if (m_race.m_gui && m_race.m_gui->m_input) m_race.m_gui->m_input->m_guiInput = 0;
    if (CEGUI::Window* frame = m_windows[window]) {
        frame->setModalState(false);
        frame->setVisible(false);
        frame->setEnabled(false);
    }
}

// Harmless without a connection: one-player games leave the same way.
void OnscreenDisplays::leaveNetwork() { NetControl::getInstance().disconnect(); }

void OnscreenDisplays::showPauseWindow() {
    m_race.setSoundVolumes(true);
    m_wasPaused = m_race.m_paused;
    // Over a P pause the clock already stands; what it did before that pause is kept.
    if (!m_wasPaused && m_config->m_playMode != Race::LAN && m_race.m_clock) {
        m_race.m_clockRanAtPause = m_race.m_clock->isRunning();
        m_race.m_clock->pause();
    }
    openWindow(PAUSE);
}

// The race goes back to the pause it had: one paused by P stays paused, its clock stopped.
void OnscreenDisplays::closePause() {
    closeWindow(PAUSE);
    m_race.m_paused = m_wasPaused;
    if (!m_wasPaused && m_race.m_clockRanAtPause && m_config->m_playMode != Race::LAN && m_race.m_clock)
        m_race.m_clock->resume();
}

void OnscreenDisplays::onPauseContinue() {
    if (!m_wasPaused) m_race.setSoundVolumes(false);
    closePause();
}

void OnscreenDisplays::onPauseRestart() {
    if (m_config->m_playMode == Race::LAN) return;
    closePause();
    m_config->m_raceAgain = true;
    m_race.m_leaveRace = true;
    leaveNetwork();
}

void OnscreenDisplays::onPauseQuit() {
    closePause();
    m_race.m_leaveRace = true;
    m_config->m_showHighscores = false;
    leaveNetwork();
}

void OnscreenDisplays::showConnectionLost(int32_t textId) {
    m_connectionLostText = textId;
    // A message that points at the log names the file the log really goes to.
    const std::string log = g_logStream.path();
    const CEGUI::String message =
        displayWindows::filledIn(text(textId), "[LOGFILE]", displayWindows::utf8Text(log.c_str(), log.size()));
    if (m_windows[CONNECTION_LOST]) {
        m_connectionLostMessage->setText(message);
        m_windows[CONNECTION_LOST]->setAlwaysOnTop(true);
    }
    // The log says what the player reads: a player gone is no lost connection.
    openWindow(CONNECTION_LOST, message.c_str());
}

void OnscreenDisplays::onConnectionLostOk() {
    if (m_windows[CONNECTION_LOST]) m_windows[CONNECTION_LOST]->setAlwaysOnTop(false);
    closeWindow(CONNECTION_LOST);
    m_race.m_leaveRace = true;
    leaveNetwork();
}
