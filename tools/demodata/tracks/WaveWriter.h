#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A 16-bit mono PCM WAVE file.
std::string writeWave(const std::vector<int16_t>& samples, int rate);
