#include "net/FirewallException.h"

#include <cstdio>
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

void say(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

} // namespace

int firewallAddApplication(const wchar_t* friendlyName) {
    std::string path = sys::executablePath();
    {
        std::lock_guard<std::mutex> guard(g_stateLock);
        g_applicationPath = path;
    }
    say("First scenario during install process:\n");
    say("Add the application to the exception (aka authorized) list.\n");
    say("Note: change the source in this sample to match your game executable name.\n");
    std::string name = toUtf8(friendlyName);
    bool added = !path.empty() && sys::firewallAddApplication(path, name);
    g_logStream << "firewall exception added: " << name << " " << path << '\n';
    say(added ? "Success!\n"
              : "Could not add app to the exception list. If we're running on an OS older than XPSP2 this is normal.\n");
    say("\nSecond scenario when launching multiplayer:\n");
    say("Check Firewall state to ensure the app is still ready to go.\n");
    say(firewallIsAuthorised(path) ? "Success!\n" : "Failed!\n");
    return 0;
}

bool firewallIsAuthorised(const std::string& path) {
    if (!sys::firewallIsEnabled(path)) {
        say("Application is not enabled in the Firewall. You will not be able host games or join a peer-to-peer "
            "game. Depending on the game, you may be able to join.\n");
        return false;
    }
    if (sys::firewallExceptionsNotAllowed()) {
        say("Firewall is on with no exceptions. You will not be able host games or join a peer-to-peer game. "
            "Depending on the game, you may be able to join.\n");
        return false;
    }
    return true;
}

int firewallRemoveApplication() {
    say("\nLast scenario during uninstall process:\n");
    say("Remove the application from the exception list.\n");
    std::string path;
    {
        std::lock_guard<std::mutex> guard(g_stateLock);
        path = g_applicationPath;
    }
    bool removed = sys::firewallRemoveApplication(path);
    g_logStream << "firewall exception removed: " << path << '\n';
    say(removed ? "Success!\n" : "Failed to remove app from to the exception list. \n");
    return 0;
}
