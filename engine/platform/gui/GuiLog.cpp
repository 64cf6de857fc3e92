#include "engine/platform/gui/GuiLog.h"

#include <CEGUI/Exceptions.h>

#include "engine/platform/Report.h"

void GuiLog::setLogFilename(const CEGUI::String& filename, bool append) {
    try {
        DefaultLogger::setLogFilename(filename, append);
    } catch (const CEGUI::Exception&) {
        d_caching = false;
        d_cache.clear();
        g_logStream << filename.c_str() << " cannot be written; the GUI library keeps no log" << std::endl;
    }
}
