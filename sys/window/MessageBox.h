#pragma once
#include <string>

namespace sys {

// Style bits as the game passes them.
enum : unsigned {
    MB_OK_ONLY = 0x00,
    MB_ICON_ERROR = 0x10,
    MB_ICON_EXCLAMATION = 0x30,
    MB_ICON_INFORMATION = 0x40,
};

// Lines of a box's text, so that it fits a 1024 x 768 screen.
constexpr size_t MESSAGE_BOX_COLUMNS = 64;
constexpr size_t MESSAGE_BOX_LINES = 24;

// Shows a modal box, its text wrapped to fit the screen, and waits for it to
// be dismissed, for SIGTERM or SIGINT (which then reach the program as if no
// box had been open) or for the time limit. Without a display, or when the
// box cannot be drawn, the text goes to standard error instead.
void showMessageBox(const char* title, const char* text, unsigned style);

// Scripted runs close any box after this many seconds; 0 waits for the player.
void setMessageBoxTimeLimit(double seconds);

// The text broken at blanks (or inside words longer than a line) into lines
// of at most MESSAGE_BOX_COLUMNS characters, at most MESSAGE_BOX_LINES of them.
std::string wrapMessageBoxText(const std::string& text);

// Tests catch boxes here instead of showing them; null restores the default.
using MessageBoxSink = void (*)(const char* title, const char* text, unsigned style);
void setMessageBoxSink(MessageBoxSink sink);

} // namespace sys
