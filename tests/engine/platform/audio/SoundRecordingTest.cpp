#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <thread>

#include "engine/platform/audio/SoundBuffer.h"
#include "sys/Pi.h"
#include "tests/engine/platform/audio/SoundFixtures.h"
#include "tests/engine/platform/audio/SoundRecording.h"

using namespace soundtest;

namespace {

constexpr uint32_t RATE = 44100;

// Sound files of a test, loaded through the loader the game uses.
struct Files {
    SampleStream* stream(const std::string& name, const std::string& bytes) {
        files[name] = bytes;
        streams.emplace_back(loadSampleStream(source, name.c_str()));
        return streams.back().get();
    }
    std::map<std::string, std::string> files;
    MemoryFile source{&files};
    std::vector<std::unique_ptr<SampleStream>> streams;
};

// Waits for a sound's end, then leaves a pause that tells it from the next.
void playToTheEnd(Sound& sound) {
    sound.play(false);
    while (sound.isPlaying()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

// Root mean square of one side over the middle half of a run.
double level(const std::vector<float>& frames, const Stretch& run, int channel) {
    return rms(frames, channel, run.first + run.count / 4, run.count / 2);
}

// Music that never rests: a chord on the left, a glide on the right.
float music(uint32_t frame, int channel) {
    double t = frame / double(RATE);
    double hz = channel == 0 ? 330.0 : 880.0 - 150.0 * t;
    return static_cast<float>(0.3 * std::sin(2.0 * PI_DOUBLE * hz * t) + 0.1 * std::sin(2.0 * PI_DOUBLE * 97.0 * t) +
                              0.05);
}

// The longest stretch of frames that are exactly zero on both sides.
size_t longestSilence(const std::vector<float>& frames, const Stretch& run) {
    size_t longest = 0;
    size_t zeros = 0;
    for (size_t i = run.first; i < run.first + run.count; ++i) {
        zeros = frames[i * 2] == 0.0f && frames[i * 2 + 1] == 0.0f ? zeros + 1 : 0;
        longest = std::max(longest, zeros);
    }
    return longest;
}

// The largest difference, in 16-bit steps, between what was heard and the
// decoded samples played from the run's start, over `frames` frames.
float worstDifference(const std::vector<float>& heard, const Stretch& run, const std::vector<int16_t>& decoded,
                      size_t frames) {
    float worst = 0.0f;
    size_t length = decoded.size() / 2;
    for (size_t i = 0; i < frames && run.first + i < heard.size() / 2; ++i)
        for (int c = 0; c < 2; ++c)
            worst = std::max(worst, std::fabs(heard[(run.first + i) * 2 + c] * 32768.0f - decoded[(i % length) * 2 + c]));
    return worst;
}

} // namespace

TEST(SoundRecording, PlainSoundsPlayAtTheirVolumeOnBothSidesAnd3DSoundsArePlaced) {
    Files files;
    const double amplitude = 0.5 * 32767.0 / 32768.0;
    const std::string tone = wave16(1, RATE, sine(RATE / 3, 1, RATE, 440, 0.5));
    SampleStream* mono = files.stream("mono.wav", tone);
    SampleStream* mono3D = files.stream("placed.wav", tone);
    SampleStream* stereo = files.stream("stereo.wav", wave16(2, RATE, sine(RATE / 3, 2, RATE, 440, 0.5)));
    std::vector<float> heard = record("levels", [&](DirectSoundDevice& device) {
        std::unique_ptr<Sound> plainMono = device.createSound(mono, SOUND_STATIC);
        std::unique_ptr<Sound> plainStereo = device.createSound(stereo, SOUND_STATIC);
        std::unique_ptr<Sound> placed = device.createSound(mono3D, SOUND_STATIC | SOUND_3D);
        device.commit();
        for (Sound* s : {plainMono.get(), plainStereo.get(), placed.get()}) {
            s->setVolume(0.5f);
            playToTheEnd(*s);
        }
    });
    std::vector<Stretch> sounds = stretches(heard, RATE / 20);
    ASSERT_EQ(sounds.size(), 3u);
    const double gain = std::pow(10.0, SoundBuffer::volumeLevel(0.5f) / 2000.0);
    const double expected = gain * amplitude / std::sqrt(2.0);
    for (int side = 0; side < 2; ++side) {
        EXPECT_NEAR(level(heard, sounds[0], side) / expected, 1.0, 0.005) << "mono, side " << side;
        EXPECT_NEAR(level(heard, sounds[1], side) / expected, 1.0, 0.005) << "stereo, side " << side;
    }
    // Two metres to the right, well inside the minimum distance.
    EXPECT_NEAR(level(heard, sounds[2], 0) / expected, 0.0, 0.02);
    EXPECT_NEAR(level(heard, sounds[2], 1) / expected, 1.0, 0.02);
}

TEST(SoundRecording, MusicPlaysWithoutGapsWhileEveryCoreIsBusyFourTimesOver) {
    Files files;
    const uint32_t frames = RATE * 3 / 2;
    const std::string song = oggVorbis(2, RATE, frames, music);
    std::vector<int16_t> decoded = readAll(*files.stream("reference.ogg", song), frames * 4);
    ASSERT_EQ(decoded.size(), frames * 2u);
    SampleStream* whole = files.stream("menu.ogg", song);
    std::vector<float> heard = record("load", [&](DirectSoundDevice& device) {
        std::atomic<bool> busy{true};
        std::vector<std::thread> load;
        for (unsigned i = 0; i < 4 * std::max(1u, std::thread::hardware_concurrency()); ++i)
            load.emplace_back([&busy] {
                while (busy) {
                }
            });
        // The music loops into its second pass and is stopped there.
        std::unique_ptr<Sound> menu = device.createSound(whole, SOUND_STATIC);
        menu->play(true);
        uint32_t last = 0;
        for (bool wrapped = false; !wrapped || menu->getPlayCursor() < frames * 2;
             std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
            uint32_t cursor = menu->getPlayCursor();
            wrapped = wrapped || cursor < last;
            last = cursor;
        }
        menu->stop();
        busy = false;
        for (std::thread& t : load) t.join();
    });
    std::vector<Stretch> played = stretches(heard, RATE / 4);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_GT(played[0].count, frames * 3 / 2);
    EXPECT_LT(longestSilence(heard, played[0]), 8u);
    EXPECT_LE(worstDifference(heard, played[0], decoded, frames * 3 / 2), 2.0f);
}
