#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "sys/sound/AudioBuffer.h"
#include "sys/sound/AudioOutput.h"
#include "sys/thread/Event.h"

namespace {

constexpr uint32_t RATE = 48000;

class SoundOutputLoopback : public ::testing::Test {
protected:
    void SetUp() override {
        m_output.reset(sys::AudioOutput::openLoopback(RATE));
        ASSERT_NE(m_output, nullptr);
    }
    std::vector<float> render(uint32_t frames) {
        std::vector<float> out(frames * 2);
        EXPECT_TRUE(m_output->render(out.data(), frames));
        return out;
    }
    // Stereo 16-bit frames whose left sample is the frame number and right its negative.
    std::unique_ptr<sys::AudioBuffer> ramp(uint32_t frames, bool streamed = false) {
        sys::AudioFormat format{2, RATE, 16};
        std::unique_ptr<sys::AudioBuffer> buffer(m_output->createBuffer(format, frames * 4, false, streamed));
        EXPECT_NE(buffer, nullptr);
        std::vector<int16_t> samples(frames * 2);
        for (uint32_t i = 0; i < frames; ++i) {
            samples[i * 2] = static_cast<int16_t>(i);
            samples[i * 2 + 1] = static_cast<int16_t>(-static_cast<int32_t>(i));
        }
        write(*buffer, 0, samples.data(), frames * 4);
        return buffer;
    }
    static void write(sys::AudioBuffer& buffer, uint32_t offset, const void* bytes, uint32_t count) {
        void* p1;
        void* p2;
        uint32_t n1, n2;
        ASSERT_TRUE(buffer.lock(offset, count, &p1, &n1, &p2, &n2));
        std::memcpy(p1, bytes, n1);
        if (p2) std::memcpy(p2, static_cast<const uint8_t*>(bytes) + n1, n2);
        ASSERT_TRUE(buffer.unlock());
    }
    std::unique_ptr<sys::AudioOutput> m_output;
};

int16_t asSample(float value) { return static_cast<int16_t>(std::lround(value * 32768.0f)); }

} // namespace

TEST_F(SoundOutputLoopback, PlainStereoBufferIsMixedSampleForSample) {
    auto buffer = ramp(6000);
    ASSERT_TRUE(buffer->play(false));
    std::vector<float> out = render(7000);
    for (uint32_t i = 0; i < 6000; ++i) {
        ASSERT_EQ(asSample(out[i * 2]), static_cast<int16_t>(i)) << i;
        ASSERT_EQ(asSample(out[i * 2 + 1]), static_cast<int16_t>(-static_cast<int32_t>(i))) << i;
    }
    EXPECT_EQ(asSample(out[6500 * 2]), 0);
    EXPECT_FALSE(buffer->isPlaying());
}

TEST_F(SoundOutputLoopback, LockedRegionWrapsPastTheEnd) {
    sys::AudioFormat format{1, RATE, 16};
    std::unique_ptr<sys::AudioBuffer> buffer(m_output->createBuffer(format, 1000, false, false));
    ASSERT_NE(buffer, nullptr);
    void* p1;
    void* p2;
    uint32_t n1, n2;
    ASSERT_TRUE(buffer->lock(900, 300, &p1, &n1, &p2, &n2));
    EXPECT_EQ(n1, 100u);
    EXPECT_EQ(n2, 200u);
    EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 900);
    EXPECT_TRUE(buffer->unlock());
    EXPECT_FALSE(buffer->unlock());
    EXPECT_FALSE(buffer->lock(1000, 10, &p1, &n1, &p2, &n2));
    EXPECT_FALSE(buffer->lock(0, 1001, &p1, &n1, &p2, &n2));
}

TEST_F(SoundOutputLoopback, LoopingRingPlaysWhatIsWrittenBehindTheCursor) {
    const uint32_t frames = 8000;
    auto buffer = ramp(frames, true);
    ASSERT_TRUE(buffer->play(true));
    std::vector<float> first = render(frames / 2);
    // The first half has played: give it new content before the ring comes round.
    std::vector<int16_t> marks(frames, 1234);
    write(*buffer, 0, marks.data(), frames * 2);
    std::vector<float> rest = render(frames);
    EXPECT_EQ(asSample(rest[(frames / 2 - 10) * 2]), static_cast<int16_t>(frames - 10));
    EXPECT_EQ(asSample(rest[(frames / 2 + 10) * 2]), 1234);
    EXPECT_TRUE(buffer->isPlaying());
}

