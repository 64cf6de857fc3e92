#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "engine/platform/Report.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/images/ImageLoaders.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/TempDir.h"

namespace {

struct Le {
    std::string s;
    Le& u8(int v) {
        s.push_back(static_cast<char>(v));
        return *this;
    }
    Le& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Le& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
};

// How a writer lays out a BMP: the information header's size (image editors write 108 or
// 124 bytes), bytes between the palette and the rows, and the compression field.
struct BmpLayout {
    uint32_t infoBytes = 40;
    uint32_t gap = 0;
    uint32_t compression = 0;
};

// A BMP with the palette (8 bit) right behind the two headers, rows bottom first.
std::string bmp(int32_t width, int32_t height, int bits, const std::vector<uint8_t>& rows, uint32_t colours = 0,
                const std::vector<uint8_t>& palette = {}, BmpLayout layout = {}) {
    Le b;
    b.u16(0x4D42).u32(0).u32(0).u32(14 + layout.infoBytes + static_cast<uint32_t>(palette.size()) + layout.gap);
    b.u32(layout.infoBytes).u32(static_cast<uint32_t>(width)).u32(static_cast<uint32_t>(height)).u16(1).u16(bits);
    b.u32(layout.compression).u32(0).u32(0).u32(0).u32(colours).u32(0);
    // The later headers' colour masks and colour space ("sRGB"), the rest zero.
    if (layout.infoBytes > 40) b.u32(0xFF0000).u32(0xFF00).u32(0xFF).u32(0).u32(0x73524742);
    b.s.resize(14 + layout.infoBytes, '\0');
    b.s.append(palette.begin(), palette.end());
    b.s.append(layout.gap, '\x5A');
    b.s.append(rows.begin(), rows.end());
    return b.s;
}

std::string jpeg(int width, int height, int components, J_COLOR_SPACE space) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = width;
    c.image_height = height;
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < components; ++k)
                row[x * components + k] = static_cast<uint8_t>(y < height / 2 ? (k == 0 ? 250 : 10) : (x * 37 + y * 11) & 0xFF);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string s(reinterpret_cast<char*>(out), size);
    std::free(out);
    return s;
}

class Loaders : public ReportCapture<1> {
protected:
    Image* load(const std::string& name, const std::string& bytes, bool bottomUp = true) {
        m_paths.push_back(m_dir.write(name, bytes));
        return loadImage(m_paths.back().c_str(), &m_disk, bottomUp);
    }
    std::string error() const { return g_lastErrorText.text(); }

    TempDir m_dir;
    DiskFile m_disk{""};
    std::vector<std::string> m_paths;
};

struct ImageRef {
    Image* image;
    ~ImageRef() {
        if (image) image->release();
    }
};

} // namespace

TEST_F(Loaders, EightBitBmpReadsPaletteAndSkipsRowPadding) {
    // 3 wide: one padding byte per row; the palette has two entries (colours used 2).
    std::vector<uint8_t> palette = {0, 0, 255, 0, 255, 0, 0, 0};
    std::vector<uint8_t> rows = {0, 1, 0, 0xEE, 1, 1, 1, 0xEE};
    ImageRef ref{load("p.bmp", bmp(3, 2, 8, rows, 2, palette))};
    ASSERT_NE(ref.image, nullptr);
    EXPECT_EQ(ref.image->getWidth(), 3);
    const uint32_t* p = ref.image->getPixels();
    EXPECT_EQ(p[0], 0xFFFF0000u);
    EXPECT_EQ(p[1], 0xFF0000FFu);
    EXPECT_EQ(p[3], 0xFF0000FFu);
}

TEST_F(Loaders, TwentyFourBitBmpRowOrderFollowsBottomUp) {
    // 1 wide: 3 bytes of pixel and 1 of padding per row; bottom row blue, top row red.
    std::vector<uint8_t> rows = {255, 0, 0, 0, 0, 0, 255, 0};
    ImageRef up{load("c.BMP", bmp(1, 2, 24, rows), true)};
    ImageRef down{load("d.Bmp", bmp(1, 2, 24, rows), false)};
    ASSERT_NE(up.image, nullptr);
    ASSERT_NE(down.image, nullptr);
    EXPECT_EQ(up.image->getPixels()[0], 0xFF0000FFu);
    EXPECT_EQ(up.image->getPixels()[1], 0xFFFF0000u);
    EXPECT_EQ(down.image->getPixels()[0], 0xFFFF0000u);
}

TEST_F(Loaders, ColoursUsedZeroMeansAFullPalette) {
    std::vector<uint8_t> palette(1024, 0);
    palette[4 * 200 + 1] = 77;
    std::vector<uint8_t> rows = {200, 0, 0, 0};
    ImageRef ref{load("full.bmp", bmp(1, 1, 8, rows, 0, palette))};
    ASSERT_NE(ref.image, nullptr);
    EXPECT_EQ(ref.image->getPixels()[0], 0xFF004D00u);
}

