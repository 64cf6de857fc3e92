#include "game/Race.h"

void Race::moveExtras(double) {}
void Race::updateExtraHits() {}
