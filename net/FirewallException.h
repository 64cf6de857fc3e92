#pragma once
#include <string>

// At start the program puts its executable on the firewall's list of
// authorised applications, at exit it takes it off again. Neither stops the
// game when it fails: both answer 0.
int firewallAddApplication(const wchar_t* friendlyName);
int firewallRemoveApplication();
// True when the path is on the list and enabled, or when there is no firewall.
bool firewallIsAuthorised(const std::string& path);