TEST_F(Loaders, BmpWithALaterInformationHeaderReadsLikeTheOldLayout) {
    // 2 x 2, 24 bit: a different colour in every pixel, so a shift shows.
    std::vector<uint8_t> rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    ImageRef plain{load("plain.bmp", bmp(2, 2, 24, rows))};
    ASSERT_NE(plain.image, nullptr);
    const std::vector<uint32_t> expected(plain.image->getPixels(), plain.image->getPixels() + 4);
    EXPECT_EQ(expected[0], 0xFF030201u);
    for (BmpLayout layout : {BmpLayout{108}, BmpLayout{124}, BmpLayout{124, 6}}) {
        ImageRef later{load("later.bmp", bmp(2, 2, 24, rows, 0, {}, layout))};
        ASSERT_NE(later.image, nullptr) << layout.infoBytes;
        EXPECT_EQ(std::vector<uint32_t>(later.image->getPixels(), later.image->getPixels() + 4), expected)
            << layout.infoBytes << " " << layout.gap;
    }
    // The palette follows the header it belongs to.
    std::vector<uint8_t> palette = {0, 0, 255, 0, 255, 0, 0, 0};
    ImageRef indexed{load("p.bmp", bmp(1, 1, 8, {1, 0, 0, 0}, 2, palette, BmpLayout{124, 2}))};
    ASSERT_NE(indexed.image, nullptr);
    EXPECT_EQ(indexed.image->getPixels()[0], 0xFF0000FFu);
    // A pixel-data offset of 0 leaves the rows right behind the palette, as they always were.
    std::string unset = bmp(1, 1, 8, {1, 0, 0, 0}, 2, palette);
    unset.replace(10, 4, 4, '\0');
    ImageRef behind{load("unset.bmp", unset)};
    ASSERT_NE(behind.image, nullptr);
    EXPECT_EQ(behind.image->getPixels()[0], 0xFF0000FFu);
    EXPECT_EQ(error(), "");
}

TEST_F(Loaders, CompressedBmpIsRefusedWithAMessage) {
    // RLE8: a run of two index-1 pixels, end of line, end of picture.
    std::vector<uint8_t> palette = {0, 0, 255, 0, 255, 0, 0, 0};
    EXPECT_EQ(load("rle.bmp", bmp(2, 1, 8, {2, 1, 0, 0, 0, 1}, 2, palette, BmpLayout{40, 0, 1})), nullptr);
    EXPECT_EQ(error(), "loadBMP: Compressed BMP not supported: 1\n");
    EXPECT_EQ(load("fields.bmp", bmp(1, 1, 24, {1, 2, 3, 0}, 0, {}, BmpLayout{108, 0, 3})), nullptr);
    EXPECT_EQ(error(), "loadBMP: Compressed BMP not supported: 3\n");
}

TEST_F(Loaders, BrokenBmpsFailWithAMessage) {
    std::vector<uint8_t> rows(16, 0);
    EXPECT_EQ(load("a.bmp", "BX" + bmp(1, 1, 24, rows).substr(2)), nullptr);
    EXPECT_EQ(error(), "loadBMP: Unknown file type: 5842\n");
    EXPECT_EQ(load("b.bmp", bmp(1, 1, 16, rows)), nullptr);
    EXPECT_EQ(error(), "loadBMP: Wrong BMP color depth: 16 bit\n");
    EXPECT_EQ(load("c.bmp", bmp(1, 1, 8, rows, 300, std::vector<uint8_t>(1200))), nullptr);
    EXPECT_EQ(error(), "loadBMP: Wrong BMP palette size: 300\n");
    EXPECT_EQ(load("d.bmp", bmp(-4, 1, 24, rows)), nullptr);
    EXPECT_EQ(error(), "loadBMP: Wrong BMP size: -4 x 1\n");
    EXPECT_EQ(load("e.bmp", bmp(1, -2, 24, rows)), nullptr);
    EXPECT_EQ(load("f.bmp", bmp(100000, 100000, 24, rows)), nullptr);
    EXPECT_EQ(load("g.bmp", bmp(8, 8, 24, rows)), nullptr);
    EXPECT_EQ(error(), "loadBMP: Truncated BMP file\n");
    EXPECT_EQ(load("h.bmp", "BM"), nullptr);
    // An OS/2 header keeps its sizes in 16 bits: not read as a 40-byte one.
    std::string os2 = bmp(1, 1, 24, rows);
    os2[14] = 12;
    EXPECT_EQ(load("i.bmp", os2), nullptr);
    EXPECT_EQ(error(), "loadBMP: Unknown BMP header size: 12\n");
    std::string farOff = bmp(1, 1, 24, rows);
    farOff.replace(10, 4, "\xF0\xFF\xFF\xFF", 4);
    EXPECT_EQ(load("j.bmp", farOff), nullptr);
    EXPECT_EQ(error(), "loadBMP: Truncated BMP file\n");
}

TEST_F(Loaders, OnlyBmpAndJpgEndingsAreLoaded) {
    std::string picture = jpeg(8, 8, 3, JCS_RGB);
    EXPECT_EQ(load("x.jpeg", picture), nullptr);
    EXPECT_EQ(load("x.png", picture), nullptr);
    ImageRef ref{load("x.JPG", picture)};
    EXPECT_NE(ref.image, nullptr);
    EXPECT_EQ(loadImage("missing.bmp", &m_disk, true), nullptr);
    EXPECT_EQ(error(), "");
}

