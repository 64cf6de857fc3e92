#include "game/Race.h"

void Race::updateDisplays() {}
