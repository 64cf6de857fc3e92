#include "tools/demodata/audio/SineTable.h"

#include <cmath>
#include <vector>

#include "sys/Pi.h"

namespace demoaudio {

namespace {

const int SIZE = 4096;

const std::vector<float>& table() {
    static const std::vector<float> values = [] {
        std::vector<float> v(SIZE + 1);
        for (int i = 0; i <= SIZE; ++i) v[size_t(i)] = float(std::sin(2.0 * PI_DOUBLE * i / SIZE));
        return v;
    }();
    return values;
}

} // namespace

float sine(double cycles) {
    const double at = (cycles - std::floor(cycles)) * SIZE;
    const int i = int(at);
    const float f = float(at - i);
    const std::vector<float>& t = table();
    return t[size_t(i)] + (t[size_t(i) + 1] - t[size_t(i)]) * f;
}

} // namespace demoaudio
