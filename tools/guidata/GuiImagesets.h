#pragma once
#include <vector>

#include "tools/guidata/ImagesetBuilder.h"
#include "tools/guidata/TextPainter.h"

// Every imageset the game loads, painted and packed: the scheme's "Quillfen"
// set (brushes, mouse arrow, picture buttons, icons), the screens' sets, the
// flags, the extras' icons and the race's signs; lettering in `bold`.
std::vector<ImagesetBuilder> guiImagesets(const TextPainter& bold);
