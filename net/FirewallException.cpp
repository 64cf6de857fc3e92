#include "net/FirewallException.h"

#include <mutex>

#include "engine/platform/Report.h"
#include "sys/firewall/Firewall.h"

namespace {

std::mutex g_stateLock;
std::string g_applicationPath;

std::string toUtf8(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        uint32_t c = static_cast<uint32_t>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

// Linux has no list to join, so the stand-in only notes each step in the log.
int firewallAddApplication(const wchar_t* friendlyName) {
    std::string path = sys::executablePath();
    {
        std::lock_guard<std::mutex> guard(g_stateLock);
        g_applicationPath = path;
    }
    std::string name = toUtf8(friendlyName);
    const bool added = !path.empty() && sys::firewallAddApplication(path, name) && firewallIsAuthorised(path);
    g_logStream << "firewall exception " << (added ? "added: " : "not added: ") << name << " " << path << std::endl;
    return 0;
}

bool firewallIsAuthorised(const std::string& path) {
    return sys::firewallIsEnabled(path) && !sys::firewallExceptionsNotAllowed();
}

int firewallRemoveApplication() {
    std::string path;
    {
        std::lock_guard<std::mutex> guard(g_stateLock);
        path = g_applicationPath;
    }
    const bool removed = sys::firewallRemoveApplication(path);
    g_logStream << "firewall exception " << (removed ? "removed: " : "not removed: ") << path << std::endl;
    return 0;
}
