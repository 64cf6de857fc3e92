#include "game/displays/OnscreenDisplays.h"

void OnscreenDisplays::showTable(Window) {}
void OnscreenDisplays::clearRows(int32_t) {}
void OnscreenDisplays::showTimeTrialResult() { openWindow(TIME_TRIAL_RESULT); }
void OnscreenDisplays::showSingleRaceResult() { openWindow(SINGLE_RACE_RESULT); }
void OnscreenDisplays::showEliminationResult() { openWindow(ELIMINATION_RESULT); }
void OnscreenDisplays::showChampionshipResult() { openWindow(CHAMPIONSHIP_RESULT); }
void OnscreenDisplays::showStandings() { openWindow(STANDINGS); }
void OnscreenDisplays::onTimeTrialResultOk() { closeWindow(TIME_TRIAL_RESULT); }
void OnscreenDisplays::onRaceResultOk() { closeWindow(SINGLE_RACE_RESULT); }
void OnscreenDisplays::onEliminationResultOk() { closeWindow(ELIMINATION_RESULT); }
void OnscreenDisplays::onChampionshipResultOk() { closeWindow(CHAMPIONSHIP_RESULT); }
void OnscreenDisplays::onStandingsOk() { closeWindow(STANDINGS); }
void OnscreenDisplays::updateEliminationTable() {}
void OnscreenDisplays::updateRaceResultTable() {}
void OnscreenDisplays::updateChampionshipTable() {}
