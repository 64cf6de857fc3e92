#pragma once
#include <cstdint>
#include <string>

namespace sys {

// The user's language as a Windows language id, from the first of LC_ALL,
// LC_MESSAGES and LANG that is set: German 1031, English 1033, French 1036,
// Spanish 1034, Italian 1040, Russian 1049; any other language gives 1033.
uint16_t userDefaultLanguageId();

// This machine's name on the network (its host name); empty when unknown.
std::string computerName();

} // namespace sys
