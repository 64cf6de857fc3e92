#include "game/Race.h"

bool Race::startSounds() { return true; }
bool Race::stopSounds() { return true; }
void Race::setSoundVolumes(bool) {}
void Race::updateListener() {}
void Race::updateEngineSounds() {}
void Race::updateRocketSounds() {}
void Race::updateStamperSounds() {}
void Race::respawnPickups(int32_t) {}
void Race::turnPickups() {}
void Race::illuminate() {}
