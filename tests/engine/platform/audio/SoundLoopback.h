#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "engine/platform/audio/DirectSoundDevice.h"
#include "engine/platform/audio/Sound.h"
#include "sys/sound/AudioOutput.h"
#include "tests/engine/platform/audio/SoundFixtures.h"

// A sound device on OpenAL Soft's loopback output: tests mix what would be
// heard and look at the samples, no sound hardware needed.
class SoundLoopback : public ::testing::Test {
protected:
    static constexpr uint32_t RATE = 44100;

    void SetUp() override {
        sys::AudioOutput* output = sys::AudioOutput::openLoopback(RATE);
        ASSERT_NE(output, nullptr);
        m_device = std::make_unique<DirectSoundDevice>(output);
    }

    std::vector<float> render(uint32_t frames) {
        std::vector<float> out(frames * 2);
        m_device->getOutput()->render(out.data(), frames);
        return out;
    }

    SampleStream* stream(const std::string& name, const std::string& bytes) {
        m_files[name] = bytes;
        m_streams.emplace_back(loadSampleStream(m_source, name.c_str()));
        return m_streams.back().get();
    }

    Sound* sound(SampleStream* s, uint32_t flags) {
        m_sounds.emplace_back(m_device->createSound(s, flags));
        return m_sounds.back().get();
    }

    std::map<std::string, std::string> m_files;
    soundtest::MemoryFile m_source{&m_files};
    std::vector<std::unique_ptr<SampleStream>> m_streams;
    std::unique_ptr<DirectSoundDevice> m_device;
    // Declared last: sounds go before their device and streams.
    std::vector<std::unique_ptr<Sound>> m_sounds;
};
