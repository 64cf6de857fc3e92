#pragma once
#include <string>

namespace sys {

// Lines the system has for the program's log (an X error, why there is no
// display): the engine names where they go. Until it does they are dropped,
// as standard error is the player's.
using LogSink = void (*)(const std::string& line);
void setLogSink(LogSink sink);
// Any thread may write; a line is handed on whole.
void writeLog(const std::string& line);

} // namespace sys
