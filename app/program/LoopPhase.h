#pragma once
#include "app/program/FrameBudget.h"

class GuiContext;
class InputDevice;
class MetaScene;

// What the menu loop and the race loop do differently inside the frame
// pump they share: their frame, their scene and GUI around a device reset,
// and their sounds while nothing is drawn.
class LoopPhase {
public:
    virtual ~LoopPhase() = default;

    virtual FrameBudget::Phase kind() const = 0;
    // False once the phase has ended by itself.
    virtual bool running() const = 0;
    // One frame on this frame's input; false when it failed.
    virtual bool frame(InputDevice& input) = 0;
    // The scene whose device resources go and come back with a reset; null when there is none.
    virtual MetaScene* scene() const = 0;
    virtual GuiContext* gui() const = 0;
    // Nothing is drawn: the sounds stop.
    virtual void pause() = 0;
    // The device came back: the sounds start again.
    virtual void resume() = 0;
};
