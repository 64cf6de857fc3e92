#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/audio/SampleStream.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/audio/DemoAudio.h"
#include "tools/demodata/audio/SoundEffects.h"
#include "tools/sarpack/ArchiveWriter.h"
#include "tools/sound-check/Fourier.h"
#include "tools/sound-check/SoundStats.h"
#include "tools/sound-check/Sonogram.h"

namespace {

// Every sound the race, the menus and the track objects open, as they name them.
const char* const EFFECTS[] = {
    "D:\\Vantorik/soundfx/moped_hercules.wav",  "D:\\Vantorik/soundfx/moped_kreidler.wav",
    "D:\\Vantorik/soundfx/moped_roller.wav",    "D:\\Vantorik/soundfx/moped_vespa.wav",
    "D:\\Vantorik/soundfx/moped_yamaha.wav",    "D:\\Vantorik/soundfx/repos.wav",
    "D:\\Vantorik/soundfx/kart_hit_objekt.wav", "D:\\Vantorik/soundfx/kart_hit_wand.wav",
    "D:\\Vantorik/soundfx/race_count01.wav",    "D:\\Vantorik/soundfx/race_start01.wav",
    "D:\\Vantorik\\soundfx\\button06.wav",      "D:\\Skorvitane\\soundfx\\stampfer.wav",
    "D:\\Skorvitane\\soundfx\\stampfer02.wav",  "D:\\Quillfen\\soundfx\\wurst.wav",
    "D:\\Quillfen\\soundfx\\wurst2.wav",        "D:\\Quillfen\\soundfx\\tueren_02.wav",
    "D:\\Quillfen\\soundfx\\flinte_shot.wav",   "D:\\Quillfen\\soundfx\\sfx_all\\blitz01.wav",
};
const int ENGINE_LOOPS = 5; // the first five

const char* const MUSIC[] = {"D:\\Vantorik\\musics\\menu.ogg",    "D:\\Vantorik\\musics\\track01.ogg",
                             "D:\\Vantorik\\musics\\track02.ogg", "D:\\Vantorik\\musics\\track03.ogg",
                             "D:\\Vantorik\\musics\\track04.ogg", "D:\\Vantorik\\musics\\track05.ogg",
                             "D:\\Vantorik\\musics\\track06.ogg"};

// The stream's samples up to `limit` bytes, or fewer when a read fails.
// A finished stream would go on giving silence, so no read asks for more.
std::vector<int16_t> decodeAll(SampleStream& stream, size_t limit) {
    std::vector<int16_t> out;
    std::vector<uint8_t> piece(4096);
    while (out.size() * 2 < limit) {
        const int32_t n = stream.read(piece.data(), int32_t(std::min<size_t>(4096, limit - out.size() * 2)));
        if (n <= 0) break;
        const size_t at = out.size();
        out.resize(at + size_t(n) / 2);
        std::memcpy(out.data() + at, piece.data(), size_t(n) / 2 * 2);
    }
    return out;
}

double decibels(double level) { return 20.0 * std::log10(level); }

double rmsOf(const std::vector<int16_t>& samples) {
    double sum = 0.0;
    for (int16_t v : samples) sum += double(v) * v;
    return std::sqrt(sum / double(std::max<size_t>(1, samples.size()))) / 32768.0;
}

Sound soundOf(const std::vector<int16_t>& samples, int channels, double rate) {
    Sound sound;
    sound.rate = rate;
    for (size_t i = 0; i + size_t(channels) <= samples.size(); i += size_t(channels)) {
        sound.left.push_back(samples[i] / 32768.0f);
        if (channels == 2) sound.right.push_back(samples[i + 1] / 32768.0f);
    }
    return sound;
}

// The sound's sonogram in PLIMZOR_PICTURES/sounds, for judging it by eye.
void drawSonogram(const Sound& sound, const std::string& archiveName) {
    static const TextPainter font(readFontFile(std::string(GUI_FONT_FOLDER) + "DejaVuSans.ttf"));
    const char* folder = std::getenv("PLIMZOR_PICTURES");
    const std::filesystem::path out = std::filesystem::path(folder ? folder : "pictures") / "sounds";
    std::filesystem::create_directories(out);
    const std::string name = demoaudio::previewName(archiveName);
    std::ofstream(out / (name.substr(0, name.size() - 4) + ".png"), std::ios::binary)
        << sonogram(sound, name, font).encodePng();
}

} // namespace

