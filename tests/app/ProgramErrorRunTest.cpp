#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/ProgramRun.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const char* const SCALABLE_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The program's error boxes, on an X server with core fonts (the box shows)
// and on one with only its built-in ones (the box cannot draw its text, which
// then goes to standard error): both must end without a click.
class ErrorBoxRunTest : public ProgramRun, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
        if (coreFonts() && !fs::exists(SCALABLE_FONT)) GTEST_SKIP() << "no " << SCALABLE_FONT;
        if (!open(SCREEN_WIDTH, SCREEN_HEIGHT, coreFonts() ? fontFolder() : "built-ins")) GTEST_SKIP() << "no private X server could start";
    }

    bool coreFonts() const { return GetParam(); }

    // A core font folder of one scalable font, as a desktop's X server has.
    std::string fontFolder() const {
        const std::string folder = m_dir.file("fonts");
        fs::create_directories(folder);
        fs::create_symlink(SCALABLE_FONT, folder + "/DejaVuSans.ttf");
        const std::string font = "DejaVuSans.ttf -misc-dejavu sans-medium-r-normal--0-0-0-0-p-0-";
        std::ofstream(folder + "/fonts.dir") << "2\n" << font << "iso8859-1\n" << font << "iso10646-1\n";
        return folder;
    }

    // The box of that run, checked to fit a 1024 x 768 screen, the pointer
    // over it; false when none showed.
    bool boxFits(ChildProcess& game, const std::string& picture) {
        int x = 0, y = 0, width = 0, height = 0;
        bool box = false;
        const auto giveUp = std::chrono::steady_clock::now() + 60s;
        while (!box && game.running() && std::chrono::steady_clock::now() < giveUp)
            box = m_screen->waitForWindow("Error", POLL, x, y, width, height);
        if (!box) return false;
        EXPECT_GE(x, 0);
        EXPECT_GE(y, 0);
        EXPECT_LE(x + width, SCREEN_WIDTH) << width;
        EXPECT_LE(y + height, SCREEN_HEIGHT) << height;
        // The box has drawn once its picture stands still.
        Picture last = m_screen->grab(x, y, width, height);
        for (int look = 0; look < 50; ++look) {
            std::this_thread::sleep_for(POLL);
            Picture now = m_screen->grab(x, y, width, height);
            const bool steady = VirtualDisplay::differingShare(last, now) == 0.0 && litShare(now) > 0.5;
            last = std::move(now);
            if (steady) break;
        }
        save(last, picture);
        m_screen->pointAt(x + width / 2, y + height / 2);
        return true;
    }
};

TEST_P(ErrorBoxRunTest, AMissingArchiveIsToldInAFittingBoxThatASignalEnds) {
    const std::string missing = m_dir.file("a folder with a long name for the data of the game/nowhere/data.sar");
    auto game = start("missing", {{"PLIMZOR_DATA", missing}, {"LANG", "C"}});
    const bool box = boxFits(*game, coreFonts() ? "missing-archive" : "missing-archive-no-fonts");
    EXPECT_EQ(box, coreFonts()) << game->output();
    EXPECT_EQ(m_screen->countWindows(TITLE), 0) << "nothing of the game shows behind the box";
    // A session logging out ends the run in order, box or not.
    if (box) game->signal(SIGTERM);
    EXPECT_EQ(game->waitForExit(30s), 1) << game->output();
    EXPECT_EQ(m_screen->countWindows("Error"), 0);
    const std::string sentence = "Plimzor 2 cannot open its data archive:\n" + missing;
    if (!box) {
        EXPECT_NE(game->output().find("Error: " + sentence), std::string::npos) << game->output();
    }
    const std::string written = log();
    const size_t report = written.find(missing, written.find("Plimzor 2 cannot open its data archive:"));
    EXPECT_NE(report, std::string::npos) << written;
    EXPECT_NE(written.find("firewall exception removed", report), std::string::npos) << written;
}

