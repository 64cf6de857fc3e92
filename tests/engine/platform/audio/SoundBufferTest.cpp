#include <gtest/gtest.h>

#include "engine/platform/audio/SoundBuffer.h"
#include "tests/engine/platform/audio/SoundLoopback.h"

using namespace soundtest;

namespace {

class SoundBufferHeard : public SoundLoopback {
protected:
    // Half a second of a 440 Hz tone, mono, at the output's rate.
    Sound* tone(uint32_t flags = SOUND_STATIC, uint32_t frames = RATE / 2) {
        return sound(stream("tone.wav", wave16(1, RATE, sine(frames, 1, RATE, 440, 0.5))), flags);
    }
};

} // namespace

TEST_F(SoundBufferHeard, WaveEffectIsHeardForItsLength) {
    Sound* s = tone();
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->play(false));
    EXPECT_TRUE(s->isPlaying());
    std::vector<float> out = render(RATE);
    EXPECT_NEAR(static_cast<double>(audibleFrames(out)), RATE / 2.0, 64.0);
    EXPECT_GT(rms(out, 0, 0, RATE / 2), 0.1);
    EXPECT_GT(rms(out, 1, 0, RATE / 2), 0.1);
    EXPECT_FALSE(s->isPlaying());
}

TEST_F(SoundBufferHeard, VolumeScalesWhatIsHeardByItsDecibels) {
    Sound* s = tone();
    ASSERT_NE(s, nullptr);
    s->play(false);
    double full = rms(render(RATE / 4), 0, 0, RATE / 4);
    s->setVolume(0.5f);
    s->play(false);
    double half = rms(render(RATE / 4), 0, 0, RATE / 4);
    EXPECT_NEAR(half / full, 0.315, 0.01);
    s->setVolume(0.0f);
    s->play(false);
    EXPECT_LT(rms(render(RATE / 4), 0, 0, RATE / 4), 1e-6);
}

TEST_F(SoundBufferHeard, DoubledFrequencyPlaysInHalfTheTime) {
    Sound* s = tone();
    ASSERT_NE(s, nullptr);
    s->setFrequency(RATE * 2);
    s->play(false);
    EXPECT_NEAR(static_cast<double>(audibleFrames(render(RATE))), RATE / 4.0, 64.0);
}

TEST_F(SoundBufferHeard, LoopingBufferPlaysOnUntilStoppedAndRewinds) {
    Sound* s = tone(SOUND_STATIC, 3000);
    ASSERT_NE(s, nullptr);
    s->play(true);
    std::vector<float> out = render(RATE);
    EXPECT_GT(rms(out, 0, RATE - 4000, 4000), 0.1);
    EXPECT_TRUE(s->isPlaying());
    EXPECT_TRUE(s->stop());
    EXPECT_EQ(s->getPlayCursor(), 0u);
    EXPECT_LT(rms(render(4000), 0, 0, 4000), 1e-6);
}

TEST_F(SoundBufferHeard, PositionCountsTheFixedByteRate) {
    Sound* s = tone(SOUND_STATIC, RATE);
    ASSERT_NE(s, nullptr);
    s->play(false);
    render(RATE / 2);
    // Mono 16-bit: half a second is 44100 bytes, read at 176400 bytes a second.
    EXPECT_NEAR(static_cast<double>(s->getPlayCursor()), 44100.0, 4.0);
    EXPECT_NEAR(s->getPosition(), 0.25, 1e-4);
}

TEST_F(SoundBufferHeard, SetPositionRefusesBeyondTheBuffer) {
    Sound* s = sound(stream("st.wav", wave16(2, RATE, sine(25000, 2, RATE, 440, 0.5))), SOUND_STATIC);
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->setPosition(1.0));
    EXPECT_FALSE(s->setPosition(-0.1));
    EXPECT_TRUE(s->setPosition(0.5));
    EXPECT_EQ(s->getPlayCursor(), 88200u);
}

