#pragma once
#include <cstdint>

// The checksum every record of "config.dat" and "highscore.dat" carries. It
// folds in only the first word (once per whole word) and the first
// length % 4 bytes; the stored files depend on exactly that.
uint32_t recordChecksum(const void* data, uint32_t length);

// Entry i of the most-significant-bit-first CRC-32 table of 0x04C11DB7.
uint32_t recordChecksumTableEntry(uint8_t i);
