#pragma once
#include <string>

#include "tools/guidata/Canvas.h"
#include "tools/guidata/TextPainter.h"
#include "tools/sound-check/Sound.h"

// A sound's sonogram as a sound designer reads it: time across, 20 Hz to
// half the sample rate up on a log scale, the loudest 60 dB from black
// through red and yellow to white; lines and labels at 100 Hz, 1 kHz and
// 10 kHz, ticks along the time, and `title` above.
Canvas sonogram(const Sound& sound, const std::string& title, const TextPainter& font);
