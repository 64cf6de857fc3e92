#pragma once
#include <cstddef>
#include <cstdint>

// One row of the constant format table. Components run A, R, G, B (for
// depth formats: stencil, depth); each packs bit count (bits 0-7), shift
// (bits 8-15: the component holds count * 2^shift bits) and kind (bits 16-31).
struct FormatDesc {
    uint32_t format;
    const char* name;
    uint32_t component[4];
    uint32_t bitsPerPixel;
    uint32_t flags;
};

enum FormatKind : uint32_t { FORMAT_KIND_UNSIGNED = 0, FORMAT_KIND_SIGNED = 1, FORMAT_KIND_FLOAT = 2 };

enum FormatFlag : uint32_t {
    FORMAT_DISPLAY = 0x1,
    FORMAT_DEPTH_STENCIL = 0x2,
    FORMAT_NOT_LOCKABLE = 0x4,
    FORMAT_MULTI_ELEMENT = 0x8,
    FORMAT_BGR_ORDER_OR_FLOAT = 0x10,
    FORMAT_UNUSUAL = 0x20,
    FORMAT_DXT4_DXT5 = 0x40,
    FORMAT_PALETTE = 0x80,
    FORMAT_CXV8U8 = 0x100,
    FORMAT_YUV = 0x200,
    FORMAT_PACKED_RGBG = 0x400,
    FORMAT_PREMULTIPLIED = 0x800,
};

constexpr uint32_t componentCount(uint32_t component) { return component & 0xFF; }
constexpr uint32_t componentShift(uint32_t component) { return (component >> 8) & 0xFF; }
constexpr uint32_t componentKind(uint32_t component) { return component >> 16; }

constexpr size_t FORMAT_DESC_COUNT = 72;
extern const FormatDesc g_formatDescs[FORMAT_DESC_COUNT];

// The row of a format, or null when the table has none.
const FormatDesc* findFormatDesc(uint32_t format);
