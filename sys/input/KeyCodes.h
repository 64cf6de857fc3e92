#pragma once
#include <cstdint>

namespace sys::input {

// DirectInput key code (DIK_*) of an SDL scan code; 0 when the key has none.
uint8_t keyCodeFromScancode(int scancode);
// Windows virtual-key code of an SDL scan code (left and right modifiers fold
// into VK_SHIFT, VK_CONTROL, VK_MENU); 0 when the key has none.
uint8_t virtualKeyFromScancode(int scancode);
// Keys that Windows flags as extended (right Ctrl and Alt, the cursor block...).
bool isExtendedScancode(int scancode);

} // namespace sys::input
