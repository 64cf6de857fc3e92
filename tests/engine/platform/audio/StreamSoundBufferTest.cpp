#include <gtest/gtest.h>

#include "engine/platform/audio/StreamSoundBuffer.h"
#include "tests/engine/platform/audio/SoundLoopback.h"
#include "sys/Pi.h"

using namespace soundtest;

namespace {

constexpr uint32_t BLOCK_FRAMES = 4096;
constexpr uint32_t STEREO_BYTES = 4;
// What the refill must have written beyond the play cursor before the next
// block is mixed: more than a block plus what the output queues ahead, less
// than the ring minus the writer's distance behind the cursor.
constexpr uint32_t REFILL_LEAD = 40000;

class StreamSoundBufferHeard : public SoundLoopback {
protected:
    // Mixes block by block, each time letting the refill thread catch up.
    std::vector<float> play(Sound* s, CountingStream& counted, uint32_t frames) {
        std::vector<float> out;
        uint32_t played = 0;
        while (played < frames * STEREO_BYTES) {
            std::vector<float> block = render(BLOCK_FRAMES);
            out.insert(out.end(), block.begin(), block.end());
            played += BLOCK_FRAMES * STEREO_BYTES;
            m_positions.push_back(s->getPosition());
            s->update();
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (counted.m_pieces < played + REFILL_LEAD && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            EXPECT_GE(counted.m_pieces, played + REFILL_LEAD) << "refill did not keep up";
        }
        return out;
    }

    // Kept by the fixture, so it outlives the sounds that read it.
    CountingStream& counting(SampleStream* inner) {
        auto* counted = new CountingStream(inner);
        m_streams.emplace_back(counted);
        return *counted;
    }

    std::vector<double> m_positions;
};

// Stereo: a tone on the left, a falling tone on the right, fading in.
float music(uint32_t frame, int channel) {
    double t = frame / 44100.0;
    double hz = channel == 0 ? 330.0 : 880.0 - 100.0 * t;
    return static_cast<float>(std::min(1.0, t * 4.0) * 0.4 * std::sin(2.0 * PI_DOUBLE * hz * t));
}

} // namespace

TEST_F(StreamSoundBufferHeard, OggMusicPlaysContinuouslyAcrossTheRingsWraps) {
    const uint32_t frames = RATE * 2;
    std::string file = oggVorbis(2, RATE, frames, music);
    std::vector<int16_t> decoded = readAll(*stream("reference.ogg", file), frames * STEREO_BYTES);
    ASSERT_EQ(decoded.size(), frames * 2u);
    CountingStream& counted = counting(stream("music.ogg", file));
    Sound* s = sound(&counted, 3);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->play(false));
    EXPECT_FALSE(s->play(false));
    std::vector<float> out = play(s, counted, frames + RATE / 4);
    ASSERT_GE(out.size(), decoded.size());
    float worst = 0.0f;
    size_t worstAt = 0;
    for (size_t i = 0; i < decoded.size(); ++i) {
        float error = std::fabs(out[i] * 32768.0f - decoded[i]);
        if (error > worst) {
            worst = error;
            worstAt = i / 2;
        }
    }
    EXPECT_LE(worst, 2.0f) << "first difference near frame " << worstAt;
    // Past the end a finished stream is silence.
    EXPECT_LT(rms(out, 0, frames + 100, RATE / 8), 1e-4);
    // Positions keep counting over the ring's 80000 bytes.
    EXPECT_GT(m_positions.back(), 80000 / 176400.0 * 4);
    for (size_t i = 1; i < m_positions.size(); ++i) EXPECT_GT(m_positions[i], m_positions[i - 1]);
    EXPECT_NEAR(m_positions.back(), out.size() / 2 * STEREO_BYTES / 176400.0, 0.01);
}

TEST_F(StreamSoundBufferHeard, FinishedWaveFallsSilentWithoutSpinning) {
    const uint32_t frames = RATE * 3 / 4;
    std::vector<int16_t> samples = sine(frames, 2, RATE, 500, 0.5);
    CountingStream& counted = counting(stream("horn.wav", wave16(2, RATE, samples)));
    Sound* s = sound(&counted, 3);
    ASSERT_NE(s, nullptr);
    s->play(false);
    std::vector<float> out = play(s, counted, RATE * 2);
    for (size_t i = 0; i < samples.size(); ++i) ASSERT_NEAR(out[i] * 32768.0f, samples[i], 2.0f) << i;
    EXPECT_LT(rms(out, 0, frames + 16, RATE), 1e-4);
    EXPECT_LT(rms(out, 1, frames + 16, RATE), 1e-4);
    EXPECT_TRUE(s->isPlaying());
    uint32_t reads = counted.m_reads;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    s->update();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LT(counted.m_reads - reads, 50u);
}

TEST_F(StreamSoundBufferHeard, LoopingWaveStartsOverInTheRing) {
    std::vector<int16_t> samples = sine(RATE / 4, 2, RATE, 600, 0.5);
    CountingStream& counted = counting(stream("loop.wav", wave16(2, RATE, samples)));
    Sound* s = sound(&counted, 3);
    ASSERT_NE(s, nullptr);
    s->play(true);
    std::vector<float> out = play(s, counted, RATE);
    for (size_t i = 0; i < RATE * 2; ++i) ASSERT_NEAR(out[i] * 32768.0f, samples[i % samples.size()], 2.0f) << i;
}

TEST_F(StreamSoundBufferHeard, StopKeepsTheStreamWhereItIs) {
    CountingStream& counted = counting(stream("m.wav", wave16(2, RATE, sine(RATE, 2, RATE, 500, 0.5))));
    Sound* s = sound(&counted, 3);
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->stop());
    EXPECT_FALSE(s->setPosition(0.0));
    s->play(false);
    render(BLOCK_FRAMES);
    uint32_t cursor = s->getPlayCursor();
    EXPECT_TRUE(s->stop());
    EXPECT_FALSE(s->isPlaying());
    EXPECT_EQ(s->getPlayCursor(), cursor);
    EXPECT_LT(rms(render(BLOCK_FRAMES), 0, 0, BLOCK_FRAMES), 1e-6);
    EXPECT_TRUE(s->play(false));
    EXPECT_EQ(s->getPlayCursor(), cursor);
    EXPECT_FALSE(s->clone());
}

TEST_F(StreamSoundBufferHeard, DeletingAPlayingStreamEndsItsThreadAtOnce) {
    CountingStream& counted = counting(stream("m.wav", wave16(2, RATE, sine(RATE, 2, RATE, 500, 0.5))));
    Sound* s = sound(&counted, 3);
    ASSERT_NE(s, nullptr);
    s->play(true);
    auto start = std::chrono::steady_clock::now();
    m_sounds.clear();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    uint32_t reads = counted.m_reads;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(counted.m_reads, reads);
}
