#include "engine/platform/display/FormatDesc.h"

namespace {

constexpr uint32_t fourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t s(uint32_t bits) { return (FORMAT_KIND_SIGNED << 16) | bits; }
constexpr uint32_t f(uint32_t bits) { return (FORMAT_KIND_FLOAT << 16) | bits; }
constexpr uint32_t shifted(uint32_t component, uint32_t shift) { return component | (shift << 8); }

// The multi-element formats: digit 4 is 8 bits << 2, 2 a float16 << 1, 1 a float32.
constexpr uint32_t me(int digit) {
    return digit == 4 ? shifted(8, 2) : digit == 2 ? shifted(f(16), 1) : f(32);
}
#define MET(code, name, a, r, g, b) {fourCC('N', 'V', 'E', code), name, {me(a), me(r), me(g), me(b)}, 128, 0xC}

} // namespace

const FormatDesc g_formatDescs[FORMAT_DESC_COUNT] = {
    {20, "R8G8B8", {0, 8, 8, 8}, 24, 0},
    {21, "A8R8G8B8", {8, 8, 8, 8}, 32, 0x1},
    {22, "X8R8G8B8", {0, 8, 8, 8}, 32, 0x1},
    {23, "R5G6B5", {0, 5, 6, 5}, 16, 0x1},
    {24, "X1R5G5B5", {0, 5, 5, 5}, 16, 0x1},
    {25, "A1R5G5B5", {1, 5, 5, 5}, 16, 0x1},
    {26, "A4R4G4B4", {4, 4, 4, 4}, 16, 0},
    {27, "R3G3B2", {0, 3, 3, 2}, 8, 0},
    {28, "A8", {8, 0, 0, 0}, 8, 0},
    {29, "A8R3G3B2", {8, 3, 3, 2}, 16, 0},
    {30, "X4R4G4B4", {0, 4, 4, 4}, 16, 0},
    {31, "A2B10G10R10", {2, 10, 10, 10}, 32, 0x10},
    {32, "A8B8G8R8", {8, 8, 8, 8}, 32, 0x10},
    {33, "X8B8G8R8", {0, 8, 8, 8}, 32, 0x10},
    {34, "G16R16", {0, 16, 16, 0}, 32, 0x10},
    {35, "A2R10G10B10", {2, 10, 10, 10}, 32, 0x1},
    {36, "A16B16G16R16", {16, 16, 16, 16}, 64, 0x10},
    {40, "A8P8", {8, 8, 8, 8}, 16, 0xA0},
    {41, "P8", {0, 8, 8, 8}, 8, 0xA0},
    {50, "L8", {0, 8, 0, 0}, 8, 0},
    {51, "A8L8", {8, 8, 0, 0}, 16, 0},
    {52, "A4L4", {4, 4, 0, 0}, 8, 0},
    {60, "V8U8", {0, 0, s(8), s(8)}, 16, 0},
    {61, "L6V5U5", {0, 6, s(5), s(5)}, 16, 0},
    {62, "X8L8V8U8", {0, 8, s(8), s(8)}, 32, 0},
    {63, "Q8W8V8U8", {s(8), s(8), s(8), s(8)}, 32, 0},
    {64, "V16U16", {0, 0, s(16), s(16)}, 32, 0},
    {67, "A2W10V10U10", {2, s(10), s(10), s(10)}, 32, 0},
    {fourCC('U', 'Y', 'V', 'Y'), "UYVY", {0, 8, 8, 8}, 16, 0x220},
    {fourCC('R', 'G', 'B', 'G'), "R8G8_B8G8", {0, 8, 8, 8}, 16, 0x420},
    {fourCC('Y', 'U', 'Y', '2'), "YUY2", {0, 8, 8, 8}, 16, 0x220},
    {fourCC('G', 'R', 'G', 'B'), "G8R8_G8B8", {0, 8, 8, 8}, 16, 0x420},
    {fourCC('Y', 'V', '1', '2'), "YV12", {0, 8, 8, 8}, 12, 0x220},
    {fourCC('D', 'X', 'T', '1'), "DXT1", {1, 5, 6, 5}, 4, 0x20},
    {fourCC('D', 'X', 'T', '2'), "DXT2", {4, 5, 6, 5}, 8, 0x820},
    {fourCC('D', 'X', 'T', '3'), "DXT3", {4, 5, 6, 5}, 8, 0x20},
    {fourCC('D', 'X', 'T', '4'), "DXT4", {8, 5, 6, 5}, 8, 0x860},
    {fourCC('D', 'X', 'T', '5'), "DXT5", {8, 5, 6, 5}, 8, 0x60},
    {70, "D16_LOCKABLE", {0, 16, 0, 0}, 16, 0x2},
    {71, "D32", {0, 32, 0, 0}, 32, 0x6},
    {73, "D15S1", {1, 15, 0, 0}, 16, 0x6},
    {75, "D24S8", {8, 24, 0, 0}, 32, 0x6},
    {77, "D24X8", {0, 24, 0, 0}, 32, 0x6},
    {79, "D24X4S4", {4, 24, 0, 0}, 32, 0x6},
    {80, "D16", {0, 16, 0, 0}, 16, 0x6},
    {82, "D32F_LOCKABLE", {0, f(32), 0, 0}, 32, 0x2},
    {83, "D24FS8", {8, f(24), 0, 0}, 32, 0x6},
    {81, "L16", {0, 16, 0, 0}, 16, 0},
    {110, "Q16W16V16U16", {s(16), s(16), s(16), s(16)}, 64, 0},
    {fourCC('M', 'E', 'T', '1'), "MULTI2_ARGB8", {shifted(8, 2), shifted(8, 2), 0, 0}, 64, 0xC},
    MET('0', "MET_4_4_4_4_NV", 4, 4, 4, 4),
    MET('1', "MET_4_4_4_2_NV", 4, 4, 4, 2),
    MET('2', "MET_4_4_4_1_NV", 4, 4, 4, 1),
    MET('3', "MET_4_4_2_2_NV", 4, 4, 2, 2),
    MET('4', "MET_4_4_2_1_NV", 4, 4, 2, 1),
    MET('5', "MET_4_4_1_1_NV", 4, 4, 1, 1),
    MET('6', "MET_4_2_2_2_NV", 4, 2, 2, 2),
    MET('7', "MET_4_2_2_1_NV", 4, 2, 2, 1),
    MET('8', "MET_4_2_1_1_NV", 4, 2, 1, 1),
    MET('9', "MET_4_1_1_1_NV", 4, 1, 1, 1),
    MET('a', "MET_2_2_2_2_NV", 2, 2, 2, 2),
    MET('b', "MET_2_2_2_1_NV", 2, 2, 2, 1),
    MET('c', "MET_2_2_1_1_NV", 2, 2, 1, 1),
    MET('d', "MET_2_1_1_1_NV", 2, 1, 1, 1),
    MET('e', "MET_1_1_1_1_NV", 1, 1, 1, 1),
    {111, "R16F", {0, f(16), 0, 0}, 16, 0x10},
    {112, "G16R16F", {0, f(16), f(16), 0}, 32, 0x10},
    {113, "A16B16G16R16F", {f(16), f(16), f(16), f(16)}, 64, 0x10},
    {114, "R32F", {0, f(32), 0, 0}, 32, 0x10},
    {115, "G32R32F", {0, f(32), f(32), 0}, 64, 0x10},
    {116, "A32B32G32R32F", {f(32), f(32), f(32), f(32)}, 128, 0x10},
    {117, "CxV8U8", {0, s(8), s(8), s(8)}, 16, 0x120},
};

const FormatDesc* findFormatDesc(uint32_t format) {
    for (const FormatDesc& row : g_formatDescs)
        if (row.format == format) return &row;
    return nullptr;
}
