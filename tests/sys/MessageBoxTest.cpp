#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "sys/window/MessageBox.h"

namespace {

size_t characters(const std::string& line) {
    size_t count = 0;
    for (unsigned char c : line) count += (c & 0xC0) != 0x80;
    return count;
}

} // namespace

TEST(MessageBoxText, LinesAreWrappedAtBlanksAndLongPathsAreCutSoTheBoxFitsTheScreen) {
    const std::string path = "/home/player/" + std::string(150, 'd') + "/data.sar";
    const std::string text = "Plimzor 2 kann seine Menüs nicht aus dem Datenarchiv lesen; es ist wohl beschädigt:\n" +
                             path + "\n\nPlimzor 2 cannot read its menus.";
    const std::string wrapped = sys::wrapMessageBoxText(text);
    std::istringstream lines(wrapped);
    size_t count = 0;
    std::string joined;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_LE(characters(line), sys::MESSAGE_BOX_COLUMNS) << line;
        joined += line;
    }
    EXPECT_LE(count, sys::MESSAGE_BOX_LINES);
    EXPECT_NE(joined.find(path), std::string::npos) << "the path is cut, not lost";
    EXPECT_EQ(wrapped.rfind("Plimzor 2 kann seine Menüs nicht aus dem Datenarchiv lesen; es\nist wohl", 0), 0u)
        << wrapped;
}

TEST(MessageBoxText, AnOverlongTextEndsInAnEllipsisLine) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\n";
    const std::string wrapped = sys::wrapMessageBoxText(text);
    std::istringstream lines(wrapped);
    size_t count = 0;
    std::string last;
    for (std::string line; std::getline(lines, line); ++count) last = line;
    EXPECT_EQ(count, sys::MESSAGE_BOX_LINES);
    EXPECT_EQ(last, "...");
}
