#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
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
#include "tools/sound-check/SoundStats.h"

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

struct Levels {
    int peak = 0;
    double rms = 0.0;
    int seam = 0;    // the step from the last frame of the first channel to its first
    int bigStep = 0; // a step that only one in a hundred inside the sound beats
};

Levels levelsOf(const std::vector<int16_t>& samples, int channels) {
    Levels l;
    double sum = 0.0;
    for (int16_t s : samples) {
        l.peak = std::max(l.peak, std::abs(int(s)));
        sum += double(s) * s;
    }
    l.rms = std::sqrt(sum / double(std::max<size_t>(1, samples.size()))) / 32768.0;
    const size_t frames = samples.size() / size_t(channels);
    std::vector<int> steps;
    for (size_t i = 1; i < frames; ++i) steps.push_back(std::abs(samples[i * channels] - samples[(i - 1) * channels]));
    std::sort(steps.begin(), steps.end());
    l.bigStep = steps.empty() ? 0 : steps[steps.size() * 99 / 100];
    l.seam = frames ? std::abs(samples[0] - samples[(frames - 1) * channels]) : 0;
    return l;
}

double decibels(double level) { return 20.0 * std::log10(level); }

std::vector<float> channel(const std::vector<int16_t>& samples, int channels, int which) {
    std::vector<float> out;
    for (size_t i = size_t(which); i < samples.size(); i += size_t(channels)) out.push_back(samples[i] / 32768.0f);
    return out;
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
        const Levels l = levelsOf(samples, 1);
        EXPECT_LT(l.peak, 32000) << "clips";
        EXPECT_GT(decibels(l.rms), -30.0) << "too quiet";
        if (int(i) < ENGINE_LOOPS) {
            EXPECT_LE(l.seam, l.bigStep) << "clicks where the loop joins";
        } else {
            EXPECT_EQ(samples.back(), 0) << "a one-shot that stops on a step clicks";
            EXPECT_LT(std::abs(samples.front()), 2000);
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
        const Levels l = levelsOf(samples, 2);
        EXPECT_LT(l.peak, 32767) << "clips";
        EXPECT_NEAR(decibels(l.rms), -16.0, 3.0);
        EXPECT_LE(l.seam, l.bigStep) << "clicks where the music starts over";
        // Wide enough to hear two speakers rather than one in the middle.
        EXPECT_LE(soundStats(channel(samples, 2, 0), channel(samples, 2, 1), 44100).correlation, 0.8);
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
