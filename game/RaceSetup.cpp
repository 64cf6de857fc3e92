#include "game/Race.h"

bool Race::setup(File*, SoundDevice*, Config*) { return false; }

bool Race::teardown() { return true; }
