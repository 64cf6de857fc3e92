#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/platform/audio/NullSoundDevice.h"
#include "engine/platform/audio/SilentSound.h"
#include "engine/platform/audio/SoundBuffer.h"
#include "engine/platform/audio/SoundDeviceList.h"
#include "engine/platform/audio/StreamSoundBuffer.h"
#include "tests/engine/platform/audio/SoundLoopback.h"

using namespace soundtest;

TEST(SoundDeviceList, StartsWithTheNoSoundEntry) {
    SoundDeviceList list(nullptr);
    ASSERT_GE(list.getCount(), 1);
    const SoundDeviceEntry* first = list.getEntry(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->guid, SoundDeviceList::NO_SOUND_GUID);
    EXPECT_EQ(first->description, "No Sound Device");
    EXPECT_EQ(first->module, "No Sound Device");
    EXPECT_EQ(list.getEntry(list.getCount()), nullptr);
    EXPECT_EQ(list.getEntry(-1), nullptr);
    EXPECT_EQ(list.createDeviceByIndex(list.getCount()), nullptr);
}

TEST(SoundDeviceList, MakesOneDeviceOnly) {
    SoundDeviceList list(nullptr);
    SoundDevice* device = list.createDevice(SoundDeviceList::NO_SOUND_GUID);
    ASSERT_NE(dynamic_cast<NullSoundDevice*>(device), nullptr);
    EXPECT_EQ(list.createDevice(SoundDeviceList::DEFAULT_DEVICE_GUID), nullptr);
    EXPECT_EQ(list.getDevice(), device);
}

TEST(SoundDeviceList, DefaultGuidGivesADeviceThatMakesSounds) {
    SoundDeviceList list(nullptr);
    SoundDevice* device = list.createDevice(SoundDeviceList::DEFAULT_DEVICE_GUID);
    ASSERT_NE(device, nullptr);
    std::unique_ptr<Sound> s(device->createSound(nullptr, SOUND_STATIC));
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->play(false));
}

TEST(SoundDeviceList, UnknownGuidMakesNoDevice) {
    SoundDeviceList list(nullptr);
    if (list.getCount() == 1) GTEST_SKIP() << "no outputs listed";
    sys::Guid unknown;
    unknown.bytes[0] = 1;
    EXPECT_EQ(list.createDevice(unknown), nullptr);
    EXPECT_EQ(list.getDevice(), nullptr);
}

TEST(SoundDeviceList, MachineWithoutSoundGetsTheSilentDevice) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process, so OpenAL starts with no output driver at all.
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "no-such-driver", 1);
            SoundDeviceList list(nullptr);
            SoundDevice* device = list.createDevice(SoundDeviceList::DEFAULT_DEVICE_GUID);
            std::exit(list.getCount() == 1 && dynamic_cast<NullSoundDevice*>(device) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(DirectSoundDeviceOpen, OutputThatCannotOpenThrowsNoSound) {
    sys::Guid unknown;
    unknown.bytes[15] = 7;
    try {
        DirectSoundDevice device(nullptr, &unknown);
        FAIL() << "opened";
    } catch (const char* text) {
        EXPECT_STREQ(text, "nosound");
    }
}

TEST(SilentSound, ClockRunsFromPlayAndOnAfterStop) {
    NullSoundDevice device;
    std::unique_ptr<Sound> s(device.createSound(nullptr, 3));
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->isPlaying());
    // Nothing to play: a one-shot is over at once, a loop goes on.
    s->play(false);
    EXPECT_FALSE(s->isPlaying());
    s->play(true);
    EXPECT_TRUE(s->isPlaying());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NEAR(s->getPosition(), 0.3, 0.1);
    s->stop();
    EXPECT_FALSE(s->isPlaying());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_NEAR(s->getPosition(), 0.5, 0.1);
    EXPECT_EQ(s->getPlayCursor(), 0u);
    EXPECT_FALSE(s->clone());
    EXPECT_TRUE(static_cast<SilentSound*>(s.get())->reset());
    EXPECT_FALSE(s->isPlaying());
}

TEST(SilentSound, OneShotEndsWhenItsStreamWouldHave) {
    SilentSound s(0.15);
    s.play(false);
    EXPECT_TRUE(s.isPlaying());
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_FALSE(s.isPlaying());
}

TEST(NullSoundDevice, ListsItsSoundsUntilTheyAreDeleted) {
    NullSoundDevice device;
    EXPECT_EQ(device.getVolume(), 1.0f);
    std::unique_ptr<Sound> a(device.createSound(nullptr, SOUND_STATIC));
    std::unique_ptr<Sound> b(device.createSound(nullptr, SOUND_STATIC | SOUND_3D));
    EXPECT_EQ(device.getSoundCount(), 2u);
    b->play(true);
    EXPECT_TRUE(device.isAnyPlaying());
    a.reset();
    EXPECT_EQ(device.getSoundCount(), 1u);
    EXPECT_TRUE(device.stopAll());
    EXPECT_FALSE(device.isAnyPlaying());
}

