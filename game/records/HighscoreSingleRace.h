#pragma once
#include "game/records/HighscoreTimeTrial.h"

// The single-race table keeps its rows and ranks them exactly as the time trial does.
class HighscoreSingleRace : public HighscoreTimeTrial {};
