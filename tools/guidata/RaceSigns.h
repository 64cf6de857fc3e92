#pragma once
#include <vector>

#include "tools/guidata/ImagesetBuilder.h"
#include "tools/guidata/TextPainter.h"

// The race's big signs: the countdown ("Countdown": "Count1" to "Count3" show
// three, two, one, "Count4" the start) and the wrong-way sign ("WrongDirection": "FullImage").
std::vector<ImagesetBuilder> raceSigns(const TextPainter& bold);