TEST_F(Loaders, JpegDecodesColourAndGreyTopDownOrBottomUp) {
    ImageRef colour{load("c.jpg", jpeg(16, 16, 3, JCS_RGB), false)};
    ASSERT_NE(colour.image, nullptr);
    uint32_t top = colour.image->getPixels()[0];
    EXPECT_EQ(top >> 24, 0xFFu);
    EXPECT_GT((top >> 16) & 0xFF, 230u);
    EXPECT_LT(top & 0xFF, 40u);
    ImageRef flipped{load("f.jpg", jpeg(16, 16, 3, JCS_RGB), true)};
    EXPECT_GT((flipped.image->getPixels()[16 * 15] >> 16) & 0xFF, 230u);

    ImageRef grey{load("g.jpg", jpeg(8, 8, 1, JCS_GRAYSCALE), true)};
    ASSERT_NE(grey.image, nullptr);
    uint32_t g = grey.image->getPixels()[0];
    EXPECT_EQ(g >> 24, 0xFFu);
    EXPECT_EQ((g >> 16) & 0xFF, g & 0xFF);
}

TEST_F(Loaders, CmykJpegIsRefused) {
    EXPECT_EQ(load("k.jpg", jpeg(8, 8, 4, JCS_CMYK)), nullptr);
    EXPECT_EQ(error(), "Wrong non-grayscale JPEG color depth: 32 bit");
}

TEST_F(Loaders, EmptyAndDamagedJpegsReportInsteadOfCrashing) {
    EXPECT_EQ(load("empty.jpg", ""), nullptr);
    EXPECT_EQ(error().rfind("JPEG: ", 0), 0u);
    EXPECT_NE(error().find("Empty input file"), std::string::npos);

    std::string picture = jpeg(128, 128, 3, JCS_RGB);
    ImageRef truncated{load("t.jpg", picture.substr(0, picture.size() * 3 / 4))};
    EXPECT_NE(truncated.image, nullptr) << error();

    std::string garbage = picture;
    for (size_t i = 20; i < garbage.size(); i += 7) garbage[i] = static_cast<char>(garbage[i] ^ 0x5A);
    ImageRef broken{load("b.jpg", garbage)};
    (void)broken;
    EXPECT_EQ(load("n.jpg", "not a jpeg at all"), nullptr);
    EXPECT_EQ(error().rfind("JPEG: ", 0), 0u);
}

TEST_F(Loaders, FileDataKeepsTheBytesRoundedUpToWords) {
    std::string path = m_dir.write("blob.bin", "12345");
    FileData* data = loadFileData(path.c_str(), &m_disk);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->getSize(), 5u);
    // Read as words, the last one ends in zeros.
    EXPECT_EQ(std::memcmp(data->getData(), "12345\0\0\0", 8), 0);
    EXPECT_EQ(data->asImage(), nullptr);
    data->release();
    EXPECT_EQ(loadFileData("nothing", &m_disk), nullptr);
}

namespace {

std::string pcxHeader(int16_t ymin, int16_t ymax, int16_t bytesPerLine) {
    std::string h(128, '\0');
    h[0] = 10;
    auto put = [&h](int at, int16_t v) {
        h[at] = static_cast<char>(v & 0xFF);
        h[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    put(6, ymin);
    put(10, ymax);
    put(66, bytesPerLine);
    return h;
}

} // namespace

TEST_F(Loaders, PcxRunsLiteralsAndPalette) {
    std::string body = "\xC3\x07\xC0\x09\x05\x06";
    std::string palette(768, '\x11');
    std::string path = m_dir.write("m.pcx", pcxHeader(0, 0, 5) + body + "\x0C" + palette);
    PcxImage record{};
    ASSERT_TRUE(loadPCX(path.c_str(), &m_disk, &record));
    ASSERT_NE(record.pixels, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(record.pixels), 5), std::string("\x07\x07\x07\x05\x06", 5));
    EXPECT_EQ(record.palette[767], 0x11);
    std::free(record.pixels);
}

TEST_F(Loaders, BrokenPcxFilesFailAndLeaveTheRecord) {
    PcxImage record{};
    record.palette[0] = 42;
    for (const std::string& bytes : {std::string("tiny"), pcxHeader(5, 1, 3), pcxHeader(0, 1, -3),
                                     pcxHeader(0, 30000, 30000)}) {
        std::string path = m_dir.write("bad.pcx", bytes);
        EXPECT_FALSE(loadPCX(path.c_str(), &m_disk, &record));
        EXPECT_EQ(record.pixels, nullptr);
        EXPECT_EQ(record.palette[0], 42);
    }
    // A run cut by the end of the pixels and data ending early stay inside the buffers.
    std::string path = m_dir.write("cut.pcx", pcxHeader(0, 0, 2) + "\xFF\x01\xC5");
    ASSERT_TRUE(loadPCX(path.c_str(), &m_disk, &record));
    EXPECT_EQ(record.pixels[1], 1);
    std::free(record.pixels);
}
