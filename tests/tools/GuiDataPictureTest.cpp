#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <string>

#include "tools/guidata/Canvas.h"
#include "tools/guidata/GuiData.h"
#include "tools/guidata/ImagesetBuilder.h"
#include "tools/guidata/LookBuilder.h"
#include "tools/guidata/TextPainter.h"

TEST(Canvas, PngHoldsThePaintedPixels) {
    Canvas c(5, 3, 0xFF102030);
    c.fillRect(1, 1, 2, 1, 0x80FFFFFF);
    c.fillRect(4, 0, 5, 5, 0);
    const std::string png = c.encodePng();
    int w = 0, h = 0, channels = 0;
    unsigned char* rgba = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()), int(png.size()),
                                                &w, &h, &channels, 4);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    auto at = [&](int x, int y) {
        const unsigned char* p = rgba + (y * w + x) * 4;
        return uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    };
    EXPECT_EQ(at(0, 0), 0xFF102030u);
    EXPECT_EQ(at(1, 1), 0x80FFFFFFu);
    EXPECT_EQ(at(4, 2), 0u);
    stbi_image_free(rgba);
}

TEST(Canvas, ShapesBlendOverWhatIsThere) {
    Canvas c(40, 40);
    c.fillDisc(20, 20, 10, 0xFFFF0000);
    EXPECT_EQ(c.pixel(20, 20), 0xFFFF0000u);
    EXPECT_EQ(c.pixel(2, 2), 0u);
    EXPECT_EQ(c.pixel(20, 34) >> 24, 0u);
    // A half-transparent stroke over the red disc keeps it opaque.
    c.drawLine(0, 20, 40, 20, 4, 0x800000FF);
    EXPECT_EQ(c.pixel(20, 20) >> 24, 0xFFu);
    EXPECT_NE(c.pixel(20, 20), 0xFFFF0000u);
    // Painting outside the picture is clipped, not a crash.
    c.fillTriangle(-50, -50, 100, -50, -50, 100, 0xFF00FF00);
    EXPECT_EQ(c.pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(c.greyscale().pixel(0, 0) & 0xFFu, (c.greyscale().pixel(0, 0) >> 8) & 0xFFu);
}

TEST(Canvas, SeeThroughShapesCoverEachPixelOnce) {
    Canvas c(60, 60);
    // A bent stroke: where it turns, its two legs must not lay the colour twice.
    c.drawPath({{5, 10}, {30, 30}, {55, 10}}, 8, 0x80FF0000);
    EXPECT_EQ(c.pixel(30, 30) >> 24, 0x80u);
    EXPECT_EQ(c.pixel(17, 20) >> 24, 0x80u);
    EXPECT_EQ(c.pixel(30, 5), 0u);
    // An arrow-shaped outline with a notch: filled inside, empty in the notch.
    c.fillPolygon({{10, 40}, {50, 40}, {50, 58}, {30, 48}, {10, 58}}, 0x80008000);
    EXPECT_EQ(c.pixel(20, 43), 0x80008000u);
    EXPECT_EQ(c.pixel(30, 55), 0u);
    // Half a pixel covered gives half the strength.
    Canvas edge(4, 4);
    edge.fillPolygon({{0, 0}, {1.5f, 0}, {1.5f, 4}, {0, 4}}, 0xFF0000FF);
    EXPECT_EQ(edge.pixel(0, 1) >> 24, 0xFFu);
    EXPECT_NEAR(double(edge.pixel(1, 1) >> 24), 128.0, 2.0);
    EXPECT_EQ(edge.pixel(2, 1) >> 24, 0u);
    // Shapes reaching far outside the picture are clipped.
    edge.fillPolygon({{-1000, -1000}, {1000, -1000}, {0, 1000}}, 0xFFFFFFFF);
    EXPECT_EQ(edge.pixel(3, 3), 0xFFFFFFFFu);
}

TEST(Canvas, CutsHolesAndShadesOverWhatIsThere) {
    Canvas c(40, 40, 0xFF204060);
    c.cutDisc(20, 20, 8);
    EXPECT_EQ(c.pixel(20, 20) >> 24, 0u);
    EXPECT_EQ(c.pixel(2, 2), 0xFF204060u);
    c.shadeRect(0, 0, 10, 10, 0x80000000);
    EXPECT_EQ(c.pixel(5, 5) >> 24, 0xFFu);
    EXPECT_NE(c.pixel(5, 5), 0xFF204060u);
    EXPECT_NE(c.pixel(5, 5) & 0xFF, 0u) << "shading darkens, it does not replace";
}

TEST(TextPainter, PaintsLettersWithinTheirAdvance) {
    std::ifstream in(std::string(GUI_FONT_FOLDER) + "DejaVuSans-Bold.ttf", std::ios::binary);
    const TextPainter bold(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_THROW(TextPainter("not a font"), std::runtime_error);
    const float width = bold.width("Moped", 40);
    EXPECT_GT(width, 80.0f);
    EXPECT_LT(width, 200.0f);
    EXPECT_GT(bold.width("Moped 2", 40), width);
    Canvas c(300, 80);
    bold.draw(c, "Moped", 20, 50, 40, 0xFFFFFFFF);
    int left = 300, right = 0, top = 80, bottom = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 300; ++x)
            if (c.pixel(x, y) >> 24) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                                     bottom = std::max(bottom, y);
    EXPECT_GE(left, 20);
    EXPECT_LE(right, 20 + int(width) + 1);
    EXPECT_LT(top, 25) << "capitals reach well above the baseline";
    EXPECT_GT(bottom, 50) << "the descender of p goes below it";
    // Cyrillic comes out too, white letters in a black outline.
    Canvas cyrillic(200, 60);
    bold.drawCentred(cyrillic, "Гонка", 100, 45, 40, 0xFFFFFFFF, 2, 0xFF000000);
    int white = 0, black = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            white += cyrillic.pixel(x, y) == 0xFFFFFFFFu;
            black += cyrillic.pixel(x, y) == 0xFF000000u;
        }
    EXPECT_GT(white, 200);
    EXPECT_GT(black, 200);
}