TEST(NullSoundDevice, SoundsOutlivingTheirDeviceCanStillBeDeleted) {
    auto device = std::make_unique<NullSoundDevice>();
    std::unique_ptr<Sound> s(device->createSound(nullptr, SOUND_STATIC));
    device.reset();
    EXPECT_TRUE(s->play(false));
    s.reset();
}

namespace {

class DirectSoundDeviceKinds : public SoundLoopback {};

} // namespace

TEST_F(DirectSoundDeviceKinds, FlagsChooseTheKindOfSound) {
    SampleStream* mono = stream("m.wav", wave16(1, RATE, sine(20000, 1, RATE, 440, 0.5)));
    auto* staticSound = dynamic_cast<SoundBuffer*>(sound(mono, SOUND_STATIC | SOUND_3D));
    ASSERT_NE(staticSound, nullptr);
    EXPECT_EQ(dynamic_cast<StreamSoundBuffer*>(staticSound), nullptr);
    EXPECT_EQ(staticSound->getSize(), 40000u);
    EXPECT_EQ(staticSound->get3DParameters().mode, sys::AUDIO_3D_NORMAL);
    auto* streamed = dynamic_cast<StreamSoundBuffer*>(sound(stream("s.wav", wave16(1, RATE, {1, 2})), 3));
    ASSERT_NE(streamed, nullptr);
    EXPECT_EQ(streamed->getChunkBytes(), 10000u);
    EXPECT_EQ(streamed->getChunkCount(), 8u);
    EXPECT_EQ(streamed->getSize(), 80000u);
    EXPECT_NE(dynamic_cast<SilentSound*>(sound(mono, SOUND_SILENT)), nullptr);
    EXPECT_EQ(m_device->getSoundCount(), 3u);
}

TEST_F(DirectSoundDeviceKinds, MissingStreamStillGivesASilentSound) {
    Sound* s = sound(nullptr, SOUND_STATIC | SOUND_3D);
    ASSERT_NE(dynamic_cast<SilentSound*>(s), nullptr);
    EXPECT_TRUE(s->play(false));
    EXPECT_EQ(m_device->getSoundCount(), 1u);
}

TEST_F(DirectSoundDeviceKinds, DeletedSoundsLeaveTheDevice) {
    SampleStream* mono = stream("m.wav", wave16(1, RATE, sine(2000, 1, RATE, 440, 0.5)));
    Sound* s = sound(mono, SOUND_STATIC);
    sound(mono, SOUND_STATIC)->play(true);
    s->play(true);
    EXPECT_EQ(m_device->getSoundCount(), 2u);
    m_sounds.erase(m_sounds.begin());
    EXPECT_EQ(m_device->getSoundCount(), 1u);
    EXPECT_TRUE(m_device->isAnyPlaying());
    EXPECT_TRUE(m_device->stopAll());
    EXPECT_FALSE(m_device->isAnyPlaying());
}

TEST_F(DirectSoundDeviceKinds, ListenerFactorsAndPlaceAreKept) {
    m_device->setListenerFactors(2.0f, 1.0f, 0.5f);
    m_device->setListener(1, 2, 3, 0, 0, 1, 0, 1, 0, 0, 0, 0);
    m_device->commit();
    const sys::AudioListenerParameters& l = m_device->getListener();
    EXPECT_EQ(l.distanceFactor, 2.0f);
    EXPECT_EQ(l.dopplerFactor, 1.0f);
    EXPECT_EQ(l.rolloffFactor, 0.5f);
    EXPECT_EQ(l.position.z, 3.0f);
    EXPECT_EQ(l.top.y, 1.0f);
}

TEST_F(DirectSoundDeviceKinds, ListenerTurnedAroundSwapsTheChannels) {
    Sound* s = sound(stream("m.wav", wave16(1, RATE, sine(RATE, 1, RATE, 440, 0.5))), SOUND_STATIC | SOUND_3D);
    ASSERT_NE(s, nullptr);
    s->set3D(50, 0, 0, 1, 0, 0, 0, 0, 0);
    m_device->setListener(0, 0, 0, 0, 0, -1, 0, 1, 0, 0, 0, 0);
    m_device->commit();
    s->play(true);
    std::vector<float> out = render(RATE / 8);
    EXPECT_GT(rms(out, 0, 0, RATE / 8), 2.0 * rms(out, 1, 0, RATE / 8));
}
