#pragma once
#include "engine/platform/ByteBuffer.h"

// The exact inverse of the archive's range decoder: the same adaptive model,
// the bytes, then the end symbol.
void rangeEncode(const ByteBuffer& input, ByteBuffer& output);
