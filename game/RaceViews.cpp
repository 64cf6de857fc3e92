#include "game/Race.h"

void Race::setupView(int32_t) {}
