#pragma once
#include <cstdint>

namespace sys {

// The characters typed into the program's windows, as Unicode code points in
// the order typed, whatever the keyboard layout (the window's char messages
// carry only the single-byte code page).
class TypedText {
public:
    struct Entry {
        uint32_t codePoint;
        // Typed on the numeric pad; its digits reach the GUI as key presses instead.
        bool fromKeypad;
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
