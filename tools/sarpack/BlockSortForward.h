#pragma once
#include <cstdint>

#include "engine/platform/ByteBuffer.h"

// Forward stages of the archive's block sorting; the inverses live in the engine.
// Returns the primary index: the row of the end sentinel among the sorted rotations.
uint32_t forwardBwt(const ByteBuffer& input, ByteBuffer& output);
void forwardMoveToFront(const ByteBuffer& input, ByteBuffer& output);