// The whole audio set, packed as the demo data packs it and opened through
// the archive and the game's own sample streams.
TEST(DemoAudioArchive, EverySoundAndPieceIsPackedAndDecodesThroughTheEngineStreams) {
    TempDir dir;
    ArchiveWriter writer;
    for (const demoaudio::AudioFile& f : demoaudio::demoAudioFiles())
        ASSERT_TRUE(writer.add(f.archiveName, f.bytes, uint8_t(f.flags))) << f.archiveName;
    std::string path = dir.file("audio.sar"), error;
    ASSERT_TRUE(writer.write(path, error)) << error;
    DiskFile disk("");
    DataArchive archive(disk);
    ASSERT_TRUE(archive.openArchive(path.c_str()));

    for (size_t i = 0; i < std::size(EFFECTS); ++i) {
        SCOPED_TRACE(EFFECTS[i]);
        std::unique_ptr<SampleStream> stream(loadSampleStream(archive, EFFECTS[i]));
        ASSERT_TRUE(stream);
        // Played as 3D sounds, so one channel; the race bends the engines' 22050 Hz.
        EXPECT_EQ(stream->channels(), 1);
        EXPECT_EQ(stream->sampleRate(), 22050);
        EXPECT_EQ(stream->bitsPerSample(), 16);
        const std::vector<int16_t> samples = decodeAll(*stream, stream->getSize());
        ASSERT_EQ(samples.size() * 2, stream->getSize());
        const Sound sound = soundOf(samples, 1, 22050.0);
        drawSonogram(sound, EFFECTS[i]);
        const SoundStats s = soundStats(sound);
        EXPECT_LT(s.peak, 0.98) << "clips";
        EXPECT_LT(s.offset, 0.002) << "sits off zero";
        EXPECT_GT(decibels(rmsOf(samples)), -30.0) << "too quiet";
        if (int(i) < ENGINE_LOOPS) {
            EXPECT_LE(s.seam, 1.0) << "clicks where the loop joins";
        } else {
            EXPECT_EQ(samples.back(), 0) << "a one-shot that stops on a step clicks";
            EXPECT_LT(s.first, 0.06);
        }
    }

    for (const char* name : MUSIC) {
        SCOPED_TRACE(name);
        std::unique_ptr<SampleStream> stream(loadSampleStream(archive, name));
        ASSERT_TRUE(stream);
        EXPECT_EQ(stream->channels(), 2);
        EXPECT_GE(stream->getDuration(), 120.0);
        EXPECT_LE(stream->getDuration(), 200.0);
        const std::vector<int16_t> samples = decodeAll(*stream, stream->getSize());
        EXPECT_EQ(samples.size() * 2, stream->getSize()) << "does not decode for its whole length";
        const Sound sound = soundOf(samples, 2, 44100.0);
        drawSonogram(sound, name);
        const SoundStats s = soundStats(sound);
        EXPECT_EQ(s.clipped, 0);
        EXPECT_LT(s.offset, 0.002) << "sits off zero";
        EXPECT_NEAR(decibels(rmsOf(samples)), -16.0, 3.0);
        EXPECT_LE(s.seam, 1.0) << "clicks where the music starts over";
        // Wide enough to hear two speakers rather than one in the middle.
        EXPECT_LE(s.correlation, 0.8);
    }
}

// A two-stroke rasps: much of its sound lies above 1 kHz at the recorded
// pitch, and no two models sound alike.
TEST(DemoAudioEngines, EachModelRaspsInItsOwnWay) {
    std::vector<double> centroids;
    for (int model = 0; model < demoaudio::MOPED_MODELS; ++model) {
        SCOPED_TRACE(model);
        const std::vector<float> loop = demoaudio::mopedEngine(model);
        const SoundStats s = soundStats(loop, {}, demoaudio::EFFECTS_RATE);
        EXPECT_GE(s.shareAbove1k, 0.10);
        EXPECT_GE(s.centroidHz, 400.0);
        EXPECT_GE(s.seconds, 2.0) << "a short loop makes its unevenness a rhythm";
        for (double other : centroids) EXPECT_GT(std::fabs(s.centroidHz - other), 25.0) << "sounds like another model";
        centroids.push_back(s.centroidHz);
    }
}

// The wall hit is a dull thud and then a scrape, not a bell: its first tenth
// of a second lies mostly low, and after it no partial rings on above the
// thud's range while the scrape goes on hissing above 1 kHz.
TEST(DemoAudioEffects, TheWallHitThudsThenScrapesWithoutRinging) {
    const Sound hit{demoaudio::wallHit(), {}, demoaudio::EFFECTS_RATE};
    const size_t window = 2048, tenth = size_t(0.1 * hit.rate);
    const double binHz = hit.rate / double(window);
    const std::vector<double> blow = framePower(hit, 0, window);
    double low = 0.0, all = 0.0;
    for (size_t b = 1; b < blow.size(); ++b) {
        all += blow[b];
        if (double(b) * binHz < 200.0) low += blow[b];
    }
    EXPECT_GT(low / all, 0.5) << "no thud";

    std::vector<double> tail(window / 2, 0.0);
    for (size_t at = tenth; at + window <= hit.frames(); at += window / 2) {
        const std::vector<double> p = framePower(hit, at, window);
        for (size_t b = 0; b < tail.size(); ++b) tail[b] += p[b];
    }
    double above150 = 0.0, strongest = 0.0, above1k = 0.0;
    for (size_t b = size_t(150.0 / binHz); b < tail.size(); ++b) {
        above150 += tail[b];
        strongest = std::max(strongest, tail[b]);
        if (double(b) * binHz > 1000.0) above1k += tail[b];
    }
    EXPECT_LT(strongest / above150, 0.05) << "a partial rings on";
    EXPECT_GT(above1k / above150, 0.3) << "no scrape";
}
