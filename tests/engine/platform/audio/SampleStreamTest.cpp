#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "engine/platform/audio/OggVorbisStream.h"
#include "engine/platform/audio/SoundBuffer.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/WaveStream.h"
#include "tests/engine/platform/audio/SoundFixtures.h"
#include "sys/Pi.h"
#include "sys/sound/AudioOutput.h"
#include "tests/support/LogCapture.h"

using namespace soundtest;

namespace {

class SampleStreamFiles : public ::testing::Test {
protected:
    SampleStream* load(const std::string& name, const std::string& bytes) {
        m_files[name] = bytes;
        m_loaded.reset(loadSampleStream(m_source, name.c_str()));
        return m_loaded.get();
    }
    std::string ogg(uint32_t frames, uint16_t channels = 1) {
        return oggVorbis(channels, 22050, frames, [](uint32_t i, int c) {
            return static_cast<float>(0.5 * std::sin(2.0 * PI_DOUBLE * 300.0 * (c + 1) * i / 22050.0));
        });
    }
    std::map<std::string, std::string> m_files;
    MemoryFile m_source{&m_files};
    std::unique_ptr<SampleStream> m_loaded;
};

} // namespace

TEST_F(SampleStreamFiles, PicksTheKindByExtensionIgnoringCase) {
    std::string oggFile = ogg(4000);
    EXPECT_NE(dynamic_cast<OggVorbisStream*>(load("Engine.OGG", oggFile)), nullptr);
    EXPECT_NE(dynamic_cast<OggVorbisStream*>(load("engine.ogg", oggFile)), nullptr);
    EXPECT_NE(dynamic_cast<WaveStream*>(load("horn.WaV", wave16(1, 22050, sine(100, 1, 22050, 440, 0.5)))), nullptr);
    EXPECT_EQ(load("x.mp3", oggFile), nullptr);
    EXPECT_EQ(load("gg", oggFile), nullptr);
    EXPECT_EQ(m_loaded.get(), nullptr);
    EXPECT_EQ(loadSampleStream(m_source, "missing.wav"), nullptr);
    EXPECT_EQ(loadSampleStream(m_source, nullptr), nullptr);
}

TEST_F(SampleStreamFiles, WaveReadsFormatAndDataPastOtherChunks) {
    std::vector<int16_t> samples = sine(1000, 2, 44100, 440, 0.5);
    std::string body = chunk("fmt ", formatBody(1, 2, 44100, 16) + std::string(2, '\0')) +
                       chunk("LIST", "INFOsome") + chunk("data", pcmBytes(samples));
    SampleStream* s = load("d:\\Vantorik\\sound\\horn.wav", riff(body));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getName(), "d:\\Vantorik\\sound\\horn.wav");
    EXPECT_EQ(s->channels(), 2);
    EXPECT_EQ(s->sampleRate(), 44100);
    EXPECT_EQ(s->bitsPerSample(), 16);
    EXPECT_EQ(s->getSize(), 4000u);
    EXPECT_NEAR(s->getDuration(), 1000.0 / 44100.0, 1e-6);
    EXPECT_EQ(readAll(*s, 1u << 20), samples);
}

TEST_F(SampleStreamFiles, WaveRefusesFloatBrokenAndUnfinishedFiles) {
    std::string data = chunk("data", pcmBytes(sine(100, 1, 8000, 440, 0.5)));
    EXPECT_EQ(load("f.wav", riff(chunk("fmt ", formatBody(3, 1, 8000, 32)) + data)), nullptr);
    EXPECT_EQ(load("n.wav", "RIFF\4\0\0\0AVI LIST"), nullptr);
    // A format chunk too small for its record.
    EXPECT_EQ(load("s.wav", riff(chunk("fmt ", formatBody(1, 1, 8000, 16).substr(0, 8)) + data)), nullptr);
    // No data chunk: the walk ends at the file's end.
    EXPECT_EQ(load("e.wav", riff(chunk("fmt ", formatBody(1, 1, 8000, 16)) + chunk("LIST", "abcd"))), nullptr);
    // A chunk claiming more than the file holds.
    std::string huge = chunk("fmt ", formatBody(1, 1, 8000, 16)) + "junk";
    putU32(huge, 0xfffffff0u);
    EXPECT_EQ(load("h.wav", riff(huge + data)), nullptr);
    EXPECT_EQ(load("z.wav", riff(chunk("fmt ", formatBody(1, 1, 8000, 16)) + chunk("data", ""))), nullptr);
}

TEST_F(SampleStreamFiles, WaveDataShorterThanItsSizeKeepsOnlyWhatIsThere) {
    std::string body = chunk("fmt ", formatBody(1, 1, 8000, 16)) + "data";
    putU32(body, 100000);
    body += std::string(600, '\x11');
    SampleStream* s = load("short.wav", riff(body));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getSize(), 600u);
    EXPECT_EQ(readAll(*s, 1u << 20).size(), 300u);
}

