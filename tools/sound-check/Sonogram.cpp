#include "tools/sound-check/Sonogram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/sound-check/Fourier.h"

namespace {

const int PLOT_HEIGHT = 320, MAX_COLUMNS = 1000, MIN_COLUMNS = 240;
const int LEFT = 40, TOP = 18, BOTTOM = 18;
const double LOWEST_HZ = 20.0, RANGE_DB = 60.0;
const uint32_t BACKGROUND = 0xFF202428, INK = 0xFFD8DCE0, GRID = 0xFF60A0FF;

// About 46 ms, short enough for a click, long enough to part a bass's notes;
// a short sound gets a shorter one so it spans several.
size_t windowFor(const Sound& sound) {
    size_t window = 256;
    while (window < 2048 && double(window * 2) <= sound.rate * 0.05 && window * 2 <= sound.frames() / 2) window *= 2;
    return window;
}

// Row 0 is the top of the plot.
double rowHz(double row, double topHz) {
    return LOWEST_HZ * std::pow(topHz / LOWEST_HZ, 1.0 - row / (PLOT_HEIGHT - 1));
}

// The strongest bin between two frequencies, so a tone is as bright high up
// as low down, or where none lies between them the power read off between
// the nearest two.
double bandPower(const std::vector<double>& power, double binHz, double lowHz, double highHz) {
    const size_t first = size_t(std::ceil(lowHz / binHz)), last = size_t(std::floor(highHz / binHz));
    if (first <= last && last < power.size()) return *std::max_element(&power[first], &power[last] + 1);
    const double at = std::min(0.5 * (lowHz + highHz) / binHz, double(power.size() - 1));
    const size_t below = std::min(size_t(at), power.size() - 2);
    const double f = at - double(below);
    return power[below] * (1.0 - f) + power[below + 1] * f;
}

uint32_t heat(double v) {
    const auto channel = [](double x) { return uint32_t(255.0 * std::clamp(x, 0.0, 1.0)); };
    return 0xFF000000u | channel(v * 3.0) << 16 | channel(v * 3.0 - 1.0) << 8 | channel(v * 3.0 - 2.0);
}

std::string secondsLabel(double t, double step) {
    char text[16];
    std::snprintf(text, sizeof text, "%g", std::round(t / step) * step);
    return text;
}

} // namespace

Canvas sonogram(const Sound& sound, const std::string& title, const TextPainter& font) {
    const size_t window = windowFor(sound);
    const int columns = int(std::clamp<size_t>(sound.frames() / 32, MIN_COLUMNS, MAX_COLUMNS));
    const double hop = double(sound.frames()) / columns, binHz = sound.rate / double(window);
    const double topHz = sound.rate / 2.0;
    // Each column is the mean of the windows that start within it, so a long
    // piece shows all it plays rather than a sample of it.
    std::vector<double> db(size_t(columns) * PLOT_HEIGHT);
    double loudest = -1e9;
    for (int c = 0; c < columns; ++c) {
        std::vector<double> power(window / 2, 0.0);
        const size_t from = size_t(c * hop), to = std::max(from + 1, size_t((c + 1) * hop));
        int frames = 0;
        // Centred on the column, so a sound's first and last moments show.
        for (size_t at = from; at < to; at += window / 2, ++frames) {
            const size_t start = at > window / 2 ? at - window / 2 : 0;
            const std::vector<double> p = framePower(sound, start, window);
            for (size_t b = 0; b < power.size(); ++b) power[b] += p[b];
        }
        for (int r = 0; r < PLOT_HEIGHT; ++r) {
            const double band = bandPower(power, binHz, rowHz(r + 0.5, topHz), rowHz(r - 0.5, topHz)) / frames;
            double& d = db[size_t(r) * columns + c];
            d = 10.0 * std::log10(band + 1e-12);
            loudest = std::max(loudest, d);
        }
    }
    Canvas canvas(LEFT + columns + 8, TOP + PLOT_HEIGHT + BOTTOM, BACKGROUND);
    for (int r = 0; r < PLOT_HEIGHT; ++r)
        for (int c = 0; c < columns; ++c)
            canvas.plot(LEFT + c, TOP + r, heat((db[size_t(r) * columns + c] - loudest + RANGE_DB) / RANGE_DB), 1.0f);
    for (double hz : {100.0, 1000.0, 10000.0}) {
        if (hz >= topHz) continue;
        const float y = float(TOP + (PLOT_HEIGHT - 1) * (1.0 - std::log(hz / LOWEST_HZ) / std::log(topHz / LOWEST_HZ)));
        canvas.drawLine(float(LEFT - 4), y, float(LEFT + columns), y, 1.0f, GRID & 0x80FFFFFF);
        font.draw(canvas, hz < 1000.0 ? "100" : hz < 10000.0 ? "1k" : "10k", 4.0f, y + 4.0f, 11.0f, INK);
    }
    const double seconds = double(sound.frames()) / sound.rate;
    double step = 60.0;
    for (double tick : {30.0, 20.0, 10.0, 5.0, 2.0, 1.0, 0.5, 0.25, 0.1, 0.05})
        if (seconds / tick <= 12.0) step = tick;
    for (double t = 0.0; t <= seconds + 1e-9; t += step) {
        const float x = float(LEFT + t / seconds * columns);
        canvas.drawLine(x, float(TOP + PLOT_HEIGHT), x, float(TOP + PLOT_HEIGHT + 4), 1.0f, INK);
        font.draw(canvas, secondsLabel(t, step), x + 2.0f, float(TOP + PLOT_HEIGHT + BOTTOM - 3), 11.0f, INK);
    }
    font.draw(canvas, title, float(LEFT), float(TOP - 5), 12.0f, INK);
    return canvas;
}
