#pragma once
#include <functional>

// The loading bar's steps of race set-up and tear-down go to the loading
// screen and, when one is set, to a listener: tools and tests follow them.
extern std::function<void(float percent)> g_raceProgressListener;
void reportRaceProgress(float percent);
