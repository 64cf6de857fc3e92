#include <gtest/gtest.h>

#include "engine/platform/Report.h"
#include "engine/platform/animation/AnimatedValue.h"
#include "engine/platform/animation/Envelope.h"
#include "engine/platform/animation/MotionMixer.h"

namespace {

Envelope linear(std::initializer_list<std::pair<float, float>> keys) {
    Envelope e;
    for (auto [time, value] : keys) e.addKeyLinear(value, time);
    return e;
}

} // namespace

TEST(Envelope, EmptyAndSingleKey) {
    Envelope none;
    EXPECT_EQ(none.evaluate(3.0), 0.0f);
    Envelope one;
    one.addKeyStepped(4.5f, 1.0f);
    one.m_preBehaviour = Envelope::RESET;
    one.m_postBehaviour = Envelope::LINEAR_EXTEND;
    EXPECT_EQ(one.evaluate(-10.0), 4.5f);
    EXPECT_EQ(one.evaluate(10.0), 4.5f);
}

TEST(Envelope, DefaultBehavioursHoldTheEndValues) {
    Envelope e = linear({{1, 2}, {3, 6}});
    EXPECT_EQ(e.evaluate(0.0), 2.0f);
    EXPECT_EQ(e.evaluate(9.0), 6.0f);
    EXPECT_FLOAT_EQ(e.evaluate(2.5), 5.0f);
}

TEST(Envelope, ResetRepeatAndOscillate) {
    Envelope e = linear({{0, 0}, {1, 10}});
    e.m_preBehaviour = Envelope::RESET;
    e.m_postBehaviour = Envelope::REPEAT;
    EXPECT_EQ(e.evaluate(-0.5), 0.0f);
    EXPECT_FLOAT_EQ(e.evaluate(2.25), 2.5f);
    e.m_postBehaviour = Envelope::OSCILLATE;
    EXPECT_FLOAT_EQ(e.evaluate(1.25), 7.5f); // odd cycle runs backwards
    EXPECT_FLOAT_EQ(e.evaluate(2.25), 2.5f);

    // The mirror stays inside the keys when they do not start at 0.
    Envelope late = linear({{2, 0}, {4, 8}});
    late.m_postBehaviour = Envelope::OSCILLATE;
    EXPECT_FLOAT_EQ(late.evaluate(4.5), 6.0f);
}

TEST(Envelope, RepeatOverAnEmptyRangeGivesTheFirstValue) {
    Envelope e = linear({{1, 3}, {1, 7}});
    e.m_postBehaviour = Envelope::REPEAT;
    EXPECT_FLOAT_EQ(e.evaluate(5.0), 3.0f);
}

TEST(Envelope, OffsetRepeatAddsTheRiseOfEachCycle) {
    Envelope e = linear({{0, 0}, {1, 2}});
    e.m_postBehaviour = Envelope::OFFSET_REPEAT;
    e.m_preBehaviour = Envelope::OFFSET_REPEAT;
    EXPECT_FLOAT_EQ(e.evaluate(2.5), 5.0f);
    EXPECT_FLOAT_EQ(e.evaluate(-0.5), -1.0f);
}

TEST(Envelope, LinearBehaviourExtendsTheEndTangents) {
    Envelope e = linear({{0, 0}, {1, 2}, {2, 3}});
    e.m_preBehaviour = Envelope::LINEAR_EXTEND;
    e.m_postBehaviour = Envelope::LINEAR_EXTEND;
    EXPECT_FLOAT_EQ(e.evaluate(-1.0), -2.0f);
    // The last key has no next key, so its incoming tangent is the plain rise 1.
    EXPECT_FLOAT_EQ(e.evaluate(3.0), 4.0f);
}

TEST(Envelope, KeyTimesGiveKeyValuesExactly) {
    Envelope e;
    e.addKeyTCB(1.0f, 0.0f, 0.3f, -0.2f, 0.5f);
    e.addKeyTCB(7.0f, 1.0f, 0.1f, 0.4f, -0.3f);
    e.addKeyTCB(-2.0f, 2.0f, 0, 0, 0);
    EXPECT_EQ(e.evaluate(1.0), 7.0f);
    EXPECT_EQ(e.evaluate(2.0), -2.0f);
}