TEST_P(ErrorBoxRunTest, AnArchiveCutInItsDirectoryIsToldAsDamagedNotAsMissing) {
    // The header and the start of the demo archive's directory.
    std::string bytes(3000, '\0');
    std::ifstream(DEMO_ARCHIVE_PATH, std::ios::binary).read(bytes.data(), std::streamsize(bytes.size()));
    const std::string cut = m_dir.write("cut/data.sar", bytes);
    auto game = start("cut", {{"PLIMZOR_DATA", cut}, {"LANG", "C"}});
    const bool box = boxFits(*game, coreFonts() ? "cut-archive" : "cut-archive-no-fonts");
    EXPECT_EQ(box, coreFonts()) << game->output();
    if (box) game->signal(SIGTERM);
    EXPECT_EQ(game->waitForExit(30s), 1) << game->output();
    const std::string sentence = "Plimzor 2 cannot read its data archive; the file is damaged or cut short:\n" + cut;
    // Standard error holds the box's text where the box cannot show it, and nothing else.
    if (box) EXPECT_EQ(game->output(), "");
    else EXPECT_EQ(game->output().rfind("Error: " + sentence, 0), 0u) << game->output();
    const std::string written = log();
    EXPECT_NE(written.find(sentence.substr(0, sentence.find('\n'))), std::string::npos) << written;
    EXPECT_NE(written.find("detail: error: archive directory runs past the end of the file"), std::string::npos)
        << written;
    EXPECT_EQ(written.find("Name the archive"), std::string::npos) << "the file is there: naming it again cannot help";
}

TEST_P(ErrorBoxRunTest, ADamagedArchiveLeadsWithAPlainSentenceInTheFoundLanguage) {
    // The first 100,000 bytes of the real archive.
    std::string bytes(100000, '\0');
    std::ifstream(DEMO_ARCHIVE_PATH, std::ios::binary).read(bytes.data(), std::streamsize(bytes.size()));
    const std::string broken = m_dir.write("broken/data.sar", bytes);
    auto game = start("broken", {{"PLIMZOR_DATA", broken}, {"LANG", "de_DE.UTF-8"}});
    const bool box = boxFits(*game, coreFonts() ? "damaged-archive" : "damaged-archive-no-fonts");
    EXPECT_EQ(box, coreFonts()) << game->output();
    // Ctrl-C in the terminal that started it.
    if (box) game->signal(SIGINT);
    EXPECT_EQ(game->waitForExit(30s), 1) << game->output();
    const std::string written = log();
    const size_t german = written.find("Plimzor 2 kann seine Menüs nicht aus dem Datenarchiv lesen");
    const size_t english = written.find("Plimzor 2 cannot read its menus from the data archive");
    ASSERT_NE(german, std::string::npos) << written;
    EXPECT_LT(german, english) << "the language found comes first";
    EXPECT_NE(written.find(broken, german), std::string::npos) << "the box names the file";
    EXPECT_NE(written.find("detail: ", german), std::string::npos) << "the technical detail goes to the log";
    EXPECT_NE(written.find("Exception", german), std::string::npos) << "the GUI library's own words, in the log";
    // Standard error has at most the box's text, never the GUI library's exception.
    EXPECT_EQ(game->output().find("detail"), std::string::npos) << game->output();
    EXPECT_EQ(game->output().find("Exception"), std::string::npos) << game->output();
}

TEST_P(ErrorBoxRunTest, AComputerWithoutAWorkingOpenGLDriverIsToldWhatIsMissing) {
    // Mesa finds no driver to make a context with: the X server refuses it with a protocol error.
    auto game = start("no-opengl", {{"LIBGL_DRIVERS_PATH", m_dir.file("no-drivers")}, {"LANG", "C"}});
    const bool box = boxFits(*game, coreFonts() ? "no-opengl" : "no-opengl-no-fonts");
    EXPECT_EQ(box, coreFonts()) << game->output();
    if (box) game->signal(SIGTERM);
    EXPECT_EQ(game->waitForExit(30s), 1) << game->output();
    if (!box) {
        EXPECT_NE(game->output().find("Error: Das 3D-Gerät ließ sich nicht erzeugen. Das Spiel braucht einen "
                                      "OpenGL-Treiber"),
                  std::string::npos)
            << game->output();
        EXPECT_NE(game->output().find("The 3D device could not be made. The game needs an OpenGL driver"),
                  std::string::npos)
            << game->output();
    }
    EXPECT_EQ(game->output().find("DirectX"), std::string::npos) << game->output();
}

TEST_P(ErrorBoxRunTest, AScriptedRunClosesItsBoxByItself) {
    auto game = start("frames", {{"PLIMZOR_DATA", m_dir.file("nowhere/data.sar")}, {"PLIMZOR_FRAMES", "60"}});
    EXPECT_EQ(game->waitForExit(60s), 1) << game->output();
    EXPECT_EQ(m_screen->countWindows("Error"), 0);
}

INSTANTIATE_TEST_SUITE_P(Fonts, ErrorBoxRunTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& fonts) {
                             return fonts.param ? "WithCoreFonts" : "WithoutCoreFonts";
                         });

using ProgramRunTest = ProgramRun;

