#include "tools/demodata/tracks/WaveWriter.h"

namespace {

void put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::string writeWave(const std::vector<int16_t>& samples, int rate) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    put(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    put(out, 16, 4);
    put(out, 1, 2); // PCM
    put(out, 1, 2); // mono
    put(out, static_cast<uint32_t>(rate), 4);
    put(out, static_cast<uint32_t>(rate) * 2, 4);
    put(out, 2, 2);
    put(out, 16, 2);
    out += "data";
    put(out, dataBytes, 4);
    for (int16_t s : samples) put(out, static_cast<uint16_t>(s), 2);
    return out;
}
