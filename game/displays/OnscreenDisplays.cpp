#include "game/displays/OnscreenDisplays.h"

#include "engine/platform/Timer.h"
#include "game/Config.h"
#include "game/Race.h"

OnscreenDisplays::OnscreenDisplays(Race& race) : m_race(race) {}

OnscreenDisplays* OnscreenDisplays::create(Race& race) { return new OnscreenDisplays(race); }

void OnscreenDisplays::destroy() {
    for (bool& visible : m_visible) visible = false;
    for (View& view : m_views) view = View();
}

bool OnscreenDisplays::usedView(int32_t view) const { return view >= 0 && view < VIEWS && view < m_race.m_viewCount; }

bool OnscreenDisplays::isMessagePanelVisible(int32_t view) const {
    return usedView(view) && m_views[view].messagePanel;
}

void OnscreenDisplays::hideMessagePanels(int32_t view) {
    if (usedView(view)) m_views[view].messagePanel = false;
}

void OnscreenDisplays::setRaceTime(float seconds) { m_raceTime = seconds; }

void OnscreenDisplays::setLapTime(int32_t view, float seconds) {
    if (usedView(view)) m_views[view].lapTime = seconds;
}

void OnscreenDisplays::setSecondaryTime(int32_t view, float seconds) {
    if (usedView(view)) m_views[view].bestLap = seconds;
}

void OnscreenDisplays::setPosition(int32_t view, int32_t position, int32_t count) {
    if (!usedView(view)) return;
    m_views[view].position = position;
    m_views[view].positionCount = count;
}

void OnscreenDisplays::setLap(int32_t view, int32_t lap, int32_t count) {
    if (!usedView(view)) return;
    m_views[view].lap = lap;
    m_views[view].lapCount = count;
}

void OnscreenDisplays::setExtraIcon(int32_t view, int32_t kind) {
    if (usedView(view) && kind >= 0 && kind <= 12) m_views[view].extra = kind;
}

void OnscreenDisplays::showCountdown(int32_t view, int32_t n) {
    if (usedView(view) && n >= 0 && n <= 3) m_views[view].countdown = n;
}

void OnscreenDisplays::setCountdownVisible(int32_t view, bool visible) {
    if (usedView(view)) m_views[view].countdownVisible = visible;
}

void OnscreenDisplays::setWrongWayVisible(int32_t view, bool visible) {
    if (usedView(view)) m_views[view].wrongWay = visible;
}

void OnscreenDisplays::setFlashOverlay(int32_t view, float c1, float c2, float c3, float alpha) {
    if (!usedView(view)) return;
    m_views[view].flashColour[0] = c1;
    m_views[view].flashColour[1] = c2;
    m_views[view].flashColour[2] = c3;
    m_views[view].flashAlpha = alpha;
}

void OnscreenDisplays::showStartPanels() {
    for (View& view : m_views) view.startPanel = true;
}

void OnscreenDisplays::hideStartPanels() {
    for (View& view : m_views) view.startPanel = false;
}

void OnscreenDisplays::showPanelMessage() {
    for (View& view : m_views) view.messageText = 9008;
}

void OnscreenDisplays::showNicknameMessage(int32_t view, const std::string& name) {
    if (!usedView(view)) return;
    m_views[view].nickname = name;
    m_views[view].messagePanel = true;
}

void OnscreenDisplays::showPausePanels() {
    for (View& view : m_views) view.pausePanel = true;
}

void OnscreenDisplays::hidePausePanels() {
    for (View& view : m_views) view.pausePanel = false;
}

void OnscreenDisplays::placeMinimapDot(int32_t dot, float x, float z) {
    if (dot < 0 || dot >= 10) return;
    m_dotX[dot] = x;
    m_dotZ[dot] = z;
}

void OnscreenDisplays::setMinimapDotVisible(int32_t dot, bool visible) {
    if (dot >= 0 && dot < 10) m_dotVisible[dot] = visible;
}

void OnscreenDisplays::setMinimapDotImage(int32_t, int32_t, int32_t) {}

void OnscreenDisplays::setRocketDotsVisible(bool visible) { m_rocketDots = visible; }

void OnscreenDisplays::showPauseWindow() {
    m_visible[PAUSE] = true;
    m_race.setSoundVolumes(true);
    if (m_race.m_config && m_race.m_config->m_playMode != Race::LAN && m_race.m_clock) {
        m_race.m_clockRanAtPause = m_race.m_clock->isRunning();
        m_race.m_clock->pause();
    }
}

void OnscreenDisplays::showConnectionLost(int32_t textId) {
    m_connectionLostText = textId;
    m_visible[CONNECTION_LOST] = true;
}

void OnscreenDisplays::showTimeTrialResult() { m_visible[TIME_TRIAL_RESULT] = true; }
void OnscreenDisplays::showSingleRaceResult() { m_visible[SINGLE_RACE_RESULT] = true; }
void OnscreenDisplays::showEliminationResult() { m_visible[ELIMINATION_RESULT] = true; }
void OnscreenDisplays::showChampionshipResult() { m_visible[CHAMPIONSHIP_RESULT] = true; }
void OnscreenDisplays::updateEliminationTable() {}
void OnscreenDisplays::updateRaceResultTable() {}
void OnscreenDisplays::updateChampionshipTable() {}
