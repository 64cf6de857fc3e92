#include "game/displays/OnscreenDisplays.h"

void OnscreenDisplays::buildNameEntry() {}
void OnscreenDisplays::openNameEntry() {}
void OnscreenDisplays::saveHighscore() {}
void OnscreenDisplays::closeNameEntry() {}
std::string OnscreenDisplays::typedName() const { return std::string(); }
