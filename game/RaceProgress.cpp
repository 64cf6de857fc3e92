#include "game/Race.h"

void Race::resetProgress() {}
void Race::updateProgress() {}
void Race::markSectors(Vehicle&) {}
void Race::updateRanks() {}
bool Race::checkWrongWay(int32_t) { return false; }
void Race::recordFinish(int32_t) {}
void Race::finishRemaining() {}
void Race::adjustComputerSpeeds() {}
int32_t Race::lastActiveRider() const { return 0; }
int32_t Race::countFinished() const { return 0; }
