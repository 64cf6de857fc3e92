#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>

#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "app/menu/CreditsScreen.h"
#include "app/menu/Menu.h"
#include "engine/platform/Report.h"
#include "engine/platform/archive/DiskFile.h"
#include "tests/support/NullGui.h"
#include "tests/support/TempDir.h"

namespace {

// The credits screen alone on the GUI's null renderer, reading its file from
// a scratch folder as the game reads it from the archive.
class CreditsScreenTest : public ::testing::Test {
protected:
    CreditsScreenTest() : m_files(m_dir.file("data/").c_str()) {
        m_menu.gui = &m_gui.context;
        GuiScreen::useImageset(m_gui.context, "Credits.imageset");
        m_oldFiles = g_fileSystem;
        g_fileSystem = &m_files;
    }
    ~CreditsScreenTest() override {
        m_screen.reset();
        g_fileSystem = m_oldFiles;
    }

    CreditsScreen& makeScreen(const std::string& credits) {
        m_dir.write("data/Vantorik/menu/Credits.txt", credits);
        m_screen = std::make_unique<CreditsScreen>(&m_menu);
        return *m_screen;
    }
    // Frames of the given length, as the menu loop scrolls while the screen shows.
    void scrollFrames(int frames, float seconds) {
        m_menu.delta = seconds;
        for (int f = 0; f < frames; ++f) m_screen->scroll();
    }
    static std::string lines(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\r\n";
        return text;
    }
    static float top(const CEGUI::Window* window) { return window->getPosition().d_y.d_scale * 768.0f; }
    static float left(const CEGUI::Window* window) { return window->getPosition().d_x.d_scale * 1024.0f; }

    TempDir m_dir;
    DiskFile m_files;
    File* m_oldFiles = nullptr;
    NullGui m_gui;
    Menu m_menu;
    std::unique_ptr<CreditsScreen> m_screen;
};

} // namespace

TEST_F(CreditsScreenTest, EachCarriageReturnEndsALineWhoseMarkerPicksTheFont) {
    const CreditsScreen& screen =
        makeScreen("*Plimzor 2\r\n!The team\r\nplain # text\r\n*\r\n#folded\nline\r\n\r\ntail never ended");
    const auto& read = screen.lines();
    ASSERT_EQ(read.size(), 6u);
    const char* const texts[] = {"Plimzor 2", "The team", "plain # text", "", "folded\nline", ""};
    const char* const fonts[] = {"VerdanaLargeItalic",  "VerdanaMedium",      "VerdanaMediumItalic",
                                 "VerdanaLargeItalic",  "VerdanaSmallItalic", "VerdanaMediumItalic"};
    for (size_t i = 0; i < read.size(); ++i) {
        const CreditsScreen::CreditLine& line = read[i];
        EXPECT_EQ(line.text->getText(), texts[i]) << i;
        EXPECT_EQ(line.shadow->getText(), texts[i]) << i;
        EXPECT_EQ(line.text->getFont()->getName(), fonts[i]) << i;
        EXPECT_EQ(line.shadow->getFont()->getName(), fonts[i]) << i;
        EXPECT_FLOAT_EQ(line.y, 718.0f + 35.0f * float(i));
        EXPECT_NEAR(top(line.text), line.y, 1e-3f);
        EXPECT_NEAR(top(line.shadow), line.y + 2.0f, 1e-3f);
        EXPECT_NEAR(left(line.shadow), 82.0f, 1e-3f);
        // The text over its shadow, the back button over both.
        EXPECT_TRUE(line.text->isInFront(*line.shadow)) << i;
        EXPECT_TRUE(screen.backButton()->isInFront(*line.text)) << i;
    }
    EXPECT_EQ(read[1].text->getProperty("TextColours"), "tl:FFFFFFFF tr:FFFFFFFF bl:FFFFFFFF br:FFFFFFFF");
    EXPECT_EQ(read[1].shadow->getProperty("TextColours"), "tl:FF000000 tr:FF000000 bl:FF000000 br:FF000000");
}

