#include "engine/platform/input/InputGate.h"

void InputGate::open() {
    m_changed.reset();
    m_open = true;
}

bool InputGate::passKey(uint32_t key) {
    if (!m_open) return false;
    if (m_changed[key & 0xFF]) {
        m_open = false;
        return false;
    }
    m_changed.set(key & 0xFF);
    return true;
}
