#pragma once
#include <string>
#include <vector>

// Linux keeps no list of applications allowed through its firewall. The
// stand-in records what the game adds and removes, so that the calls and
// their order can be checked.
namespace sys {

struct FirewallEntry {
    enum Kind { ADD, REMOVE } kind;
    std::string path;
    std::string name; // empty for a removal
};

// The authorised-application list of the current profile.
bool firewallAddApplication(const std::string& path, const std::string& name);
bool firewallRemoveApplication(const std::string& path);
bool firewallIsEnabled(const std::string& path);
// Exceptions are always allowed here.
bool firewallExceptionsNotAllowed();

// Every add and remove so far, in call order.
std::vector<FirewallEntry> firewallHistory();
void firewallClearHistory();

// Full path of the running executable.
std::string executablePath();

} // namespace sys
