#include <gtest/gtest.h>

#include <thread>

#include "engine/platform/Random.h"

// The first values of the unseeded rule: state 1, state * 214013 + 2531011,
// bits 16 to 30 of each new state.
TEST(Random, FirstValuesFollowTheUnseededRule) {
    Random::reset();
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected) EXPECT_EQ(Random::next(), value);
}

TEST(Random, ResetStartsTheSequenceAgain) {
    Random::reset();
    int first = Random::next();
    Random::next();
    Random::reset();
    EXPECT_EQ(Random::next(), first);
}

TEST(Random, StaysWithinFifteenBitsOverAFullCycleSample) {
    Random::reset();
    int highest = 0;
    for (int i = 0; i < 200000; ++i) {
        int value = Random::next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, Random::MAX);
        if (value > highest) highest = value;
    }
    EXPECT_GT(highest, 32000);
}

TEST(Random, EachThreadStartsUnseeded) {
    Random::reset();
    Random::next();
    int other = 0;
    std::thread([&] { other = Random::next(); }).join();
    EXPECT_EQ(other, 41);
}
