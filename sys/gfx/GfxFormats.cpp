#include "sys/gfx/GfxTypes.h"

namespace sys::gfx {

namespace {

uint32_t bitsPerPixel(uint32_t format) {
    switch (format) {
    case FMT_A8: case FMT_L8: return 8;
    case FMT_R5G6B5: case FMT_X1R5G5B5: case FMT_A1R5G5B5: case FMT_A4R4G4B4: case FMT_X4R4G4B4:
    case FMT_A8L8: case FMT_V8U8: case FMT_L16: case FMT_R16F: case FMT_D16: case FMT_D16_LOCKABLE:
    case FMT_D15S1: return 16;
    case FMT_R8G8B8: return 24;
    case FMT_A16B16G16R16: case FMT_A16B16G16R16F: case FMT_G32R32F: return 64;
    case FMT_A32B32G32R32F: return 128;
    default: return 32;
    }
}

} // namespace

bool isCompressedFormat(uint32_t format) {
    return format == FMT_DXT1 || format == FMT_DXT2 || format == FMT_DXT3 || format == FMT_DXT4 ||
           format == FMT_DXT5;
}

bool isDepthFormat(uint32_t format) {
    return format >= FMT_D16_LOCKABLE && format <= FMT_D24FS8 && format != FMT_L16;
}

uint32_t formatRowBytes(uint32_t format, uint32_t width) {
    if (isCompressedFormat(format)) return ((width + 3) / 4) * (format == FMT_DXT1 ? 8 : 16);
    return width * bitsPerPixel(format) / 8;
}

uint32_t formatRowCount(uint32_t format, uint32_t height) {
    return isCompressedFormat(format) ? (height + 3) / 4 : height;
}

} // namespace sys::gfx
