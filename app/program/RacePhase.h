#pragma once
#include "app/program/LoopPhase.h"

class Race;

// The race loop's side of the frame pump: the race frame, the track scene and
// the race's sounds.
class RacePhase : public LoopPhase {
public:
    explicit RacePhase(Race& race) : m_race(race) {}

    FrameBudget::Phase kind() const override { return FrameBudget::RACE; }
    bool running() const override;
    bool frame(InputDevice& input) override;
    MetaScene* scene() const override;
    GuiContext* gui() const override;
    void pause() override;
    void resume() override;

private:
    Race& m_race;
};
