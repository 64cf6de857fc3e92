#pragma once
#include "tools/guidata/Canvas.h"
#include "tools/guidata/TextPainter.h"

// The game's name as a picture: "PLIMZOR" in amber over a dark outline with a
// red "2" badge after it and a chequered band beneath. `scale` 1 makes it
// about 960 by 250 pixels, centred on x with its top at y.
void paintLogo(Canvas& c, float x, float y, float scale, const TextPainter& bold);
