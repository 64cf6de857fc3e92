// Prints what each WAVE file's spectrum and levels say, for judging the files
// `demodata --preview` writes: length, centroid, the share of energy above
// 1 kHz, where 95 % of it lies below, the stereo width, the peak, clipped
// samples, the offset from zero, the end samples and the loop seam. With
// --sonograms it draws each file's sonogram into a folder instead.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tools/sound-check/SoundStats.h"
#include "tools/sound-check/Sonogram.h"

namespace {

const char* const USAGE = "usage: sound-check FILE.wav...\n       sound-check --sonograms FOLDER FILE.wav...\n";

double decibels(double level) { return 20.0 * std::log10(std::max(level, 1e-6)); }

void drawSonograms(const std::filesystem::path& folder, int count, char** files) {
    std::filesystem::create_directories(folder);
    const TextPainter font(readFontFile(std::string(GUI_FONT_FOLDER) + "DejaVuSans.ttf"));
    for (int i = 0; i < count; ++i) {
        const std::filesystem::path file = files[i];
        const Sound sound = readWaveFile(file.string());
        const SoundStats s = soundStats(sound);
        char title[160];
        std::snprintf(title, sizeof title, "%s   %.2f s   peak %.1f dBFS", file.filename().string().c_str(), s.seconds,
                      decibels(s.peak));
        const std::filesystem::path out = folder / file.filename().replace_extension(".png");
        if (!(std::ofstream(out, std::ios::binary) << sonogram(sound, title, font).encodePng()))
            throw std::runtime_error("cannot write " + out.string());
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--help" || first == "-h") {
        std::printf("%s", USAGE);
        return 0;
    }
    if (argc < 2 || (first == "--sonograms" && argc < 4)) {
        std::fprintf(stderr, "%s", USAGE);
        return 2;
    }
    if (first == "--sonograms") {
        try {
            drawSonograms(argv[2], argc - 3, argv + 3);
            return 0;
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "sound-check: %s\n", e.what());
            return 1;
        }
    }
    int failed = 0;
    bool headed = false;
    for (int i = 1; i < argc; ++i) {
        try {
            const SoundStats s = soundStats(readWaveFile(argv[i]));
            // The table's head comes with its first row: files it cannot read get only their line.
            if (!headed)
                std::printf("%-22s %7s %8s %6s %8s %5s %6s %4s %6s %5s %5s %5s\n", "file", "seconds", "centroid",
                            ">1kHz", "95%below", "L/R", "peak", "clip", "offset", "first", "last", "seam");
            headed = true;
            std::printf("%-22s %7.1f %6.0fHz %5.1f%% %6.0fHz %5.2f %6.1f %4d %6.4f %5.3f %5.3f %5.2f\n",
                        std::filesystem::path(argv[i]).filename().string().c_str(), s.seconds, s.centroidHz,
                        100.0 * s.shareAbove1k, s.rolloff95Hz, s.correlation, decibels(s.peak), s.clipped, s.offset,
                        s.first, s.last, s.seam);
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "sound-check: %s\n", e.what());
            failed = 1;
        }
    }
    return failed;
}
