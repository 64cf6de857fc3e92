#include "sys/settings/SystemInfo.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>

namespace sys {

namespace {

constexpr uint16_t ENGLISH = 1033;

struct LanguageId {
    const char* code;
    uint16_t id;
};
constexpr LanguageId LANGUAGE_IDS[] = {{"de", 1031}, {"en", ENGLISH}, {"fr", 1036},
                                       {"es", 1034}, {"it", 1040},   {"ru", 1049}};

const char* userLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(variable); value && *value) return value;
    return "";
}

} // namespace

uint16_t userDefaultLanguageId() {
    const char* locale = userLocale();
    // "de_AT.UTF-8@euro": the language is what comes before territory, code set and modifier.
    std::string language(locale, std::strcspn(locale, "_.@"));
    for (const LanguageId& entry : LANGUAGE_IDS)
        if (strcasecmp(language.c_str(), entry.code) == 0) return entry.id;
    return ENGLISH;
}

std::string computerName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "";
    return name;
}

} // namespace sys
