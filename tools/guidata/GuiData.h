#pragma once
#include <string>
#include <vector>

#include "tools/guidata/TextPainter.h"

// One file of the GUI's data set under the name the game opens it by.
struct GuiFile {
    std::string archiveName;
    std::string bytes;
};

// The whole GUI data set: the "Quillfen" scheme, its looks and imageset, the
// screens' imagesets with their pictures, the six menu fonts and the TrueType
// files they use. Throws std::runtime_error when a TrueType file cannot be read.
std::vector<GuiFile> guiDataFiles(const std::string& fontFolder = GUI_FONT_FOLDER);