TEST_F(SampleStreamFiles, WaveDurationOfSubByteSamplesIsZeroNotInfinite) {
    SampleStream* s = load("b.wav", riff(chunk("fmt ", formatBody(1, 1, 8000, 4)) + chunk("data", "abcd")));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getDuration(), 0.0);
}

TEST_F(SampleStreamFiles, LoopingWaveStartsOverAfterTheEnd) {
    std::vector<int16_t> samples(3000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(i);
    SampleStream* s = load("loop.wav", wave16(1, 8000, samples));
    ASSERT_NE(s, nullptr);
    std::vector<int16_t> piece(2048);
    EXPECT_EQ(s->read(piece.data(), 4096), 4096);
    EXPECT_EQ(s->read(piece.data(), 4096), 6000 - 4096);
    EXPECT_EQ(s->read(piece.data(), 4096), 0);
    s->setLoop(true);
    ASSERT_EQ(s->read(piece.data(), 4096), 4096);
    EXPECT_EQ(piece[0], 0);
    EXPECT_EQ(piece[2047], 2047);
    s->setPosition(1u << 30);
    s->setLoop(false);
    EXPECT_EQ(s->read(piece.data(), 4096), 0);
}

TEST_F(SampleStreamFiles, AWavesCopyPlaysTheSameSamplesFromTheStartOnItsOwnWhileAnOggHasNone) {
    std::vector<int16_t> samples(1000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(3 * i + 1);
    SampleStream* s = load("hit.wav", wave16(2, 11025, samples));
    ASSERT_NE(s, nullptr);
    s->setLoop(true);
    std::vector<int16_t> head(10);
    ASSERT_EQ(s->read(head.data(), 20), 20);
    std::unique_ptr<SampleStream> copy = s->copy();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getName(), "hit.wav");
    EXPECT_EQ(copy->channels(), 2);
    EXPECT_EQ(copy->sampleRate(), 11025);
    EXPECT_EQ(copy->bitsPerSample(), 16);
    EXPECT_EQ(copy->getSize(), s->getSize());
    EXPECT_DOUBLE_EQ(copy->getDuration(), s->getDuration());
    EXPECT_FALSE(copy->getLoop()) << "a copy starts as a fresh load does";
    EXPECT_EQ(readAll(*copy, 2000), samples) << "from the start, whatever the original has read";
    std::vector<int16_t> next(1);
    ASSERT_EQ(s->read(next.data(), 2), 2);
    EXPECT_EQ(next[0], samples[10]) << "the original reads on where it was";
    EXPECT_EQ(load("m.ogg", ogg(100))->copy(), nullptr);
}

TEST_F(SampleStreamFiles, OggReportsFormatSizeAndDuration) {
    SampleStream* s = load("m.ogg", ogg(22050, 2));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->channels(), 2);
    EXPECT_EQ(s->sampleRate(), 22050);
    EXPECT_EQ(s->bitsPerSample(), 16);
    EXPECT_EQ(s->getSize(), 22050u * 4);
    EXPECT_NEAR(s->getDuration(), 1.0, 1e-6);
    EXPECT_EQ(readAll(*s, s->getSize()).size(), 22050u * 2);
}

TEST_F(SampleStreamFiles, LoopingOggContinuesWithItsFirstSamples) {
    SampleStream* s = load("l.ogg", ogg(5000));
    ASSERT_NE(s, nullptr);
    std::vector<int16_t> first = readAll(*s, 10000);
    ASSERT_EQ(first.size(), 5000u);
    s->setLoop(true);
    std::vector<int16_t> again = readAll(*s, 4000);
    ASSERT_GE(again.size(), 2000u);
    for (size_t i = 0; i < 2000; ++i) ASSERT_NEAR(again[i], first[i], 1) << i;
}