TEST(ImagesetBuilder, PicturesLieApartOnTheSheetWhereTheFileSays) {
    ImagesetBuilder set("Test");
    const uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF808080};
    for (int i = 0; i < 5; ++i) set.add("Image" + std::to_string(i), Canvas(30 + 20 * i, 50 - 8 * i, colours[i]), i == 3 ? 2 : 0);
    set.pack();
    const std::string xml = set.imagesetXml();
    EXPECT_NE(xml.find("<Imageset version=\"2\" name=\"Test\" imagefile=\"Test.png\""), std::string::npos);
    const std::regex image("<Image name=\"Image(\\d)\" xPos=\"(\\d+)\" yPos=\"(\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\"");
    int found = 0;
    for (std::sregex_iterator it(xml.begin(), xml.end(), image), end; it != end; ++it, ++found) {
        const int i = std::stoi((*it)[1]);
        const int x = std::stoi((*it)[2]), y = std::stoi((*it)[3]), w = std::stoi((*it)[4]), h = std::stoi((*it)[5]);
        const int inset = i == 3 ? 2 : 0;
        EXPECT_EQ(w, 30 + 20 * i - 2 * inset);
        EXPECT_EQ(h, 50 - 8 * i - 2 * inset);
        ASSERT_LE(x + w, set.sheet().width());
        ASSERT_LE(y + h, set.sheet().height());
        // Every pixel of the image is its own picture's, so none overlap.
        for (int py = y; py < y + h; ++py)
            for (int px = x; px < x + w; ++px) ASSERT_EQ(set.sheet().pixel(px, py), colours[i]) << i;
    }
    EXPECT_EQ(found, 5);
    const int w = set.sheet().width(), h = set.sheet().height();
    EXPECT_EQ(w & (w - 1), 0);
    EXPECT_EQ(h & (h - 1), 0);
}

// Each pixel tells where it lay in the picture, so a slice shows which part it holds.
TEST(ImagesetBuilder, SlicesHoldTheirPartWithTheNeighbouringPixelsRoundItAndTheLookNamesThemAll) {
    const int width = 40, height = 30, corner = 8;
    Canvas picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.fillRect(x, y, 1, 1, 0xFF000000u | uint32_t(x << 8) | uint32_t(y));
    ImagesetBuilder set("Test");
    set.addSlices("Frame", picture, corner);
    set.pack();
    const std::string xml = set.imagesetXml();
    const int starts[3] = {0, corner, width - corner}, tops[3] = {0, corner, height - corner};
    const int widths[3] = {corner, width - 2 * corner, corner}, heights[3] = {corner, height - 2 * corner, corner};
    for (int i = 0; i < 9; ++i) {
        std::smatch m;
        const std::regex image(std::string("<Image name=\"Frame") + ImagesetBuilder::SLICES[i] +
                               "\" xPos=\"(\\d+)\" yPos=\"(\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\"");
        ASSERT_TRUE(std::regex_search(xml, m, image)) << ImagesetBuilder::SLICES[i];
        const int x = std::stoi(m[1]), y = std::stoi(m[2]), row = i / 3, column = i % 3;
        EXPECT_EQ(std::stoi(m[3]), widths[column]) << i;
        EXPECT_EQ(std::stoi(m[4]), heights[row]) << i;
        // The slice and a pixel round it: the picture's own, or clear beyond its edge.
        for (int dy = -1; dy <= heights[row]; ++dy)
            for (int dx = -1; dx <= widths[column]; ++dx) {
                const int px = starts[column] + dx, py = tops[row] + dy;
                const bool inside = px >= 0 && py >= 0 && px < width && py < height;
                ASSERT_EQ(set.sheet().pixel(x + dx, y + dy), inside ? picture.pixel(px, py) : 0u)
                    << ImagesetBuilder::SLICES[i] << " at " << dx << "," << dy;
            }
    }
    LookBuilder b;
    b.beginLook("Quillfen/Test");
    b.beginSection("frame");
    b.frameImages(LookArea::whole(), "Set/Frame");
    b.endSection();
    b.endLook();
    const std::string look = b.finish();
    for (const char* part : {"component=\"TopLeftCorner\" name=\"Set/FrameTopLeft\"",
                             "component=\"Background\" name=\"Set/FrameMiddle\"",
                             "component=\"BottomEdge\" name=\"Set/FrameBottom\"",
                             "component=\"BottomRightCorner\" name=\"Set/FrameBottomRight\""})
        EXPECT_NE(look.find(part), std::string::npos) << part;
}

TEST(LookBuilder, WritesAreasAsUnifiedEdges) {
    LookBuilder b;
    b.beginLook("Quillfen/Test");
    b.namedArea("TextArea", LookArea::inset(6));
    b.endLook();
    const std::string xml = b.finish();
    EXPECT_NE(xml.find("<Falagard version=\"7\">"), std::string::npos);
    EXPECT_NE(xml.find("<Dim type=\"LeftEdge\"><UnifiedDim scale=\"0\" offset=\"6\" type=\"LeftEdge\" /></Dim>"),
              std::string::npos);
    EXPECT_NE(xml.find("<Dim type=\"Width\"><UnifiedDim scale=\"1\" offset=\"-12\" type=\"Width\" /></Dim>"),
              std::string::npos);
    EXPECT_EQ(colourRect(0x80FF0001), "tl:80FF0001 tr:80FF0001 bl:80FF0001 br:80FF0001");
}
