#pragma once
#include <deque>

#include "engine/platform/input/InputDevice.h"
#include "engine/platform/input/InputGate.h"

// Windowed input: the window's own key and mouse messages.
class WindowInputDevice : public InputDevice {
public:
    WindowInputDevice();
    ~WindowInputDevice() override;

    bool init(sys::Window& window) override;
    void reset() override;
    intptr_t handleMessage(sys::Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    // Clears the motion and takes the messages that waited for this frame.
    bool update() override;

    static constexpr uint32_t CURSOR_TIMER = 57005;
    static void cursorCentreTimer(sys::Window& window, uint32_t id);

    uint8_t m_virtualKeyMap[256];
    sys::Window* m_window = nullptr;

private:
    struct Message {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };
    // False when the gate holds the message back for the next frame.
    bool take(const Message& m);
    // Behind the others until a frame takes it.
    void wait(const Message& m);
    bool setKey(uintptr_t wParam, intptr_t lParam, uint8_t held);
    void setButtons(uintptr_t wParam);

    // Input messages held back by the gate, oldest first; only moves are merged when it holds many.
    std::deque<Message> m_waiting;
    InputGate m_gate;
};

extern bool g_mouseTracking;
