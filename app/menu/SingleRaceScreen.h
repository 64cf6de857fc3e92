#pragma once
#include "app/menu/TimeTrialScreen.h"

// The single race's set-up: the time trial's screen on its own stored
// choices; the player starts last behind four computer riders.
class SingleRaceScreen : public TimeTrialScreen {
public:
    static constexpr const char* NAME = "LastManStandingScreen";

    explicit SingleRaceScreen(Menu* owner);

    const char* name() const override { return NAME; }
    void apply() override;
};
