#pragma once
#include "tools/guidata/ImagesetBuilder.h"
#include "tools/guidata/TextPainter.h"

// The in-race display's picture of the held extra, imageset "Extras": image
// "Extra" + kind for kinds 0 to 12, 128 x 128. Kinds 0 (none), 8 and 9 (never
// drawn) are clear, so the display can take every kind's image alike.
ImagesetBuilder extrasImageset(const TextPainter& bold);
