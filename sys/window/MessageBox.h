#pragma once

namespace sys {

// Style bits as the game passes them.
enum : unsigned {
    MB_OK_ONLY = 0x00,
    MB_ICON_ERROR = 0x10,
    MB_ICON_EXCLAMATION = 0x30,
    MB_ICON_INFORMATION = 0x40,
};

// Shows a modal box and waits for it to be dismissed. Without a display the
// text goes to standard error instead.
void showMessageBox(const char* title, const char* text, unsigned style);

// Tests catch boxes here instead of showing them; null restores the default.
using MessageBoxSink = void (*)(const char* title, const char* text, unsigned style);
void setMessageBoxSink(MessageBoxSink sink);

} // namespace sys
