#include "game/Race.h"

bool Race::update(InputDevice*) { return true; }
