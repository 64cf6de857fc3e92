#include <gtest/gtest.h>

#include <string>

#include "engine/platform/animation/Envelope.h"
#include "engine/scene/loaders/SceneEnvelopeReader.h"
#include "engine/scene/loaders/SceneFileState.h"
#include "engine/scene/loaders/SceneFileTokens.h"

namespace {

SceneFileTokens tokensOf(const std::string& text) {
    return SceneFileTokens(std::vector<char>(text.begin(), text.end()));
}

TEST(SceneFileTokens, QuotesAndHighBytesCutTokens) {
    SceneFileTokens t = tokensOf("\"my object.lwo\" \"\" a\xE4" "b \xE4" "c");
    ASSERT_EQ(t.count(), 4);
    EXPECT_STREQ(t.at(0), "my object.lwo");
    EXPECT_STREQ(t.at(1), "");
    EXPECT_STREQ(t.at(2), "a\xE4" "b");
    EXPECT_STREQ(t.at(3), "c");
}

TEST(SceneFileTokens, ReadersPastTheEndGiveNothing) {
    SceneFileTokens t = tokensOf("{ { 5");
    t.skipBlock();
    EXPECT_TRUE(t.atEnd());
    EXPECT_EQ(t.readInt(), 0);
    EXPECT_EQ(t.readHex(), 0u);
    EXPECT_EQ(t.readKeyword(), "");
    EXPECT_EQ(t.readFileName(), "");
    t.back();
    EXPECT_STREQ(t.peek(), "5");
}

TEST(SceneFileTokens, DriveSeparatorIsAddedOnlyWhereMissing) {
    EXPECT_EQ(SceneFileState::withDriveSeparator("D:pics/sky.png", '/'), "D:/pics/sky.png");
    EXPECT_EQ(SceneFileState::withDriveSeparator("D:\\pics\\sky.png", '/'), "D:\\pics\\sky.png");
    EXPECT_EQ(SceneFileState::withDriveSeparator("D:", '/'), "D:/");
    EXPECT_EQ(SceneFileState::withDriveSeparator("sky.png", '/'), "sky.png");
}

TEST(SceneEnvelopeReader, EnvelopeValueKeepsTcbLinearAndSteppedKeysOnly) {
    SceneFileTokens t = tokensOf("(envelope) { Envelope 3 Key 90 0 0 0.5 0 -0.5 0 0 0 Key 5 1 1 0 0 0 1 1 0 "
                                 "Key 7 2 3 0 0 0 0 0 0 Behaviors 1 4 } next");
    AnimatedValue value;
    SceneEnvelopeReader(t).readEnvelopeValue(value, true);
    EXPECT_STREQ(t.peek(), "4");
    Envelope* envelope = value.channel ? value.channel->asEnvelope() : nullptr;
    ASSERT_NE(envelope, nullptr);
    ASSERT_EQ(envelope->getKeyCount(), 2u);
    EXPECT_NEAR(envelope->getKeys()[0].value, 1.5707964f, 1e-6f);
    EXPECT_FLOAT_EQ(envelope->getKeys()[0].tension, 0.5f);
    EXPECT_FLOAT_EQ(envelope->getKeys()[0].bias, -0.5f);
    EXPECT_EQ(envelope->m_postBehaviour, 4);
    value.clearChannel();
}

TEST(SceneEnvelopeReader, MotionSkipsChannelsTheItemDoesNotHave) {
    SceneFileTokens t = tokensOf("NumChannels 2 Channel 12 { Envelope 1 Key 9 0 0 0 0 0 0 0 0 Behaviors 1 1 } "
                                 "Channel 1 { Envelope 1 Key 2.5 0 0 0 0 0 0 0 0 Behaviors 1 1 } end");
    AnimatedValue channels[9];
    SceneEnvelopeReader(t).readMotion(channels);
    EXPECT_FLOAT_EQ(channels[1].constant, 2.5f);
    EXPECT_EQ(channels[1].channel, nullptr);
    EXPECT_STREQ(t.peek(), "end");
}

} // namespace
