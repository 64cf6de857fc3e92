#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/platform/archive/BlockSort.h"
#include "engine/platform/archive/BwtRoom.h"
#include "engine/platform/archive/FrequencyModel.h"
#include "engine/platform/archive/RangeDecoder.h"
#include "tools/sarpack/BlockSortForward.h"
#include "tools/sarpack/RangeEncoder.h"

namespace {

ByteBuffer bytes(const std::string& s) {
    ByteBuffer b;
    b.resize(static_cast<uint32_t>(s.size()));
    if (!s.empty()) std::memcpy(b.data(), s.data(), s.size());
    return b;
}

std::string str(const ByteBuffer& b) { return std::string(reinterpret_cast<const char*>(b.data()), b.size()); }

std::string noise(size_t n, uint32_t seed) {
    std::string s(n, '\0');
    for (char& c : s) {
        seed = seed * 214013u + 2531011u;
        c = static_cast<char>(seed >> 16);
    }
    return s;
}

} // namespace

TEST(FrequencyModel, FreshArchiveModelAndItsFirstRescale) {
    FrequencyModel m;
    m.init(257, 1);
    EXPECT_EQ(m.total(), 257u);
    for (int i = 0; i < 3; ++i) m.update(7);
    EXPECT_EQ(m.count(7), 4u);
    EXPECT_EQ(m.cumulative(8), 8u + 3u);
    for (int i = 0; i < 16127 - 4; ++i) m.update(200);
    EXPECT_EQ(m.total(), 16383u);
    m.update(200);
    EXPECT_EQ(m.count(7), 2u);
    EXPECT_EQ(m.count(0), 1u);
    uint32_t expected = 0;
    for (uint32_t s = 0; s < 257; ++s) expected += m.count(s);
    EXPECT_EQ(m.total(), expected);
}

TEST(FrequencyModel, FindInvertsCumulative) {
    FrequencyModel m;
    m.init(257, 1);
    for (uint32_t i = 0; i < 5000; ++i) m.update((i * 37) % 257 == 0 ? 256 : (i * i) % 251);
    for (uint32_t s = 0; s < 257; ++s) {
        uint32_t below = 0;
        // Each count worth `unit`: the symbol's whole scaled share finds it.
        for (uint32_t unit : {1u, 7u, 4096u}) {
            EXPECT_EQ(m.find(unit * m.cumulative(s), unit, below), s);
            EXPECT_EQ(below, m.cumulative(s));
            EXPECT_EQ(m.find(unit * (m.cumulative(s) + m.count(s)) - 1, unit, below), s);
        }
    }
}

TEST(RangeDecoder, OnlyTheEndSymbolDecodesToNothing) {
    ByteBuffer packed, out("leftover");
    rangeEncode(bytes(""), packed);
    RangeDecoder::decode(packed, out);
    EXPECT_EQ(out.size(), 0u);
}

TEST(RangeDecoder, RoundTripsTextAndNoise) {
    for (const std::string& s : {std::string("ab"), std::string(70000, 'q'), noise(100000, 9),
                                 std::string("LWSC\n3\n\nFirstFrame 1\nLastFrame 60\n")}) {
        ByteBuffer packed, out;
        rangeEncode(bytes(s), packed);
        RangeDecoder::decode(packed, out);
        EXPECT_EQ(str(out), s);
    }
}

TEST(RangeDecoder, RanksTurnBackIntoBytesAsTheyAreDecoded) {
    std::string s = noise(30000, 5) + std::string(3000, 'm') + "banana bandana";
    ByteBuffer ranks, packed, out;
    forwardMoveToFront(bytes(s), ranks);
    rangeEncode(ranks, packed);
    MoveToFrontTable table;
    RangeDecoder::decode(packed, out, UINT64_MAX, &table);
    EXPECT_EQ(str(out), s);
}

// A block-sorted member large enough to have its ranks turned and its steps
// counted on another thread: a buffer the right size, one that must grow
// under way (the block sort then builds its steps itself), a cut stream and
// a limit.
TEST(RangeDecoder, LargeMembersTurnTheirRanksAndCountStepsBesideTheDecoding) {
    std::string s;
    for (uint32_t seed = 1; s.size() < (3u << 19); ++seed) s += noise(40000, seed) + std::string(seed * 97, 'z');
    const uint32_t n = static_cast<uint32_t>(s.size());
    ByteBuffer sorted, ranks, packed;
    const uint32_t primary = forwardBwt(bytes(s), sorted);
    forwardMoveToFront(sorted, ranks);
    rangeEncode(ranks, packed);
    for (uint32_t presized : {n, 1u << 20}) {
        ByteBuffer out;
        out.resize(presized);
        MoveToFrontTable table;
        BwtRoom room(presized);
        RangeDecoder::decode(packed, out, UINT64_MAX, &table, room.counter());
        EXPECT_TRUE(str(out) == str(sorted)) << "buffer of " << presized;
        EXPECT_EQ(room.counter()->complete(n), presized == n);
        ASSERT_TRUE(inverseBwt(out, primary, &room));
        EXPECT_TRUE(str(out) == s) << "buffer of " << presized;
    }
    ByteBuffer cut = packed, out;
    cut.resize(packed.size() / 2);
    out.resize(n);
    MoveToFrontTable table, again;
    BwtRoom room(n);
    EXPECT_THROW(RangeDecoder::decode(cut, out, UINT64_MAX, &table, room.counter()), RangeDecoder::Error);
    out.resize(n);
    EXPECT_THROW(RangeDecoder::decode(packed, out, n - 1, &again), RangeDecoder::Error);
}

