#include "sys/settings/Settings.h"

#include <cstdlib>
#include <sstream>
#include <strings.h>

#include "sys/files/PlainFile.h"

namespace sys {

namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool parseDword(const std::string& text, uint32_t& value) {
    static const char prefix[] = "dword:";
    if (text.size() <= 6 || strncasecmp(text.c_str(), prefix, 6) != 0) return false;
    std::string digits = text.substr(6);
    if (digits.size() > 8) return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(digits.c_str(), &end, 16);
    if (end == digits.c_str() || *end != '\0') return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool parseString(const std::string& text, std::string& value) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
    std::string parsed;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == '\\' && i + 2 < text.size()) ++i;
        parsed += text[i];
    }
    value = parsed;
    return true;
}

} // namespace

std::string Settings::path() {
    if (const char* file = std::getenv("PLIMZOR_SETTINGS")) return file;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/plimzor2/settings";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/plimzor2/settings";
    return "";
}

bool Settings::readDword(const char* key, const char* name, uint32_t& value) {
    std::string text;
    return findValue(key, name, text) && parseDword(text, value);
}

bool Settings::readString(const char* key, const char* name, std::string& value) {
    std::string text;
    return findValue(key, name, text) && parseString(text, value);
}

bool Settings::findValue(const char* key, const char* name, std::string& text) {
    std::string file = path();
    std::string bytes, error;
    // A folder, a fifo or a device is no settings file: the defaults hold.
    if (file.empty() || !readPlainFile(file, MAX_BYTES, bytes, error)) return false;
    std::istringstream in(bytes);

    bool inKey = false;
    std::string line;
    for (int lines = 0; lines < 100000 && std::getline(in, line); ++lines) {
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            inKey = strcasecmp(line.substr(1, line.size() - 2).c_str(), key) == 0;
            continue;
        }
        if (!inKey) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string valueName = trim(line.substr(0, eq));
        if (valueName.size() >= 2 && valueName.front() == '"' && valueName.back() == '"')
            valueName = valueName.substr(1, valueName.size() - 2);
        if (strcasecmp(valueName.c_str(), name) != 0) continue;
        text = trim(line.substr(eq + 1));
        return true;
    }
    return false;
}

} // namespace sys
