#pragma once
#include <bitset>
#include <cstdint>

// Lets one frame's worth of buffered input through. A key changes at most once
// a frame and the mouse's buttons once; what comes after waits for the next
// frame. So a press let go before the frame looked still counts for that
// frame, and a click lands where the pointer was when it was made.
class InputGate {
public:
    // A new frame's reading begins.
    void open();
    bool isOpen() const { return m_open; }
    // Whether the key may change now; its second change in a frame closes the gate.
    bool passKey(uint32_t key);
    // A button changed: what follows waits for the next frame.
    void closeBehindButton() { m_open = false; }

private:
    std::bitset<256> m_changed;
    bool m_open = true;
};
