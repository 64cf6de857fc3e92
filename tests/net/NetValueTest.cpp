#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/platform/Report.h"
#include "net/NetValue.h"

namespace {

class NetValueTest : public ::testing::Test {
protected:
    void TearDown() override {
        g_reportLevel = 0;
        g_reportToLog = false;
    }
    NetControl m_client;
};

template <typename T>
void receive(NetValue<T>& value, const T& copy) {
    value.setData(reinterpret_cast<const uint8_t*>(&copy), sizeof copy);
}

} // namespace

TEST_F(NetValueTest, SettingTheCurrentValueDoesNotMarkChanged) {
    NetValue<int> value(m_client);
    value.init(20, 5);
    value = 5;
    EXPECT_FALSE(value.isChanged());
    EXPECT_EQ(value.set(6), 6);
    EXPECT_TRUE(value.isChanged());
}

TEST_F(NetValueTest, NanCountsAsChangedEveryTime) {
    NetValue<float> value(m_client);
    float nan = std::numeric_limits<float>::quiet_NaN();
    value = nan;
    value.commit();
    value = nan;
    EXPECT_TRUE(value.isChanged());
}

TEST_F(NetValueTest, FloatSignedZeroIsEqualButMatrixSignedZeroIsAChange) {
    NetValue<float> scalar(m_client);
    scalar = 0.0f;
    scalar.commit();
    scalar = -0.0f;
    EXPECT_FALSE(scalar.isChanged());

    NetValue<Matrix4x3> matrix(m_client);
    Matrix4x3 m = matrix.get();
    m.m[4] = -0.0f;
    matrix = m;
    EXPECT_TRUE(matrix.isChanged());
}

TEST_F(NetValueTest, MatrixChangeOfOneByteIsAChange) {
    NetValue<Matrix4x3> matrix(m_client);
    Matrix4x3 m = matrix.get();
    reinterpret_cast<uint8_t*>(m.m)[37] ^= 1;
    matrix = m;
    EXPECT_TRUE(matrix.isChanged());
}

TEST_F(NetValueTest, StartsZeroedWithTheMatrixAffineColumnSet) {
    NetValue<Position3> position(m_client);
    EXPECT_EQ(position.get().x, 0.0f);
    EXPECT_EQ(position.get().z, 0.0f);
    position = Position3{0, 0, 0};
    EXPECT_FALSE(position.isChanged());
    NetValue<Matrix4x3> matrix(m_client);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(matrix.get().m[i], 0.0f) << i;
    EXPECT_EQ(matrix.get().m[15], 1.0f);
    EXPECT_EQ(matrix.getNid(), -1);
    EXPECT_EQ(matrix.getFlags(), 3u);
}

TEST_F(NetValueTest, ReceiveOnlyValueNeverMarksItselfChanged) {
    NetValue<int> value(m_client);
    value.setFlags(NetValueBase::FLAG_RECEIVE);
    value = 42;
    EXPECT_EQ(value.get(), 42);
    EXPECT_FALSE(value.isChanged());
    value.modify();
    EXPECT_FALSE(value.isChanged());
}

TEST_F(NetValueTest, ReceivedCopyBecomesCurrentOnlyAtCommit) {
    NetValue<Normal3> value(m_client);
    receive(value, Normal3{1, 2, 3});
    EXPECT_EQ(value.get().y, 0.0f);
    value.commit();
    EXPECT_EQ(value.get().y, 2.0f);
    EXPECT_FALSE(value.isChanged());
}

TEST_F(NetValueTest, SendOnlyValueIgnoresReceivedCopies) {
    NetValue<int> value(m_client);
    value.setFlags(NetValueBase::FLAG_SEND);
    value = 3;
    receive(value, 9);
    value.commit();
    EXPECT_EQ(value.get(), 3);
}

TEST_F(NetValueTest, LocalChangeAndReceivedCopyInOneFrameEndWithTheReceivedCopy) {
    NetValue<int> value(m_client);
    value = 3;
    receive(value, 9);
    EXPECT_EQ(*reinterpret_cast<const int*>(value.data()), 3);
    value.commit();
    EXPECT_EQ(value.get(), 9);
    EXPECT_FALSE(value.isChanged());
}

TEST_F(NetValueTest, BoolPayloadOtherThanOneReadsTrue) {
    NetValue<bool> value(m_client);
    uint8_t byte = 0x7E;
    value.setData(&byte, 1);
    value.commit();
    EXPECT_TRUE(value.get());
    EXPECT_EQ(*value.data(), 1);
}

TEST_F(NetValueTest, ShortPayloadFillsOnlyItsBytesAndLongOneIsCut) {
    NetValue<int> value(m_client);
    uint8_t bytes[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    value.setData(bytes, sizeof bytes);
    value.commit();
    EXPECT_EQ(value.get(), 0x44332211);
    value.setData(bytes + 4, 1);
    value.commit();
    EXPECT_EQ(value.get(), 0x44332255);
}

TEST_F(NetValueTest, SecondValueWithTheSameNidReportsTheAssertion) {
    g_reportLevel = 3;
    g_reportToLog = true;
    g_lastErrorText.assignText("");
    NetValue<int> first(m_client);
    NetValue<int> second(m_client);
    first.init(100, 1);
    EXPECT_STREQ(g_lastErrorText.text(), "");
    second.init(100, 2);
    EXPECT_STREQ(g_lastErrorText.text(), "!NetControl::getInstance().getValueId(id)");
    EXPECT_EQ(m_client.getValueId(100), &first);
}

TEST_F(NetValueTest, DestroyingAValueWithoutNidUnregistersOnlyItself) {
    NetValue<int> kept(m_client);
    { NetValue<int> gone(m_client); }
    kept.init(7, 1);
    EXPECT_EQ(m_client.getValueId(7), &kept);
}

TEST_F(NetValueTest, NameIsEmptyUntilSet) {
    NetValue<bool> value(m_client);
    EXPECT_EQ(value.getName(), "");
    value.setName("m_finished");
    EXPECT_EQ(value.getName(), "m_finished");
}
