#include "app/program/OuterLoop.h"

#include "engine/platform/Report.h"

void OuterLoop::run() {
    while (pass()) {
    }
}

bool OuterLoop::pass() {
    Stages& s = m_stages;
    const bool withMenu = !s.restartRequested();
    if (withMenu) {
        if (!s.setUpMenu()) return false;
        g_logStream << "entering menu loop..." << std::endl;
        s.hideLoading();
        s.runMenu();
    }
    const bool racing = s.raceChosen() && !s.quitSeen();
    s.showLoading(0.0f, racing ? 50.0f : 100.0f);
    if (withMenu) s.tearDownMenu();
    s.showLoading(50.0f, 100.0f);
    if (!racing) return false;
    // A race that cannot be built sends the player back to the menu.
    if (!s.setUpRace()) return true;
    g_logStream << "entering main loop..." << std::endl;
    s.hideLoading();
    s.runRace();
    s.showLoading(0.0f, 50.0f);
    s.tearDownRace();
    s.showLoading(50.0f, 100.0f);
    // A window closed during the race ends the program, not only the race.
    return !s.quitSeen();
}
