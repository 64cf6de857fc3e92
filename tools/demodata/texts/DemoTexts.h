#pragma once
#include <vector>

#include "tools/guidata/GuiData.h"

// The menu's and the race's text tables and the credits, under the names the game opens.
std::vector<GuiFile> demoTextFiles();
