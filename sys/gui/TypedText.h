#pragma once
#include <cstdint>

namespace sys {

// What was typed into the program's windows, in the order typed: every key
// press by DirectInput key code (a held key's repeats too, as a text box
// takes them) and every character as a Unicode code point whatever the
// keyboard layout (the window's char messages carry only the single-byte
// code page).
class TypedText {
public:
    struct Entry {
        // The character typed; 0 for a key press.
        uint32_t codePoint;
        // A character typed on the numeric pad; its digits reach the GUI as key presses instead.
        bool fromKeypad;
        // The key pressed, and whether Shift was held with it.
        uint8_t key;
        bool shifted;

        static Entry character(uint32_t codePoint, bool fromKeypad = false) {
            return {codePoint, fromKeypad, 0, false};
        }
        static Entry press(uint8_t key, bool shifted = false) { return {0, false, key, shifted}; }
    };

    // Starts collecting from the message pump; calling it again changes nothing.
    static void start();
    static void stop();
    // Oldest first; false when nothing is waiting.
    static bool pop(Entry& entry);
    // Drops the oldest when full, so a stalled reader loses old keys, not new ones.
    static void push(const Entry& entry);
    static void clear();

    static constexpr uint32_t CAPACITY = 256;
};

} // namespace sys
