#include "tools/demodata/tracks/PcxWriter.h"

namespace {

void put2(std::string& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

// Runs of up to 63; a lone byte of 0xC0 or more needs a run of one.
void encodeLine(std::string& out, const uint8_t* line, int length) {
    int x = 0;
    while (x < length) {
        uint8_t value = line[x];
        int run = 1;
        while (x + run < length && run < 63 && line[x + run] == value) ++run;
        if (run > 1 || value >= 0xC0) out.push_back(static_cast<char>(0xC0 | run));
        out.push_back(static_cast<char>(value));
        x += run;
    }
}

} // namespace

std::string writePcx(const ByteGrid& grid) {
    std::array<uint8_t, 768> palette{};
    for (int i = 0; i < 256; ++i) palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<uint8_t>(i);
    return writePcx(grid, palette);
}

std::string writePcx(const ByteGrid& grid, const std::array<uint8_t, 768>& palette) {
    const int width = grid.width();
    const int lineBytes = width + (width & 1);
    std::string out;
    out.push_back(0x0A); // manufacturer
    out.push_back(5);    // version
    out.push_back(1);    // run-length encoded
    out.push_back(8);    // bits per pixel
    put2(out, 0);
    put2(out, 0);
    put2(out, width - 1);
    put2(out, grid.height() - 1);
    put2(out, 72);
    put2(out, 72);
    out.append(48, '\0'); // 16-colour palette, unused
    out.push_back(0);
    out.push_back(1); // planes
    put2(out, lineBytes);
    put2(out, 1); // colour palette
    put2(out, 0);
    put2(out, 0);
    out.append(128 - out.size(), '\0');
    std::vector<uint8_t> line(lineBytes, 0);
    for (int y = 0; y < grid.height(); ++y) {
        for (int x = 0; x < width; ++x) line[x] = grid.at(x, y);
        encodeLine(out, line.data(), lineBytes);
    }
    out.push_back(0x0C);
    out.append(reinterpret_cast<const char*>(palette.data()), palette.size());
    return out;
}
