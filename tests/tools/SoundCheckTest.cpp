#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "sys/Pi.h"
#include "tools/sound-check/SoundStats.h"
#include "tools/sound-check/Sonogram.h"

namespace {

const double RATE = 22050.0;

std::vector<float> tone(double hz, double seconds, float level) {
    std::vector<float> out(size_t(seconds * RATE));
    for (size_t i = 0; i < out.size(); ++i) out[i] = level * float(std::sin(2.0 * PI_DOUBLE * hz * double(i) / RATE));
    return out;
}

// The row of column `x` where the picture is brightest.
int brightestRow(const Canvas& picture, int x) {
    int best = 0, row = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const uint32_t p = picture.pixel(x, y);
        const int sum = int(p >> 16 & 0xFF) + int(p >> 8 & 0xFF) + int(p & 0xFF);
        if (sum > best) best = sum, row = y;
    }
    return row;
}

} // namespace

// The faults a mix must not have are counted: clipping, an offset, a one-shot
// that starts or stops off zero, a loop whose end does not meet its start.
TEST(SoundCheckStats, FindPeakClippingOffsetEndsAndTheLoopSeam) {
    // 2 kHz for exactly 400 cycles: a loop that joins.
    const std::vector<float> clean = tone(2000.0, 0.2, 0.5f);
    SoundStats s = soundStats(clean, {}, RATE);
    EXPECT_NEAR(s.centroidHz, 2000.0, 60.0);
    EXPECT_GT(s.shareAbove1k, 0.95);
    EXPECT_NEAR(s.peak, 0.5, 0.01);
    EXPECT_EQ(s.clipped, 0);
    EXPECT_LT(s.offset, 0.001);
    EXPECT_LT(s.first, 0.001);
    EXPECT_LT(s.seam, 1.0);

    std::vector<float> faulty = clean;
    faulty.resize(faulty.size() - 3); // stops part way up a cycle
    for (float& v : faulty) v = std::min(1.0f, v * 2.2f + 0.1f);
    s = soundStats(faulty, faulty, RATE);
    EXPECT_NEAR(s.peak, 1.0, 0.001);
    EXPECT_GT(s.clipped, 2 * 100) << "both channels' flattened crests";
    EXPECT_NEAR(s.offset, 0.075, 0.01); // 0.1, less what the clipping cut off
    EXPECT_GT(s.last, 0.1);
    EXPECT_GT(s.seam, 1.0) << "the end jumps to the start";
    EXPECT_NEAR(s.correlation, 1.0, 1e-6);
}

// A low tone then a high one: each lies at its height on the log scale, the
// change half way across; the picture goes to PLIMZOR_PICTURES/sounds.
TEST(SoundCheckSonogram, DrawsEachToneAtItsHeightAndTime) {
    Sound sound;
    sound.rate = RATE;
    sound.left = tone(100.0, 1.0, 0.5f);
    const std::vector<float> high = tone(5000.0, 1.0, 0.5f);
    sound.left.insert(sound.left.end(), high.begin(), high.end());
    const TextPainter font(readFontFile(std::string(GUI_FONT_FOLDER) + "DejaVuSans.ttf"));
    const Canvas picture = sonogram(sound, "100 Hz, then 5 kHz", font);

    const char* folder = std::getenv("PLIMZOR_PICTURES");
    const std::filesystem::path out = std::filesystem::path(folder ? folder : "pictures") / "sounds";
    std::filesystem::create_directories(out);
    std::ofstream(out / "sonogram-two-tones.png", std::ios::binary) << picture.encodePng();

    const int width = picture.width();
    const int low = brightestRow(picture, width / 4), later = brightestRow(picture, width * 3 / 4);
    ASSERT_GT(low, 0);
    ASSERT_GT(later, 0);
    // 100 Hz to 5 kHz is 0.62 of the way from 20 Hz to 11 kHz; the plot is 320 rows high.
    EXPECT_NEAR(low - later, 320.0 * std::log(50.0) / std::log(RATE / 2.0 / 20.0), 6.0);
    EXPECT_EQ(brightestRow(picture, width / 4 + 10), low) << "a steady tone is a level line";
}
