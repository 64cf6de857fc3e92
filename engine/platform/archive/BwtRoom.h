#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/platform/ByteBuffer.h"
#include "engine/platform/archive/StepCounter.h"

// The memory the inverse block sort of an `n`-byte member walks through,
// taken before the member is range-decoded, so that its pages can be faulted
// in on another thread meanwhile and their clearing stays off the decoding's path.
class BwtRoom {
public:
    explicit BwtRoom(uint32_t n);

    // Bytes a step of the walk takes for a member of n bytes.
    static size_t stepWidth(uint32_t n) { return n < (1u << 24) - 1 ? 4 : 8; }

    // Counts the steps into the room while the member is decoded; null for
    // members whose steps take 8 bytes.
    StepCounter* counter() { return m_counter.get(); }

    // The memory for n steps; empty when it was handed over before or was
    // taken for another size.
    ByteBuffer take(uint32_t n);
    // The memory before it is taken, to have its pages brought in.
    uint8_t* memory() { return m_memory.data(); }
    uint32_t memoryBytes() const { return m_memory.size(); }

private:
    uint32_t m_n;
    ByteBuffer m_memory;
    std::unique_ptr<StepCounter> m_counter;
};
