#pragma once
#include <bitset>
#include <cstdint>

// Lets one frame's worth of buffered input through: up to the release of a key
// pressed in that frame, or up to a change of a mouse button. What comes after
// waits for the next frame. So a press let go before the frame looked still
// counts for that frame, and a click lands where the pointer was when it was made.
class InputGate {
public:
    // A new frame's reading begins.
    void open();
    bool isOpen() const { return m_open; }
    // Whether the key may go down or up now; letting go of a key pressed in this frame closes the gate.
    bool passKey(uint32_t key, bool down);
    // A button changed: what follows waits for the next frame.
    void closeBehindButton() { m_open = false; }

private:
    std::bitset<256> m_pressed;
    bool m_open = true;
};
