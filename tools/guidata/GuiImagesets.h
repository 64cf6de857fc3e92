#pragma once
#include <vector>

#include "tools/guidata/ImagesetBuilder.h"

// Every imageset the game loads, painted and packed: the scheme's "Quillfen"
// set (brushes, mouse arrow, picture buttons, icons) and the screens' sets.
std::vector<ImagesetBuilder> guiImagesets();
