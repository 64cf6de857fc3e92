#pragma once
#include "app/program/LoopPhase.h"

class LoadingScreen;
class Race;

// The frame pump's side while a LAN guest's race set-up waits for the
// riders' records: each frame polls the set-up and draws the loading picture.
class RaceSetupPhase : public LoopPhase {
public:
    RaceSetupPhase(Race& race, LoadingScreen& loading) : m_race(race), m_loading(loading) {}

    // The wait's frames count with the race's.
    FrameBudget::Phase kind() const override { return FrameBudget::RACE; }
    // Until the set-up is complete or has failed.
    bool running() const override { return m_waiting; }
    bool frame(InputDevice& input) override;
    MetaScene* scene() const override;
    GuiContext* gui() const override;
    // Nothing plays yet.
    void pause() override {}
    void resume() override {}

private:
    Race& m_race;
    LoadingScreen& m_loading;
    bool m_waiting = true;
};
