#include "sys/firewall/Firewall.h"

#include <algorithm>
#include <limits.h>
#include <mutex>
#include <unistd.h>

namespace sys {

namespace {

std::mutex g_firewallLock;
std::vector<FirewallEntry> g_history;
std::vector<std::string> g_authorised;

void record(FirewallEntry entry) { g_history.push_back(std::move(entry)); }

} // namespace

bool firewallAddApplication(const std::string& path, const std::string& name) {
    std::lock_guard<std::mutex> guard(g_firewallLock);
    record({FirewallEntry::ADD, path, name});
    if (std::find(g_authorised.begin(), g_authorised.end(), path) == g_authorised.end()) g_authorised.push_back(path);
    return true;
}

bool firewallRemoveApplication(const std::string& path) {
    std::lock_guard<std::mutex> guard(g_firewallLock);
    record({FirewallEntry::REMOVE, path, std::string()});
    auto it = std::find(g_authorised.begin(), g_authorised.end(), path);
    if (it == g_authorised.end()) return false;
    g_authorised.erase(it);
    return true;
}

bool firewallIsEnabled(const std::string& path) {
    std::lock_guard<std::mutex> guard(g_firewallLock);
    return std::find(g_authorised.begin(), g_authorised.end(), path) != g_authorised.end();
}

bool firewallExceptionsNotAllowed() { return false; }

std::vector<FirewallEntry> firewallHistory() {
    std::lock_guard<std::mutex> guard(g_firewallLock);
    return g_history;
}

void firewallClearHistory() {
    std::lock_guard<std::mutex> guard(g_firewallLock);
    g_history.clear();
    g_authorised.clear();
}

std::string executablePath() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    return std::string(path, static_cast<size_t>(n));
}

} // namespace sys
