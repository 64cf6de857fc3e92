#include "tools/demodata/tracks/BmpWriter.h"

#include <cstdint>

namespace {

void put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::string writeBmp(const Picture& picture) {
    const uint32_t width = static_cast<uint32_t>(picture.width());
    const uint32_t height = static_cast<uint32_t>(picture.height());
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint32_t pixelOffset = 14 + 40;
    std::string out;
    out.reserve(pixelOffset + rowBytes * height);
    out += "BM";
    put(out, pixelOffset + rowBytes * height, 4);
    put(out, 0, 4);
    put(out, pixelOffset, 4);
    put(out, 40, 4);
    put(out, width, 4);
    put(out, height, 4);
    put(out, 1, 2);
    put(out, 24, 2);
    put(out, 0, 4); // no compression
    put(out, rowBytes * height, 4);
    put(out, 2835, 4);
    put(out, 2835, 4);
    put(out, 0, 4);
    put(out, 0, 4);
    for (int y = picture.height() - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Picture::Rgb& p = picture.at(x, y);
            out.push_back(static_cast<char>(Picture::byte(p.b)));
            out.push_back(static_cast<char>(Picture::byte(p.g)));
            out.push_back(static_cast<char>(Picture::byte(p.r)));
        }
        for (uint32_t pad = width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}
