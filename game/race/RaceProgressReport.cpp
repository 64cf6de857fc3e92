#include "game/race/RaceProgressReport.h"

#include "game/race/LoadingScreen.h"

std::function<void(float percent)> g_raceProgressListener;

void reportRaceProgress(float percent) {
    reportLoadingProgress(percent);
    if (g_raceProgressListener) g_raceProgressListener(percent);
}
