#include "app/menu/HighscoreService.h"

#include <algorithm>
#include <cctype>

#include "app/program/RegistryReader.h"
#include "engine/platform/Report.h"
#include "engine/platform/display/DisplaySettings.h"

namespace {

const char* const KEY = DisplaySettings::REGISTRY_KEY;

bool isSalt(const std::string& text) {
    return text.size() == HighscoreService::SALT_LENGTH &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

} // namespace

HighscoreService HighscoreService::fromSettings() {
    HighscoreService service;
    service.host = readRegistryString(KEY, "HighscoreServer", DEFAULT_HOST);

    const uint32_t port = readRegistryDword(KEY, "HighscorePort", DEFAULT_PORT);
    if (port >= 1 && port <= 0xFFFF)
        service.port = uint16_t(port);
    else
        g_logStream << "high-score port " << port << " unusable, port " << DEFAULT_PORT << " taken" << std::endl;

    const std::string salt = readRegistryString(KEY, "HighscoreSalt", DEFAULT_SALT);
    if (isSalt(salt))
        service.salt = salt;
    else
        g_logStream << "high-score salt is not 32 letters and digits, the game's own taken" << std::endl;

    const uint32_t timeout = readRegistryDword(KEY, "HighscoreTimeout", DEFAULT_TIMEOUT);
    if (timeout >= 1 && timeout <= MAX_TIMEOUT)
        service.timeoutSeconds = timeout;
    else
        g_logStream << "high-score time-out " << timeout << " s unusable, " << DEFAULT_TIMEOUT << " s taken"
                    << std::endl;
    return service;
}
