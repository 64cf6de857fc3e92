#pragma once
#include "game/surfaces/RaceSurface.h"

// A kart in the track's trigger zone starts the race's trigger timer unless it runs.
class ODEJointSurfaceTrigger : public RaceSurface {
public:
    static constexpr float TRIGGER_SECONDS = 2.0f;

    explicit ODEJointSurfaceTrigger(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
