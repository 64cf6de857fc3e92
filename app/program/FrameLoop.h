#pragma once
#include "app/program/FrameBudget.h"

class LoopPhase;
class RenderDevice;
class Renderer;

// The frame pump the menu and the race share: a display change the options
// asked for, frames while the device is there and the window active, a
// wait on the window's messages while it is not, and the device's reset
// when it comes back.
class FrameLoop {
public:
    // How long a turn without a device waits for messages before it asks again.
    static constexpr int WAIT_MILLISECONDS = 50;

    FrameLoop(RenderDevice& device, Renderer& renderer, FrameBudget& budget);

    // Turns until the phase ends or the program is asked to quit.
    void run(LoopPhase& phase);
    // The window was closed, or the frame budget is spent.
    bool quitSeen() const { return m_quitSeen; }
    // No frame has failed.
    bool ok() const { return m_ok; }

private:
    void turn(LoopPhase& phase);
    void drawFrame(LoopPhase& phase);
    void applyDisplayChange(LoopPhase& phase);
    // The device again, with the stored mode; the scene and the GUI around it.
    void resetDevice(LoopPhase& phase);
    void pumpMessages();

    RenderDevice& m_device;
    Renderer& m_renderer;
    FrameBudget& m_budget;
    bool m_quitSeen = false;
    bool m_ok = true;
};