TEST(RangeDecoder, StreamWithoutEndSymbolThrows) {
    ByteBuffer packed, out;
    rangeEncode(bytes(std::string(5000, 'a')), packed);
    packed.resize(packed.size() / 2);
    EXPECT_THROW(RangeDecoder::decode(packed, out), RangeDecoder::Error);
}

TEST(RangeDecoder, OutputLimitStopsARunawayStream) {
    ByteBuffer packed, out;
    rangeEncode(bytes(std::string(4000, 'r')), packed);
    EXPECT_THROW(RangeDecoder::decode(packed, out, 100), RangeDecoder::Error);
    EXPECT_NO_THROW(RangeDecoder::decode(packed, out, 4000));
}

TEST(MoveToFront, RanksMoveToFrontOrSecondPlace) {
    ByteBuffer out = bytes(std::string("\x01\x01", 2));
    inverseMoveToFront(out);
    EXPECT_EQ(str(out), std::string("\x01\x00", 2));

    MoveToFrontTable t;
    EXPECT_EQ(t.promote(0), 0);
    EXPECT_EQ(t.promote(2), 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(t.table), 4), std::string("\x00\x02\x01\x03", 4));
    out = bytes(std::string("\x00\x02", 2));
    inverseMoveToFront(out);
    EXPECT_EQ(str(out), std::string("\x00\x02", 2));
}

TEST(MoveToFront, ForwardAndInverseRoundTrip) {
    std::string s = noise(20000, 3) + std::string(500, 'k') + "banana bandana";
    ByteBuffer ranks;
    forwardMoveToFront(bytes(s), ranks);
    inverseMoveToFront(ranks);
    EXPECT_EQ(str(ranks), s);
}

TEST(Bwt, ForwardMatchesSortedRotationsWithSentinel) {
    // banana$: sorted rotations end in a n n b $ a a; the sentinel's row is 4.
    ByteBuffer last;
    uint32_t primary = forwardBwt(bytes("banana"), last);
    EXPECT_EQ(str(last), "annbaa");
    EXPECT_EQ(primary, 4u);
    ASSERT_TRUE(inverseBwt(last, primary));
    EXPECT_EQ(str(last), "banana");
}

TEST(Bwt, SentinelInTheLastRowIsValid) {
    ByteBuffer last;
    uint32_t primary = forwardBwt(bytes("ba"), last);
    EXPECT_EQ(primary, 2u);
    ASSERT_TRUE(inverseBwt(last, primary));
    EXPECT_EQ(str(last), "ba");
}

TEST(Bwt, RoundTripsManyShapes) {
    for (const std::string& s : {std::string("a"), std::string(1000, 'x'), noise(50000, 1),
                                 std::string("abababababababab"), std::string("zyxwvutsrq")}) {
        ByteBuffer last;
        uint32_t primary = forwardBwt(bytes(s), last);
        ASSERT_TRUE(inverseBwt(last, primary));
        EXPECT_EQ(str(last), s);
    }
}

TEST(Bwt, RejectsImpossiblePrimaryIndexes) {
    ByteBuffer block = bytes("annbaa");
    EXPECT_FALSE(inverseBwt(block, 0));
    EXPECT_FALSE(inverseBwt(block, 7));
    block = bytes("");
    ASSERT_TRUE(inverseBwt(block, 0));
    EXPECT_EQ(block.size(), 0u);
}

TEST(Bwt, ArbitraryInputNeverReadsOutside) {
    // Any bytes with any index either decode to something or fail; never overrun.
    for (uint32_t seed = 1; seed < 200; ++seed) {
        std::string s = noise(1 + seed % 40, seed);
        for (uint32_t p = 1; p <= s.size(); ++p) {
            ByteBuffer block = bytes(s);
            inverseBwt(block, p);
        }
    }
}

TEST(Bwt, LargeMembersWalkInPiecesToTheSameResult) {
    // Past the cache-sized limit the inverse walks many chains at once, and
    // past a mebibyte it walks them on several threads.
    std::string s = noise(700000, 11) + std::string(300000, 'z') + noise(200000, 12);
    ByteBuffer last;
    uint32_t primary = forwardBwt(bytes(s), last);
    ByteBuffer out = last;
    ASSERT_TRUE(inverseBwt(out, primary));
    EXPECT_TRUE(str(out) == s);
    // A damaged index breaks the single cycle; that must fail, not overrun.
    for (uint32_t p : {1u, primary / 2, primary + 1, static_cast<uint32_t>(s.size())})
        if (p != primary) {
            out = last;
            EXPECT_FALSE(inverseBwt(out, p) && str(out) == s);
        }
    for (uint32_t size : {150000u, 1200000u}) {
        ByteBuffer scrambled = bytes(noise(size, 13));
        EXPECT_NO_FATAL_FAILURE(inverseBwt(scrambled, 77777));
    }
}