TEST_F(SoundOutputLoopback, CursorsMeetWhenStoppedAndPartWhilePlaying) {
    auto buffer = ramp(20000);
    uint32_t play = 1, write = 2;
    ASSERT_TRUE(buffer->getCurrentPosition(&play, &write));
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u);
    buffer->play(false);
    render(3000);
    ASSERT_TRUE(buffer->getCurrentPosition(&play, &write));
    EXPECT_EQ(play, 3000u * 4);
    EXPECT_GT(write, play);
    buffer->stop();
    ASSERT_TRUE(buffer->getCurrentPosition(&play, &write));
    EXPECT_EQ(play, 3000u * 4);
    EXPECT_EQ(write, play);
    EXPECT_TRUE(buffer->setCurrentPosition(40000));
    buffer->play(false);
    // Past the mixer's short fade-in of a restarted source.
    std::vector<float> out = render(600);
    EXPECT_EQ(asSample(out[500 * 2]), 10500);
    EXPECT_FALSE(buffer->setCurrentPosition(80000));
}

TEST_F(SoundOutputLoopback, RefusesFormatsAndPlacesItCannotPlay) {
    EXPECT_EQ(m_output->createBuffer(sys::AudioFormat{2, RATE, 16}, 4000, true, false), nullptr);
    EXPECT_EQ(m_output->createBuffer(sys::AudioFormat{1, RATE, 24}, 4000, false, false), nullptr);
    EXPECT_EQ(m_output->createBuffer(sys::AudioFormat{6, RATE, 16}, 4000, false, false), nullptr);
    EXPECT_EQ(m_output->createBuffer(sys::AudioFormat{1, RATE, 16}, 1, false, false), nullptr);
    std::unique_ptr<sys::AudioBuffer> plain(m_output->createBuffer(sys::AudioFormat{1, RATE, 16}, 4000, false, false));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->set3DParameters(sys::Audio3DParameters(), false));
}

TEST_F(SoundOutputLoopback, BuffersOutlivingTheirOutputGoQuiet) {
    auto buffer = ramp(1000);
    buffer->play(true);
    m_output.reset();
    EXPECT_FALSE(buffer->isPlaying());
    EXPECT_FALSE(buffer->play(false));
    void* p1;
    void* p2;
    uint32_t n1, n2;
    EXPECT_FALSE(buffer->lock(0, 4, &p1, &n1, &p2, &n2));
    EXPECT_EQ(buffer->duplicate(), nullptr);
}

TEST_F(SoundOutputLoopback, EightBitBuffersStartSilent) {
    std::unique_ptr<sys::AudioBuffer> buffer(m_output->createBuffer(sys::AudioFormat{1, RATE, 8}, 4000, false, false));
    ASSERT_NE(buffer, nullptr);
    buffer->play(false);
    std::vector<float> out = render(2000);
    for (float v : out) ASSERT_EQ(v, 0.0f);
}

TEST(SoundOutputDevices, DefaultEntryComesFirstWithAZeroGuid) {
    std::vector<sys::AudioDeviceInfo> devices = sys::AudioOutput::enumerateDevices();
    if (devices.empty()) GTEST_SKIP() << "no outputs";
    EXPECT_TRUE(devices[0].guid.isZero());
    EXPECT_EQ(devices[0].description, "Primary Sound Driver");
    for (size_t i = 1; i < devices.size(); ++i) {
        EXPECT_FALSE(devices[i].guid.isZero());
        // A listed output may lack its hardware here; opening it must then fail cleanly.
        std::unique_ptr<sys::AudioOutput> output(sys::AudioOutput::open(&devices[i].guid));
    }
}

TEST(SoundRefillEvent, SetWakesOneWaitAndIsKeptUntilThen) {
    sys::Event event;
    EXPECT_FALSE(event.wait(10));
    event.set();
    EXPECT_TRUE(event.wait(0));
    EXPECT_FALSE(event.wait(0));
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        event.set();
    });
    EXPECT_TRUE(event.wait(5000));
    setter.join();
}
