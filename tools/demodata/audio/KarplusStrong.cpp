#include "tools/demodata/audio/KarplusStrong.h"

#include <algorithm>
#include <cmath>

namespace demoaudio {

std::vector<float> pluckedString(double hz, size_t frames, double decay, float brightness, NoiseSource& noise,
                                 double sampleRate) {
    // The loop is the line plus the damping filter's delay (its stretch: less
    // of the previous sample keeps the treble ringing on a bright string)
    // plus the all-pass's fraction, which tunes the string between whole samples.
    const float bright = std::clamp(brightness, 0.0f, 1.0f);
    const double stretch = 0.5 - 0.4 * bright;
    const double period = sampleRate / hz;
    const int length = std::max(2, int(std::floor(period - stretch - 0.1)));
    const double fraction = period - stretch - length;
    const double allPass = (1.0 - fraction) / (1.0 + fraction);
    const double gain = std::pow(10.0, -3.0 / (decay * hz));

    std::vector<double> line(size_t(length), 0.0);
    const double smooth = 0.85 - 0.8 * bright;
    double low = 0.0, mean = 0.0;
    for (double& v : line) {
        low = low * smooth + noise.white() * (1.0 - smooth);
        v = low;
        mean += low;
    }
    mean /= length;
    double peak = 1e-9;
    for (double& v : line) {
        v -= mean;
        peak = std::max(peak, std::fabs(v));
    }
    for (double& v : line) v /= peak;

    std::vector<float> out(frames);
    size_t at = 0;
    double last = 0.0, allPassIn = 0.0, allPassOut = 0.0;
    for (float& sample : out) {
        const double current = line[at];
        const double averaged = gain * ((1.0 - stretch) * current + stretch * last);
        last = current;
        allPassOut = allPass * averaged + allPassIn - allPass * allPassOut;
        allPassIn = averaged;
        line[at] = allPassOut;
        if (++at == line.size()) at = 0;
        sample = float(current);
    }
    return out;
}

} // namespace demoaudio