TEST_F(SampleStreamFiles, FinishedOggGivesSilenceOfTheAskedLength) {
    SampleStream* s = load("f.ogg", ogg(3000));
    ASSERT_NE(s, nullptr);
    readAll(*s, 1u << 20);
    std::vector<uint8_t> piece(4096, 0x55);
    EXPECT_EQ(s->read(piece.data(), 4096), 4096);
    EXPECT_TRUE(std::all_of(piece.begin(), piece.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(SampleStreamFiles, OggRefusesWhatIsNotVorbis) {
    EXPECT_EQ(load("w.ogg", wave16(1, 8000, sine(100, 1, 8000, 440, 0.5))), nullptr);
    EXPECT_EQ(load("e.ogg", ""), nullptr);
}

TEST(OggVorbisStreamImage, SeekRefusesPastTheEndAndAcceptsFromTheEnd) {
    std::map<std::string, std::string> files;
    files["s.ogg"] = oggVorbis(1, 8000, 2000, [](uint32_t i, int) { return 0.1f * std::sin(i * 0.1f); });
    MemoryFile source(&files);
    std::unique_ptr<OggVorbisStream> s(OggVorbisStream::load(source, "s.ogg"));
    ASSERT_NE(s, nullptr);
    long size = static_cast<long>(files["s.ogg"].size());
    EXPECT_EQ(s->seekImage(1, SEEK_END), -1);
    EXPECT_EQ(s->seekImage(-4, SEEK_END), 0);
    EXPECT_EQ(s->tellImage(), size - 4);
    EXPECT_EQ(s->seekImage(-size - 1, SEEK_CUR), -1);
    EXPECT_EQ(s->tellImage(), size - 4);
    EXPECT_EQ(s->seekImage(size + 1, SEEK_SET), -1);
    EXPECT_EQ(s->seekImage(10, 7), 0);
    EXPECT_EQ(s->tellImage(), size - 4);
    uint8_t bytes[8];
    EXPECT_EQ(s->readImage(bytes, 3, 2), 1u);
    EXPECT_EQ(s->readImage(bytes, 1, 8), 1u);
    EXPECT_EQ(s->readImage(bytes, 1, 8), 0u);
    EXPECT_EQ(s->readImage(bytes, 0, 8), 0u);
}

namespace {

// How often a text is in another.
size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

} // namespace

TEST_F(SampleStreamFiles, DamagedAndCutFilesPlayWhatIsLeftAndEveryProblemIsLoggedOnce) {
    const uint32_t frames = 22050 * 3;
    uint32_t seed = 12726;
    // Noise-like, so the audio pages and not the headers fill the file.
    std::string good = oggVorbis(1, 22050, frames, [&](uint32_t, int) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
    });
    std::vector<int16_t> whole = readAll(*load("good.ogg", good), frames * 2);
    ASSERT_EQ(whole.size(), frames);
    std::string damaged = good;
    std::mt19937 noise(7);
    for (size_t i = 0; i < 400; ++i) damaged[damaged.size() / 5 + i] = static_cast<char>(noise());
    LogCapture log;
    SampleStream* s = load("damaged.ogg", damaged);
    ASSERT_NE(s, nullptr);
    s->setLoop(true);
    std::vector<int16_t> twice = readAll(*s, static_cast<uint32_t>(whole.size() * 4 - 4000));
    // Past the hole the file decodes to its end; looping, it meets the hole twice.
    size_t pass = 0;
    while (pass < twice.size() / 2 && !std::equal(whole.end() - 1000, whole.end(), twice.begin() + pass)) ++pass;
    ASSERT_LT(pass, twice.size() / 2) << "the end of the file is never heard";
    EXPECT_GT(pass + 1000, whole.size() / 2);
    EXPECT_NE(log.text().find("sound file damaged.ogg plays only in part: damaged"), std::string::npos) << log.text();
    EXPECT_EQ(occurrences(log.text(), "damaged.ogg"), 1u) << log.text();

    ASSERT_NE(load("cut.ogg", good.substr(0, good.size() * 7 / 10)), nullptr);
    EXPECT_NE(log.text().find("sound file cut.ogg plays only in part: truncated"), std::string::npos) << log.text();
    std::string deep = riff(chunk("fmt ", formatBody(1, 1, 22050, 24)) + chunk("data", std::string(3000, '\x40')));
    SampleStream* wide = load("deep.wav", deep);
    ASSERT_NE(wide, nullptr);
    std::unique_ptr<sys::AudioOutput> output(sys::AudioOutput::openLoopback(22050));
    ASSERT_NE(output, nullptr);
    SoundBuffer buffer;
    EXPECT_FALSE(buffer.create(output.get(), wide, wide->getSize(), false));
    EXPECT_NE(log.text().find("sound file deep.wav cannot be played: 24-bit samples"), std::string::npos) << log.text();
    EXPECT_EQ(load("float.wav", riff(chunk("fmt ", formatBody(3, 1, 22050, 32)) + chunk("data", "abcd"))), nullptr);
    EXPECT_NE(log.text().find("sound file float.wav cannot be played: format tag 3"), std::string::npos) << log.text();
    EXPECT_EQ(load("none.ogg", "RIFF but no Ogg at all"), nullptr);
    EXPECT_NE(log.text().find("sound file none.ogg cannot be played: not Ogg Vorbis"), std::string::npos) << log.text();
    EXPECT_EQ(occurrences(log.text(), "good.ogg"), 0u) << log.text();
}