TEST_F(CreditsScreenTest, LinesRiseByTheFrameTimeAndFadeInAtTheBottom) {
    makeScreen(lines(25));
    scrollFrames(20, 0.05f);
    const auto& read = m_screen->lines();
    // 45 pixels in a second: the first line is in full, the second fading in, the third still hidden.
    EXPECT_NEAR(read[0].y, 673.0f, 1e-3f);
    EXPECT_NEAR(read[0].text->getAlpha(), 1.0f, 1e-5f);
    EXPECT_NEAR(read[1].text->getAlpha(), 10.0f / 35.0f, 1e-4f);
    EXPECT_NEAR(read[1].shadow->getAlpha(), 10.0f / 35.0f, 1e-4f);
    EXPECT_EQ(read[2].text->getAlpha(), 0.0f);
    EXPECT_NEAR(top(read[1].text), 708.0f, 1e-3f);
    EXPECT_NEAR(top(read[1].shadow), 710.0f, 1e-3f);
}

TEST_F(CreditsScreenTest, ALinePastTheTopGoesRoundToTheLoopsEndButNeverAboveTheBottom) {
    // Line 0 is at 16 after 15.6 s and wraps in the next frame; line 1 is then at 46.5. Behind
    // 25 lines the loop ends at 35 pixels a line plus 50; three lines come back in from the bottom.
    for (const auto& [count, loopEnd] : {std::pair<int, float>{25, 925.0f}, {3, 718.0f}}) {
        makeScreen(lines(count));
        scrollFrames(156, 0.1f);
        const auto& read = m_screen->lines();
        EXPECT_NEAR(read[0].text->getAlpha(), 1.0f / 35.0f, 1e-3f);
        scrollFrames(1, 0.1f);
        EXPECT_FLOAT_EQ(read[0].y, loopEnd);
        EXPECT_NEAR(top(read[0].text), loopEnd, 1e-3f);
        EXPECT_NEAR(read[1].y, 46.5f, 1e-2f);
        scrollFrames(1, 0.1f);
        EXPECT_NEAR(read[0].text->getAlpha(), count == 3 ? 4.5f / 35.0f : 0.0f, 1e-4f) << count;
    }
}

TEST_F(CreditsScreenTest, AStalledFrameMovesNoFurtherThanATenthOfASecond) {
    makeScreen(lines(25));
    for (float stall : {3600.0f, -5.0f, std::numeric_limits<float>::quiet_NaN()}) scrollFrames(1, stall);
    for (size_t i = 0; i < m_screen->lines().size(); ++i) {
        EXPECT_NEAR(m_screen->lines()[i].y, 718.0f + 35.0f * float(i) - 4.5f, 1e-3f) << i;
    }
}

TEST_F(CreditsScreenTest, MissingFileGivesAnEmptyScreenThatStillGoesBack) {
    const std::string logPath = m_dir.file("log.txt");
    g_logStream.close();
    g_logStream.open(logPath, std::ios::out | std::ios::trunc);
    m_screen = std::make_unique<CreditsScreen>(&m_menu);
    g_fileSystem = nullptr;
    CreditsScreen withoutFiles(&m_menu);
    g_logStream.close();
    g_logStream.open("/dev/null", std::ios::out | std::ios::app);
    std::stringstream log;
    log << std::ifstream(logPath).rdbuf();
    int logged = 0;
    for (std::string line; std::getline(log, line);) logged += line.find("Credits.txt") != std::string::npos;
    EXPECT_EQ(logged, 2) << log.str();

    m_menu.delta = 0.1f;
    for (CreditsScreen* screen : {m_screen.get(), &withoutFiles}) {
        EXPECT_TRUE(screen->lines().empty());
        screen->scroll();
        CEGUI::WindowEventArgs args(screen->backButton());
        screen->backButton()->fireEvent(CEGUI::PushButton::EventClicked, args, CEGUI::PushButton::EventNamespace);
        EXPECT_EQ(screen->result(), CreditsScreen::BACK);
    }
}
