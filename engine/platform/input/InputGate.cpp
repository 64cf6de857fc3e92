#include "engine/platform/input/InputGate.h"

void InputGate::open() {
    m_pressed.reset();
    m_open = true;
}

bool InputGate::passKey(uint32_t key, bool down) {
    if (!m_open) return false;
    if (down) {
        m_pressed.set(key & 0xFF);
        return true;
    }
    if (m_pressed[key & 0xFF]) m_open = false;
    return m_open;
}
