#include "game/RaceProgressReport.h"

#include "game/LoadingScreen.h"

std::function<void(float percent)> g_raceProgressListener;

void reportRaceProgress(float percent) {
    reportLoadingProgress(percent);
    if (g_raceProgressListener) g_raceProgressListener(percent);
}
