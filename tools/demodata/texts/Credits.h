#pragma once
#include <string>

// The credits screen's text: ASCII lines ended by CR LF, each led by its
// marker ("*" heading, "!" name, "#" note, none for plain lines).
std::string creditsText();
