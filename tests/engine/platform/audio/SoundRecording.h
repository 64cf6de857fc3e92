#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/platform/audio/DirectSoundDevice.h"

// What a sound device plays through its real output, recorded by OpenAL
// Soft's wave writer at 44100 float stereo frames a second. The writer keeps
// real time, and OpenAL reads its settings once, so each recording is made
// in a fresh process of its own.
namespace soundtest {

inline std::string recordingPath(pid_t owner, const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("plimzor-" + std::to_string(owner) + "-" + name + ".wav")).string();
}

// Runs `play` on a device over the wave writer in a child process and returns
// the frames written (left, right interleaved); empty when there is no file.
inline std::vector<float> record(const char* name, const std::function<void(DirectSoundDevice&)>& play) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::string wave = recordingPath(getppid(), name);
            const std::string conf = wave + ".conf";
            std::ofstream(conf) << "[general]\nchannels = stereo\nsample-type = float32\nfrequency = 44100\n"
                                   "stereo-mode = speakers\nhrtf = false\noutput-limiter = false\ndither = false\n"
                                   "[wave]\nfile = "
                                << wave << "\n";
            setenv("ALSOFT_CONF", conf.c_str(), 1);
            setenv("ALSOFT_DRIVERS", "wave", 1);
            {
                DirectSoundDevice device(nullptr, nullptr);
                play(device);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    const std::string wave = recordingPath(getpid(), name);
    std::ifstream in(wave, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(wave);
    std::filesystem::remove(wave + ".conf");
    std::vector<float> frames;
    // The chunks after "WAVE": the samples are in "data".
    for (size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (bytes.compare(at, 4, "data") == 0) {
            size = static_cast<uint32_t>(std::min<size_t>(size, bytes.size() - at - 8));
            frames.resize(size / sizeof(float));
            std::memcpy(frames.data(), bytes.data() + at + 8, frames.size() * sizeof(float));
            break;
        }
        at += 8 + size;
    }
    return frames;
}

// A stretch of frames with some sound in it, from the first to the last
// frame louder than zero.
struct Stretch {
    size_t first;
    size_t count;
};

// The stretches of sound, split where at least `quiet` frames in a row are
// exactly zero on both sides.
inline std::vector<Stretch> stretches(const std::vector<float>& frames, size_t quiet) {
    std::vector<Stretch> found;
    size_t zeros = quiet;
    for (size_t i = 0; i < frames.size() / 2; ++i) {
        if (frames[i * 2] == 0.0f && frames[i * 2 + 1] == 0.0f) {
            ++zeros;
            continue;
        }
        if (zeros >= quiet) found.push_back({i, 0});
        found.back().count = i + 1 - found.back().first;
        zeros = 0;
    }
    return found;
}

} // namespace soundtest
