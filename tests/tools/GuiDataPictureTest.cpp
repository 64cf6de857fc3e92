#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <regex>
#include <string>

#include "tools/guidata/Canvas.h"
#include "tools/guidata/ImagesetBuilder.h"
#include "tools/guidata/LookBuilder.h"

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
