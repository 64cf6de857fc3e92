#pragma once
#include <vector>

#include "tools/guidata/ImagesetBuilder.h"
#include "tools/guidata/TextPainter.h"

// The full-screen pictures the menu screens stand on, 1024 x 768 like their
// layout: one imageset per screen holding its "Background" (the loading
// screen's also its "Bar"), with clear windows where the 3D moped previews
// are drawn beneath, and plates under the screens' black texts.
std::vector<ImagesetBuilder> menuBackgrounds(const TextPainter& bold);
