#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"
#include "engine/platform/images/ImageLoaders.h"
#include "engine/platform/images/PixelRows.h"

namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool readFully(File* file, void* buffer, uint32_t count) { return file->readFully(buffer, count) == count; }

// Seeks only within the file, so a position from a damaged header reads as a truncated file.
bool seekWithin(File* file, uint64_t position) {
    return position <= file->getSize() && file->seek(static_cast<uint32_t>(position));
}

constexpr uint32_t FILE_HEADER_BYTES = 14;
// The oldest information header with 32-bit sizes; later ones (108, 124 bytes) only add fields.
constexpr uint32_t INFO_HEADER_BYTES = 40;
constexpr uint32_t BI_RGB = 0;

struct Closer {
    File* file;
    ~Closer() { file->close(); }
};

struct Releaser {
    void operator()(Image* image) const { image->release(); }
};

} // namespace

Image* loadBMP(const char* name, File* file, bool bottomUp) {
    if (!file->open(name)) return nullptr;
    Closer closer{file};
    std::unique_ptr<Image, Releaser> image(new Image(name));

    uint8_t header[FILE_HEADER_BYTES + INFO_HEADER_BYTES];
    if (!readFully(file, header, sizeof header)) {
        reportError("loadBMP: Truncated BMP file\n");
        return nullptr;
    }
    const uint16_t type = u16(header);
    if (type != 0x4D42) {
        reportError(formatStatic("loadBMP: Unknown file type: %x\n", type));
        return nullptr;
    }
    const uint32_t pixelOffset = u32(header + 10);
    const uint32_t infoBytes = u32(header + 14);
    const int32_t width = static_cast<int32_t>(u32(header + 18));
    const int32_t height = static_cast<int32_t>(u32(header + 22));
    const uint16_t bits = u16(header + 28);
    const uint32_t compression = u32(header + 30);
    uint32_t colours = u32(header + 46);
    if (infoBytes < INFO_HEADER_BYTES) {
        reportError(formatStatic("loadBMP: Unknown BMP header size: %u\n", infoBytes));
        return nullptr;
    }
    if (bits != 8 && bits != 24) {
        reportError(formatStatic("loadBMP: Wrong BMP color depth: %d bit\n", bits));
        return nullptr;
    }
    // Run-length rows read as raw ones draw noise; bit fields do not apply to 8 or 24 bits.
    if (compression != BI_RGB) {
        reportError(formatStatic("loadBMP: Compressed BMP not supported: %u\n", compression));
        return nullptr;
    }
    if (colours == 0) colours = 256;
    // The palette holds 256 entries at most; top-down (negative height) files are not read.
    if (bits == 8 && colours > 256) {
        reportError(formatStatic("loadBMP: Wrong BMP palette size: %u\n", colours));
        return nullptr;
    }
    if (!image->allocate(width, height)) {
        reportError(formatStatic("loadBMP: Wrong BMP size: %d x %d\n", width, height));
        return nullptr;
    }

    uint8_t palette[1024] = {};
    const uint64_t paletteStart = uint64_t(FILE_HEADER_BYTES) + infoBytes;
    const uint32_t paletteBytes = bits == 8 ? colours * 4 : 0;
    // An offset inside the headers or the palette (some writers leave 0) means right behind them.
    const uint64_t rowStart = std::max<uint64_t>(pixelOffset, paletteStart + paletteBytes);
    if (!seekWithin(file, paletteStart) || !readFully(file, palette, paletteBytes) || !seekWithin(file, rowStart)) {
        reportError("loadBMP: Truncated BMP file\n");
        return nullptr;
    }
    const uint32_t pixelBytes = static_cast<uint32_t>(width) * (bits / 8);
    const uint32_t padding = bits == 8 ? (4 - width % 4) % 4 : width % 4;
    std::vector<uint8_t> row(pixelBytes + padding);
    uint32_t* pixels = image->getPixels();
    for (int32_t n = 0; n < height; ++n) {
        if (!readFully(file, row.data(), static_cast<uint32_t>(row.size()))) {
            reportError("loadBMP: Truncated BMP file\n");
            return nullptr;
        }
        uint32_t* out = pixels + static_cast<size_t>(bottomUp ? n : height - 1 - n) * width;
        if (bits == 8)
            pixelrows::fromPalette(out, row.data(), static_cast<uint32_t>(width), palette);
        else
            pixelrows::fromBgr(out, row.data(), static_cast<uint32_t>(width));
    }
    return image.release();
}
