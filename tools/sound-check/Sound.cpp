#include "tools/sound-check/Sound.h"

#include <cstdint>
#include <stdexcept>

#include "sys/files/PlainFile.h"

namespace {

uint32_t little(const char* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | uint8_t(p[i]);
    return v;
}

} // namespace

Sound readWaveFile(const std::string& path) {
    std::string bytes, error;
    if (!sys::readPlainFile(path, MAX_WAVE_BYTES, bytes, error)) throw std::runtime_error(path + ": cannot read: " + error);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        throw std::runtime_error(path + ": not a WAVE file");
    int channels = 0, bits = 0;
    Sound w;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const size_t size = little(&bytes[at + 4], 4), body = at + 8;
        if (body + size > bytes.size()) break;
        if (id == "fmt " && size >= 16) {
            channels = int(little(&bytes[body + 2], 2));
            w.rate = little(&bytes[body + 4], 4);
            bits = int(little(&bytes[body + 14], 2));
        } else if (id == "data") {
            if (bits != 16 || channels < 1 || channels > 2 || w.rate <= 0.0)
                throw std::runtime_error(path + ": only 16-bit mono or stereo PCM is read");
            for (size_t i = body; i + 2 * size_t(channels) <= body + size; i += 2 * size_t(channels)) {
                w.left.push_back(float(int16_t(little(&bytes[i], 2))) / 32768.0f);
                if (channels == 2) w.right.push_back(float(int16_t(little(&bytes[i + 2], 2))) / 32768.0f);
            }
            return w;
        }
        at = body + size + (size & 1);
    }
    throw std::runtime_error(path + ": no sound data");
}
