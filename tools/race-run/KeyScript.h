#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class InputDevice;

// Key presses by frame, read from lines "FRAME KEY down|up" (KEY a DirectInput
// key code, decimal or 0x hex; '#' starts a comment), played into an input device.
class KeyScript {
public:
    struct Event {
        int frame;
        uint8_t key;
        bool down;
    };
    // A script of a few thousand key changes is some tens of kilobytes.
    static constexpr size_t MAX_BYTES = 16u << 20;

    // False with the file and line in `error`.
    bool load(const std::string& path, std::string& error);
    bool parse(const std::string& text, std::string& error);
    // Sets the keys of every event of this frame, in file order.
    void apply(int frame, InputDevice& input) const;

    std::vector<Event> m_events;
};
