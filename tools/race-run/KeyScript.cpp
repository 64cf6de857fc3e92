#include "tools/race-run/KeyScript.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "engine/platform/input/InputDevice.h"
#include "sys/files/PlainFile.h"

namespace {

// The state byte DirectInput gives a held key.
constexpr uint8_t KEY_HELD = 0x80;

bool parseNumber(const std::string& text, long low, long high, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 0);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

} // namespace

bool KeyScript::load(const std::string& path, std::string& error) {
    std::string text;
    if (!sys::readPlainFile(path, MAX_BYTES, text, error)) {
        error = "cannot read the keys file " + path + ": " + error;
        return false;
    }
    if (parse(text, error)) return true;
    error = path + ": " + error;
    return false;
}

bool KeyScript::parse(const std::string& text, std::string& error) {
    m_events.clear();
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string frame, key, state, rest;
        if (!(words >> frame)) continue;
        long f = 0, k = 0;
        const bool good = words >> key >> state && !(words >> rest) && parseNumber(frame, 1, 100000000, f) &&
                          parseNumber(key, 1, 255, k) && (state == "down" || state == "up");
        if (!good) {
            error = "line " + std::to_string(number) + ": expected FRAME KEY down|up (frame from 1, key 1 to 255)";
            return false;
        }
        m_events.push_back({int(f), uint8_t(k), state == "down"});
    }
    std::stable_sort(m_events.begin(), m_events.end(),
                     [](const Event& a, const Event& b) { return a.frame < b.frame; });
    return true;
}

void KeyScript::apply(int frame, InputDevice& input) const {
    auto at = std::lower_bound(m_events.begin(), m_events.end(), frame,
                               [](const Event& e, int f) { return e.frame < f; });
    for (; at != m_events.end() && at->frame == frame; ++at) input.m_keys[at->key] = at->down ? KEY_HELD : 0;
}