TEST_F(ProgramRunTest, AComputerWithoutADisplayIsToldSoAndNothingElseReachesStandardError) {
    // Nothing names a display; SDL would fall back on its offscreen driver.
    auto game = start("no-display", {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"XDG_RUNTIME_DIR", ""}, {"LANG", "C"}});
    EXPECT_EQ(game->waitForExit(60s), 1) << game->output();
    const std::string box = "Error: Plimzor 2 findet keine Anzeige, auf der es sein Fenster öffnen kann (X11 oder "
                            "Wayland).\nBitte starten Sie das Programm in einer grafischen Sitzung mit OpenGL-Treiber "
                            "erneut.\n\nPlimzor 2 finds no display to open its window on (X11 or Wayland).\nPlease start "
                            "the program again in a graphical session with an OpenGL driver.\n";
    EXPECT_EQ(game->output(), box);
    const std::string written = log();
    EXPECT_NE(written.find("no display: DISPLAY and WAYLAND_DISPLAY name none"), std::string::npos) << written;
    EXPECT_EQ(written.find("d3d device"), std::string::npos) << "no device is made without a display";
}

TEST_F(ProgramRunTest, AMenuRendererThatCannotStartIsToldWithTheLibrarysReasonInTheLog) {
    // Asked for by name, the offscreen driver runs: the scene's context is made, the GUI library's GLEW refuses it.
    auto game = start("offscreen", {{"DISPLAY", ""}, {"SDL_VIDEODRIVER", "offscreen"}, {"LANG", "C"}});
    EXPECT_EQ(game->waitForExit(60s), 1) << game->output();
    const std::string english =
        "Plimzor 2 cannot draw its menus: the menu renderer could not start with this computer's OpenGL driver.";
    const std::string output = game->output();
    EXPECT_EQ(output.rfind("Error: " + english + "\n\nPlimzor 2 kann seine Menüs nicht zeichnen", 0), 0u) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 3) << "the box's text alone: " << output;
    const std::string written = log();
    const size_t told = written.find(english);
    ASSERT_NE(told, std::string::npos) << written;
    EXPECT_NE(written.find("detail: the GUI renderer could not start on the device: failed to initialise the GLEW "
                           "library",
                           told),
              std::string::npos)
        << written;
}

TEST_F(ProgramRunTest, AHomeThePlayerCannotWriteStillStartsAndPlays) {
    // Root writes anywhere: the program then runs as nobody.
    const bool root = geteuid() == 0;
    std::vector<std::string> asNobody;
    if (root) asNobody = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    fs::create_directories(home());
    std::ofstream(home() + "/log.txt").flush();
    chmod((home() + "/log.txt").c_str(), 0666);
    chmod(home().c_str(), 0555);
    chmod(m_dir.path().c_str(), 0755);
    chmod(m_dir.file("instance").c_str(), 0777);
    auto game = start("read-only", {{"LANG", "C"}}, asNobody);
    const Picture menu = mainMenu(*game);
    ASSERT_FALSE(menu.rgb.empty()) << game->output() << log();
    EXPECT_EQ(m_screen->countWindows("Error"), 0);
    askToQuit(menu);
    answerYes();
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
    chmod(home().c_str(), 0755);
    EXPECT_FALSE(fs::exists(home() + "/config.dat"));
    EXPECT_FALSE(fs::exists(home() + "/CEGUI.log"));
    EXPECT_NE(game->output().find("cannot be written: settings and high scores are not saved"), std::string::npos)
        << game->output();
    EXPECT_EQ(game->output().find("Exception"), std::string::npos) << "the GUI library's log is told in ours";
    const std::string written = log();
    EXPECT_NE(written.find("CEGUI.log cannot be written"), std::string::npos) << written;
    EXPECT_NE(written.find("config.dat cannot be written"), std::string::npos) << written;
}

TEST_F(ProgramRunTest, AFifoOrADeviceForTheSettingsOrTheLogNeverStallsTheGame) {
    const std::string fifo = m_dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& settings : {fifo, std::string("/dev/zero")}) {
        auto game = start("settings", {{"PLIMZOR_SETTINGS", settings}, {"PLIMZOR_FRAMES", "30"}});
        EXPECT_EQ(game->waitForExit(120s), 0) << settings << "\n" << game->output();
        EXPECT_NE(log().find("entering menu loop..."), std::string::npos) << settings << "\n" << log();
    }
    auto game = start("log", {{"PLIMZOR_LOG", fifo}, {"PLIMZOR_FRAMES", "30"}});
    EXPECT_EQ(game->waitForExit(120s), 0) << game->output();
    EXPECT_NE(game->output().find("plimzor2: the log " + fifo + " cannot be written (no plain file)"),
              std::string::npos)
        << game->output();
    EXPECT_NE(game->output().find("all: 30 frames"), std::string::npos) << game->output();
}

} // namespace
