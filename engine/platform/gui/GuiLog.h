#pragma once
#include <CEGUI/DefaultLogger.h>

// The GUI library's own log, "CEGUI.log" in the program's folder; where that
// cannot be written the library logs nowhere instead of stopping the menus.
class GuiLog : public CEGUI::DefaultLogger {
public:
    void setLogFilename(const CEGUI::String& filename, bool append = false) override;
};