TEST_F(SoundBufferHeard, PositionMovesTheSoundBetweenTheChannelsOnCommit) {
    Sound* s = tone(SOUND_STATIC | SOUND_3D, RATE);
    ASSERT_NE(s, nullptr);
    s->set3D(50, 0, 0, 1, 0, 0, 0, 0, 0);
    m_device->commit();
    s->play(true);
    std::vector<float> right = render(RATE / 8);
    EXPECT_GT(rms(right, 1, 0, RATE / 8), 2.0 * rms(right, 0, 0, RATE / 8));
    s->set3D(-50, 0, 0, 1, 0, 0, 0, 0, 0);
    std::vector<float> deferred = render(RATE / 8);
    EXPECT_GT(rms(deferred, 1, 0, RATE / 8), 2.0 * rms(deferred, 0, 0, RATE / 8));
    m_device->commit();
    std::vector<float> left = render(RATE / 8);
    EXPECT_GT(rms(left, 0, 0, RATE / 8), 2.0 * rms(left, 1, 0, RATE / 8));
}

TEST_F(SoundBufferHeard, DistanceBeyondTheMinimumFadesTheSound) {
    Sound* s = tone(SOUND_STATIC | SOUND_3D, RATE);
    ASSERT_NE(s, nullptr);
    s->set3D(0, 0, 50, 1, 0, 0, 0, 0, 0);
    m_device->commit();
    s->play(true);
    // Past the first thousand frames, where the mixer glides to a new gain.
    double near = rms(render(RATE / 8), 0, 1024, RATE / 8);
    s->set3D(0, 0, 400, 1, 0, 0, 0, 0, 0);
    m_device->commit();
    double far = rms(render(RATE / 8), 0, 1024, RATE / 8);
    EXPECT_NEAR(far / near, 100.0 / 400.0, 0.02);
}

TEST_F(SoundBufferHeard, CloneSharesTheDataAndOutlivesTheOriginal) {
    Sound* s = tone();
    ASSERT_NE(s, nullptr);
    std::unique_ptr<Sound> copy = s->clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(copy->isPlaying());
    m_sounds.clear();
    copy->play(false);
    EXPECT_NEAR(static_cast<double>(audibleFrames(render(RATE))), RATE / 2.0, 64.0);
}

TEST(SoundBufferLevels, VolumeBecomesHundredthsOfADecibel) {
    EXPECT_EQ(SoundBuffer::volumeLevel(1.0f), 0);
    EXPECT_EQ(SoundBuffer::volumeLevel(0.5f), -1003);
    EXPECT_EQ(SoundBuffer::volumeLevel(0.0f), -10000);
    EXPECT_EQ(SoundBuffer::volumeLevel(-1.0f), -10000);
    EXPECT_EQ(SoundBuffer::volumeLevel(2.0f), 0);
    EXPECT_EQ(SoundBuffer::volumeLevel(1e-9f), -10000);
}

TEST_F(SoundBufferHeard, ConeAndDistancesAreKeptInDegreesAndDecibels) {
    auto* s = static_cast<SoundBuffer*>(tone(SOUND_STATIC | SOUND_3D));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->get3DParameters().insideConeAngle, 360u);
    EXPECT_EQ(s->get3DParameters().outsideConeAngle, 360u);
    EXPECT_EQ(s->get3DParameters().coneOutsideVolume, -4000);
    EXPECT_EQ(s->getMinDistance(), 100.0f);
    EXPECT_EQ(s->getMaxDistance(), 10000.0f);
    s->setCone(1.0f, 2.0f, 0.5f);
    EXPECT_EQ(s->get3DParameters().insideConeAngle, 57u);
    EXPECT_EQ(s->get3DParameters().outsideConeAngle, 114u);
    EXPECT_EQ(s->get3DParameters().coneOutsideVolume, -2000);
    s->set3DEnabled(false);
    EXPECT_EQ(s->get3DParameters().mode, sys::AUDIO_3D_DISABLE);
}

TEST_F(SoundBufferHeard, StereoStreamCannotBeA3DSound) {
    SampleStream* st = stream("st.wav", wave16(2, RATE, sine(1000, 2, RATE, 440, 0.5)));
    EXPECT_EQ(sound(st, SOUND_STATIC | SOUND_3D), nullptr);
    SoundBuffer buffer;
    EXPECT_FALSE(buffer.create(m_device->getOutput(), st, st->getSize(), true));
}
