// Decoding speed of archive members: each stage alone and all three together,
// on 16 MiB of data shaped like the game's (text, geometry, pictures), and
// the whole decode of members of the sizes the game's assets have.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/platform/archive/BlockSort.h"
#include "engine/platform/archive/RangeDecoder.h"
#include "tools/sarpack/BlockSortForward.h"
#include "tools/sarpack/RangeEncoder.h"

namespace {

constexpr uint32_t MEMBER_SIZE = 16u << 20;

// A third scene text, a third float vertex records, a third picture rows.
const ByteBuffer& gameData() {
    static ByteBuffer data = [] {
        ByteBuffer b;
        b.resize(MEMBER_SIZE);
        uint8_t* p = b.data();
        uint32_t n = 0;
        uint32_t seed = 12345;
        auto next = [&seed] { return seed = seed * 214013u + 2531011u, (seed >> 16) & 0x7FFF; };
        while (n < MEMBER_SIZE / 3) {
            std::string line = "ObjectMotion\nNumChannels 9\nChannel " + std::to_string(next() % 9) +
                               "\n{ Envelope\n  Key " + std::to_string(next() % 1000 / 10.0) + " 0 0 0 0\n}\n";
            for (char c : line)
                if (n < MEMBER_SIZE / 3) p[n++] = static_cast<uint8_t>(c);
        }
        for (uint32_t i = 0; n + 12 <= 2 * MEMBER_SIZE / 3; ++i) {
            float v[3] = {std::sin(i * 0.01f) * 40.0f, std::floor(i / 97.0f) * 0.5f, std::cos(i * 0.013f) * 40.0f};
            std::memcpy(p + n, v, 12);
            n += 12;
        }
        for (uint32_t x = 0; n < MEMBER_SIZE; ++x) p[n++] = static_cast<uint8_t>((x % 1024) / 8 + (next() & 7));
        return b;
    }();
    return data;
}

void setRate(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * MEMBER_SIZE);
}

void RangeDecoding(benchmark::State& state) {
    ByteBuffer packed, out;
    rangeEncode(gameData(), packed);
    for (auto _ : state) RangeDecoder::decode(packed, out);
    setRate(state);
}

void InverseMoveToFront(benchmark::State& state) {
    ByteBuffer ranks, out;
    ByteBuffer sorted;
    forwardBwt(gameData(), sorted);
    forwardMoveToFront(sorted, ranks);
    for (auto _ : state) {
        out = ranks;
        inverseMoveToFront(out);
    }
    setRate(state);
}

void InverseBwt(benchmark::State& state) {
    ByteBuffer sorted, out;
    uint32_t primary = forwardBwt(gameData(), sorted);
    for (auto _ : state) {
        out = sorted;
        inverseBwt(out, primary);
    }
    setRate(state);
}

// The whole decode of a member of state.range(0) bytes cut from the game data.
void AllThreeStages(benchmark::State& state) {
    const uint32_t size = static_cast<uint32_t>(state.range(0));
    ByteBuffer member;
    member.resize(size);
    std::memcpy(member.data(), gameData().data(), size);
    ByteBuffer sorted, ranks, packed, out;
    uint32_t primary = forwardBwt(member, sorted);
    forwardMoveToFront(sorted, ranks);
    rangeEncode(ranks, packed);
    for (auto _ : state) {
        MoveToFrontTable table;
        RangeDecoder::decode(packed, out, UINT64_MAX, &table);
        inverseBwt(out, primary);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}

} // namespace

BENCHMARK(RangeDecoding)->Unit(benchmark::kMillisecond);
BENCHMARK(InverseMoveToFront)->Unit(benchmark::kMillisecond);
BENCHMARK(InverseBwt)->Unit(benchmark::kMillisecond);
BENCHMARK(AllThreeStages)->Arg(MEMBER_SIZE)->Arg(1 << 20)->Arg(256 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
