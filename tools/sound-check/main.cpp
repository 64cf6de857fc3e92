// Prints what each WAVE file's spectrum says: length, centroid, the share of
// energy above 1 kHz, where 95 % of it lies below, and the stereo width;
// for judging the files `demodata --preview` writes. With --spectrogram it
// draws one file's spectrogram instead.
#include <cstdio>
#include <stdexcept>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "tools/sound-check/SoundStats.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sound-check FILE.wav...\n       sound-check --spectrogram FILE.wav OUT.png\n");
        return 2;
    }
    if (std::string(argv[1]) == "--spectrogram") {
        try {
            if (argc != 4) throw std::runtime_error("--spectrogram takes FILE.wav OUT.png");
            const Picture p = waveFileSpectrogram(argv[2]);
            if (!stbi_write_png(argv[3], p.width, p.height, 3, p.rgb.data(), p.width * 3))
                throw std::runtime_error(std::string("cannot write ") + argv[3]);
            return 0;
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "sound-check: %s\n", e.what());
            return 1;
        }
    }
    std::printf("%-24s %7s %9s %8s %9s %7s\n", "file", "seconds", "centroid", ">1kHz", "95%below", "L/R");
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        try {
            const SoundStats s = waveFileStats(argv[i]);
            std::printf("%-24s %7.1f %8.0fHz %7.1f%% %7.0fHz %7.2f\n", argv[i], s.seconds, s.centroidHz,
                        100.0 * s.shareAbove1k, s.rolloff95Hz, s.correlation);
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "sound-check: %s\n", e.what());
            failed = 1;
        }
    }
    return failed;
}
