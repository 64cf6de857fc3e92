#pragma once
#include "game/drivers/Controller.h"

// Pedals and keys as the test sets them; remembers what the kart told it.
class ScriptedDriver : public Controller {
public:
    int steerLeft() override { return left; }
    int steerRight() override { return right; }
    int accelerate() override { return gas; }
    int brake() override { return brakes; }
    bool action() override { return false; }
    bool useExtra() override { return extra; }
    void update(bool wallHit, bool reversing) override {
        toldWallHit = wallHit;
        toldReversing = reversing;
    }
    bool isComputer() const override { return computer; }

    int left = 0, right = 0, gas = 0, brakes = 0;
    bool extra = false;
    bool computer = false;
    bool toldWallHit = false, toldReversing = false;
};