TEST(Envelope, HermiteMidpointWeighsBothValuesEqually) {
    Envelope e;
    e.addKeyHermite(2.0f, 0.0f, 0.0f, 0.0f);
    e.addKeyHermite(4.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(e.evaluate(0.5), 3.0f);
    // Tangents: h3 = 0.125, h4 = -0.125 at t = 0.5.
    Envelope sloped;
    sloped.addKeyHermite(0.0f, 0.0f, 0.0f, 8.0f);
    sloped.addKeyHermite(0.0f, 1.0f, 4.0f, 0.0f);
    EXPECT_FLOAT_EQ(sloped.evaluate(0.5), 0.125f * 8.0f - 0.125f * 4.0f);
}

TEST(Envelope, TcbTensionOneFlattensBothTangents) {
    Envelope e;
    e.addKeyTCB(0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
    e.addKeyTCB(10.0f, 1.0f, 1.0f, 0.0f, 0.0f);
    // With zero tangents the curve is the smoothstep of the values.
    EXPECT_FLOAT_EQ(e.evaluate(0.25), 10.0f * (3 * 0.0625f - 2 * 0.015625f));
    Envelope loose;
    loose.addKeyTCB(0.0f, 0.0f, 0, 0, 0);
    loose.addKeyTCB(10.0f, 1.0f, 0, 0, 0);
    // Plain TCB ends take d as tangent: a straight line.
    EXPECT_FLOAT_EQ(loose.evaluate(0.25), 2.5f);
}

TEST(Envelope, TcbUsesNeighboursForItsTangents) {
    Envelope e;
    e.addKeyTCB(0.0f, 0.0f, 0, 0, 0);
    e.addKeyTCB(1.0f, 1.0f, 0, 0, 0);
    e.addKeyTCB(3.0f, 3.0f, 0, 0, 0);
    // Segment 1-3: outgoing = 2/3 * (1 + 2) = 2, incoming = 2 (no next key); a line.
    EXPECT_FLOAT_EQ(e.evaluate(2.0), 2.0f);
}

TEST(Envelope, SteppedAndBezier) {
    Envelope e;
    e.addKeyStepped(1.0f, 0.0f);
    e.addKeyStepped(5.0f, 1.0f);
    EXPECT_EQ(e.evaluate(0.99), 1.0f);

    // A symmetric 2D handle pair gives the middle value at the middle time.
    Envelope b;
    b.addKeyBezier2D(0.0f, 0.0f, -0.25f, 0.0f, 0.25f, 0.0f);
    b.addKeyBezier2D(10.0f, 1.0f, -0.25f, 0.0f, 0.25f, 0.0f);
    EXPECT_NEAR(b.evaluate(0.5), 5.0f, 1e-3f);
    EXPECT_LT(b.evaluate(0.1), 1.0f); // flat handles ease in
}

TEST(Envelope, TinyBezierHandleScalesTheTangentUp) {
    Envelope e;
    e.addKeyBezier2D(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.001f);
    e.addKeyLinear(1.0f, 1.0f);
    // The curve type of key1 picks the blend: a linear key ignores tangents.
    EXPECT_FLOAT_EQ(e.evaluate(0.5), 0.5f);
    Envelope h;
    h.addKeyBezier2D(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.001f);
    h.addKeyHermite(0.0f, 1.0f, 0.0f, 0.0f);
    // outgoing = 0.001 * 1 * 100000 = 100, weighed by h3 = 0.125 at t = 0.5.
    EXPECT_FLOAT_EQ(h.evaluate(0.5), 0.125f * 100.0f);
}

TEST(Envelope, DecreasingTimesGiveTheSameValues) {
    Envelope e;
    for (int i = 0; i < 6; ++i) e.addKeyTCB(static_cast<float>(i * i % 7), static_cast<float>(i), 0.2f, 0, 0);
    float forward[11];
    for (int i = 0; i <= 10; ++i) forward[i] = e.evaluate(i * 0.5);
    for (int i = 10; i >= 0; --i) EXPECT_EQ(e.evaluate(i * 0.5), forward[i]) << i;
}

TEST(Envelope, FindKeyLooksBackFromTheEnd) {
    Envelope e = linear({{0, 0}, {1, 1}, {2, 2}});
    EXPECT_EQ(e.findKey(1.5)->time, 1.0f);
    EXPECT_EQ(e.findKey(0.0)->time, 2.0f);
    Envelope none;
    EXPECT_EQ(none.findKey(1.0), nullptr);
}

TEST(MotionMixer, WeightsBlendMembersWithTheirOwnTime) {
    AnimatedValue value;
    value.constant = 3.0f;
    value.makeMotionMixer();
    MotionMixer* mixer = value.channel->asMotionMixer();
    ASSERT_NE(mixer, nullptr);
    EXPECT_EQ(mixer->getChannelCount(), 1u);
    EXPECT_FLOAT_EQ(value.evaluate(5.0), 3.0f);

    auto track = std::make_unique<Envelope>();
    track->addKeyLinear(0.0f, 0.0f);
    track->addKeyLinear(10.0f, 10.0f);
    mixer->addChannel(std::move(track));
    EXPECT_FLOAT_EQ(value.evaluate(4.0), 3.0f); // weight 0 passes the base through
    mixer->setIntensity(1, 1.0f);
    mixer->setOffset(1, 1.0f);
    EXPECT_FLOAT_EQ(value.evaluate(4.0), 3.0f);
    EXPECT_FLOAT_EQ(value.constant, 3.0f);
    mixer->setIntensity(1, 0.5f);
    // One active member with weight 0.5: half base, half member.
    EXPECT_FLOAT_EQ(value.evaluate(5.0), 3.0f * 0.5f + 4.0f * 0.5f);
    value.clearChannel();
}

TEST(MotionMixer, OutOfRangeIndexIsAnAssertionNotAWrite) {
    g_reportLevel = 3;
    g_reportToLog = true;
    g_lastErrorText.assignText("x");
    MotionMixer mixer;
    mixer.addChannel(std::make_unique<Envelope>());
    mixer.setIntensity(5, 1.0f);
    EXPECT_STREQ(g_lastErrorText.text(), "");
    mixer.setOffset(-1, 1.0f);
    g_reportLevel = 0;
    g_reportToLog = false;
}

TEST(AnimatedValue, MakeEnvelopeKeepsTheConstant) {
    AnimatedValue v;
    v.constant = 2.5f;
    EXPECT_EQ(v.evaluate(1.0), 2.5f);
    v.makeEnvelope();
    ASSERT_NE(v.channel, nullptr);
    Envelope* e = v.channel->asEnvelope();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->getKeyCount(), 1u);
    v.makeEnvelope();
    EXPECT_EQ(v.channel, e);
    EXPECT_EQ(v.evaluate(100.0), 2.5f);
    v.clearChannel();
}
