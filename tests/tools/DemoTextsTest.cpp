#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/records/TextTable.h"
#include "tests/tools/GuiDataSystem.h"

namespace {

const char* const MENU_TABLE = "D:\\Vantorik/menu/Texts.xml";
const char* const RACE_TABLE = "D:\\Vantorik/menu/IngameTexts.xml";
const char* const LANGUAGES[TextTable::LANGUAGE_COUNT] = {"German", "English", "French", "Spanish", "Italian",
                                                          "Russian"};

// Every id the menu screens look up: captions, choosers, the option labels,
// the high-score table and its dialog, the network messages.
const int MENU_IDS[] = {100,  200,  300,  400,  500,  600,  700,   701,   702,   703,   704,   705,  706,
                        707,  1000, 1001, 1002, 1004, 1011, 1020,  1021,  1022,  2000,  2010,  2100, 2110,
                        2200, 2300, 2310, 2320, 2340, 2350, 2400,  2420,  2430,  2440,  2450,  2471, 2480,
                        2500, 2510, 2511, 2515, 2516, 2517, 2520,  2530,  2540,  2550,  2560,  2570, 2580,
                        2590, 2591, 2592, 2593, 2594, 2595, 2600,  3000,  3100,  3200,  3300,  3400, 3500,
                        9000, 9001, 9002, 9003, 9004, 9005, 9006, 10000, 10010, 10011, 10012, 10100, 10101};

// Every id the race looks up: the computer riders, panel labels, result
// windows, name entry, pause, start and connection messages.
const int RACE_IDS[] = {100,  200,  300,  400,  500,  1000, 1001, 1002, 1003, 1004, 1007, 1008,
                        1009, 1010, 1020, 1021, 1040, 2000, 2002, 2010, 3000, 3100, 3200, 3300,
                        3400, 3500, 4000, 4001, 4010, 4011, 4012, 4013, 4014, 4015, 4016, 4017,
                        4018, 4019, 4030, 4032, 4040, 4041, 4042, 4043, 9000, 9008, 9010, 9020,
                        9050, 9100, 9110, 9140};

// Where a text is shown: its font and the width it has (less a little air), and
// for word-wrapped texts the height; `tail` is what the screen appends to it.
struct Place {
    int id;
    const char* font;
    float width;
    float height; // 0: one line
    const char* tail;
};

const Place MENU_PLACES[] = {
    // The lobby's rows and the high-score cells; the choosers' captions are wider.
    {100, "VerdanaSmall", 160, 0, ""}, {200, "VerdanaSmall", 160, 0, ""}, {300, "VerdanaSmall", 160, 0, ""},
    {400, "VerdanaSmall", 160, 0, ""}, {500, "VerdanaSmall", 160, 0, ""}, {600, "VerdanaSmall", 160, 0, ""},
    {700, "VerdanaSmall", 150, 0, ""}, {701, "VerdanaSmall", 150, 0, ""}, {702, "VerdanaSmall", 150, 0, ""},
    {703, "VerdanaSmall", 150, 0, ""}, {704, "VerdanaSmall", 150, 0, ""}, {705, "VerdanaSmall", 150, 0, ""},
    {706, "VerdanaSmall", 150, 0, ""}, {707, "VerdanaSmall", 150, 0, ""},
    // Buttons of the message windows, the quit question and the submit dialog.
    {1000, "VerdanaSmall", 150, 0, ""}, {1001, "VerdanaMedium", 140, 0, ""}, {1002, "VerdanaMedium", 140, 0, ""},
    {1004, "VerdanaSmall", 150, 0, ""}, {1011, "VerdanaSmall", 150, 0, ""}, {1011, "VerdanaMedium", 220, 0, ""},
    {1020, "VerdanaMediumItalic", 150, 0, ""}, {1021, "VerdanaMediumItalic", 150, 0, ""},
    {1022, "VerdanaMediumItalic", 150, 0, ""},
    // Main menu captions, one line each; those near the right edge have only what is left of the screen.
    {2000, "VerdanaSmall", 224, 0, ""}, {2100, "VerdanaSmall", 270, 0, ""}, {2200, "VerdanaSmall", 270, 0, ""},
    {2300, "VerdanaSmall", 270, 0, ""}, {2350, "VerdanaSmall", 1024 - 862, 0, ""},
    {2400, "VerdanaSmall", 270, 0, ""}, {2500, "VerdanaSmall", 1024 - 891, 0, ""},
    {2600, "VerdanaSmall", 1024 - 745, 0, ""},
    // Mode captions and high-score titles.
    {2010, "VerdanaSmall", 276, 0, ""}, {2010, "VerdanaLarge", 405, 0, ""}, {2100, "VerdanaLarge", 405, 0, ""},
    {2110, "VerdanaSmall", 224, 0, ""}, {2200, "VerdanaLarge", 405, 0, ""},
    // The LAN host-or-join screen.
    {2310, "VerdanaMedium", 300, 0, ""}, {2320, "VerdanaMedium", 300, 0, ""}, {2340, "VerdanaMedium", 356, 0, ""},
    // High-score headings.
    {2420, "VerdanaMedium", 280, 0, ""}, {2430, "VerdanaMedium", 130, 0, ""}, {2440, "VerdanaMedium", 135, 0, ""},
    {2450, "VerdanaMedium", 160, 0, ""}, {2480, "VerdanaMedium", 150, 0, ""},
    // The two-player screen's laps caption is the narrowest.
    {2471, "VerdanaSmall", 132, 0, " 5"},
    // Options.
    {2510, "VerdanaMedium", 300, 0, ""}, {2511, "VerdanaMediumItalic", 270, 0, ""},
    {2515, "VerdanaSmall", 300, 0, " 100%"},
    {2516, "VerdanaSmall", 300, 0, " 100%"}, {2517, "VerdanaSmall", 300, 0, " 100%"},
    {2520, "VerdanaMedium", 290, 0, " 100%"}, {2530, "VerdanaMedium", 300, 0, " 100%"},
    {2540, "VerdanaMedium", 200, 0, ""}, {2550, "VerdanaMedium", 200, 0, ""}, {2560, "VerdanaMedium", 200, 0, ""},
    {2570, "VerdanaMedium", 200, 0, ""}, {2580, "VerdanaMedium", 290, 0, ""},
    {2590, "VerdanaMediumItalic", 270, 0, ""}, {2591, "VerdanaMediumItalic", 270, 0, ""},
    {2592, "VerdanaMediumItalic", 270, 0, ""}, {2593, "VerdanaMediumItalic", 270, 0, ""},
    {2594, "VerdanaMediumItalic", 270, 0, ""}, {2595, "VerdanaMediumItalic", 270, 0, ""},
    // Track captions of the set-up screens and the high-score screen.
    {3000, "VerdanaSmall", 275, 0, ""}, {3100, "VerdanaSmall", 275, 0, ""}, {3200, "VerdanaSmall", 275, 0, ""},
    {3300, "VerdanaSmall", 275, 0, ""}, {3400, "VerdanaSmall", 275, 0, ""}, {3500, "VerdanaSmall", 275, 0, ""},
    {3000, "VerdanaLargeItalic", 405, 0, ""}, {3100, "VerdanaLargeItalic", 405, 0, ""},
    {3200, "VerdanaLargeItalic", 405, 0, ""}, {3300, "VerdanaLargeItalic", 405, 0, ""},
    {3400, "VerdanaLargeItalic", 405, 0, ""}, {3500, "VerdanaLargeItalic", 405, 0, ""},
    // Message windows, the quit question on the main menu and the submit dialog.
    {9000, "VerdanaSmall", 492, 294, ""}, {9001, "VerdanaSmall", 492, 294, ""},
    {9002, "VerdanaSmall", 492, 294, ""}, {9003, "VerdanaSmall", 492, 294, ""},
    {9004, "VerdanaSmall", 492, 294, ""}, {9005, "VerdanaSmall", 492, 294, ""},
    {9006, "VerdanaSmall", 492, 294, ""},
    {10000, "VerdanaSmall", 400, 60, ""}, {10000, "VerdanaMedium", 440, 215, ""},
    {10010, "VerdanaSmall", 440, 60, ""}, {10011, "VerdanaSmall", 290, 0, ""}, {10012, "VerdanaSmall", 290, 0, ""},
    {10100, "VerdanaSmall", 440, 215, ""}, {10101, "VerdanaSmall", 440, 215, ""},
};

const Place RACE_PLACES[] = {
    // Computer riders in the narrowest name column, the elimination result's.
    {100, "VerdanaLargeItalic", 240, 0, ""}, {200, "VerdanaLargeItalic", 240, 0, ""},
    {300, "VerdanaLargeItalic", 240, 0, ""}, {400, "VerdanaLargeItalic", 240, 0, ""},
    {500, "VerdanaLargeItalic", 240, 0, ""},
    // Panel labels, and the time trial's lap rows.
    {1000, "VerdanaLargeItalic", 130, 0, ""}, {1000, "VerdanaLargeItalic", 200, 0, " 5"},
    {1001, "VerdanaLargeItalic", 130, 0, ""}, {1002, "VerdanaLargeItalic", 130, 0, ""},
    {1003, "VerdanaLargeItalic", 160, 0, ""}, {1004, "VerdanaLargeItalic", 200, 0, ""},
    // Result windows.
    {1007, "VerdanaLargeItalic", 140, 0, ""}, {1008, "VerdanaLargeItalic", 150, 0, ""},
    {1009, "VerdanaLargeItalic", 240, 0, ""}, {1010, "VerdanaLarge", 330, 0, ""}, {1020, "VerdanaLarge", 800, 0, ""},
    {1021, "VerdanaLarge", 800, 0, ""}, {1040, "VerdanaLarge", 640, 0, ""}, {2000, "VerdanaMedium", 140, 0, ""},
    {2002, "VerdanaMedium", 200, 0, ""}, {2010, "VerdanaLarge", 280, 0, ""},
    {3000, "VerdanaLarge", 800, 0, ""}, {3100, "VerdanaLarge", 800, 0, ""}, {3200, "VerdanaLarge", 800, 0, ""},
    {3300, "VerdanaLarge", 800, 0, ""}, {3400, "VerdanaLarge", 800, 0, ""}, {3500, "VerdanaLarge", 800, 0, ""},
    // Name entry.
    {4000, "VerdanaLarge", 440, 0, ""}, {4001, "VerdanaMedium", 440, 0, ""},
    {4010, "VerdanaMedium", 440, 90, ""}, {4011, "VerdanaMedium", 440, 90, ""}, {4012, "VerdanaMedium", 440, 90, ""},
    {4013, "VerdanaMedium", 440, 90, ""}, {4014, "VerdanaMedium", 440, 90, ""}, {4015, "VerdanaMedium", 440, 90, ""},
    {4016, "VerdanaMedium", 440, 90, ""}, {4017, "VerdanaMedium", 440, 90, ""}, {4018, "VerdanaMedium", 440, 90, ""},
    {4019, "VerdanaMedium", 440, 90, ""},
    // Elimination: the panel names a rider (the longest name a player can type), the table marks the others.
    {4030, "VerdanaSmall", 400, 0, ""}, {4032, "VerdanaSmall", 130, 0, ""},
    // The message window after the name entry when the high score could not be saved, one text a reason.
    {4040, "VerdanaMedium", 440, 215, ""}, {4041, "VerdanaMedium", 440, 215, ""},
    {4042, "VerdanaMedium", 440, 215, ""}, {4043, "VerdanaMedium", 440, 215, ""},
    // Pause buttons, start and network messages.
    {9000, "VerdanaMedium", 320, 0, ""}, {9010, "VerdanaMedium", 320, 0, ""}, {9020, "VerdanaMedium", 320, 0, ""},
    {9008, "VerdanaSmall", 480, 100, ""}, {9050, "VerdanaSmall", 480, 100, ""},
    {9100, "VerdanaMedium", 440, 215, ""}, {9110, "VerdanaMedium", 440, 215, ""},
    {9140, "VerdanaMedium", 440, 215, ""},
};

const float AIR = 8.0f; // kept free at the ends of a line

// Greedy word wrap as the text window does it; the number of lines, or a huge
// count when one word alone is wider than the place.
int wrappedLines(const CEGUI::Font& font, const CEGUI::String& text, float width) {
    std::istringstream words(text.c_str());
    std::string word, line;
    int lines = 0;
    while (words >> word) {
        const std::string longer = line.empty() ? word : line + " " + word;
        if (font.getTextExtent(utf8(longer.c_str())) <= width) {
            line = longer;
            continue;
        }
        if (line.empty()) return 1000;
        ++lines;
        line = word;
        if (font.getTextExtent(utf8(line.c_str())) > width) return 1000;
    }
    return lines + (line.empty() ? 0 : 1);
}

// The menu's fonts over the archived data set, and both text tables read from it.
class DemoTexts : public GuiDataSystem {
protected:
    void SetUp() override {
        GuiDataSystem::SetUp();
        createFonts();
    }

    void expectFits(const char* table, const Place* places, size_t count) {
        TextTable texts(table, m_archive);
        for (int language = 0; language < TextTable::LANGUAGE_COUNT; ++language) {
            texts.m_language = language;
            for (size_t i = 0; i < count; ++i) {
                const Place& p = places[i];
                CEGUI::String text = texts.getText(p.id) + utf8(p.tail);
                // The longest name the name entry takes stands in for the rider.
                if (p.id == 4030) text.replace(text.find(utf8("[NICKNAME]")), 10, utf8("Mmmmmmmmmmmmmmmm"));
                // A player's log in the game's folder stands in for the log's path.
                if (p.id == 4040) text.replace(text.find(utf8("[LOGFILE]")), 9, utf8("/home/player/.local/share/plimzor2/log.txt"));
                const CEGUI::Font& font = CEGUI::FontManager::getSingleton().get(p.font);
                const float room = p.width - AIR;
                if (p.height == 0.0f) {
                    EXPECT_LE(font.getTextExtent(text), room)
                        << table << " " << p.id << " in " << LANGUAGES[language] << ": \"" << text.c_str() << "\"";
                } else {
                    const int lines = wrappedLines(font, text, room);
                    EXPECT_LE(lines * font.getLineSpacing(), p.height)
                        << table << " " << p.id << " in " << LANGUAGES[language] << " takes " << lines
                        << " lines: \"" << text.c_str() << "\"";
                }
            }
        }
    }

    void expectEveryId(const char* table, const int* ids, size_t count) {
        TextTable texts(table, m_archive);
        const std::set<int> wanted(ids, ids + count);
        for (int language = 0; language < TextTable::LANGUAGE_COUNT; ++language) {
            texts.m_language = language;
            for (int id : wanted) {
                const CEGUI::String& text = texts.getText(id);
                EXPECT_FALSE(text.empty()) << table << " " << id << " in " << LANGUAGES[language];
                // Every letter must be one the menu's fonts can draw.
                for (size_t c = 0; c < text.length(); ++c)
                    EXPECT_TRUE(CEGUI::FontManager::getSingleton().get("VerdanaSmall").isCodepointAvailable(text[c]))
                        << table << " " << id << " U+" << std::hex << text[c];
            }
        }
    }
};

} // namespace

TEST_F(DemoTexts, EveryIdTheMenuScreensUseHasATextInEveryLanguage) {
    expectEveryId(MENU_TABLE, MENU_IDS, std::size(MENU_IDS));
}

TEST_F(DemoTexts, EveryIdTheRaceUsesHasATextInEveryLanguage) {
    expectEveryId(RACE_TABLE, RACE_IDS, std::size(RACE_IDS));
}

TEST_F(DemoTexts, MenuTextsFitTheirPlaces) { expectFits(MENU_TABLE, MENU_PLACES, std::size(MENU_PLACES)); }

TEST_F(DemoTexts, RaceTextsFitTheirPlaces) { expectFits(RACE_TABLE, RACE_PLACES, std::size(RACE_PLACES)); }

TEST_F(DemoTexts, RussianIsCyrillicAndTheNicknameMarkerIsKeptEverywhere) {
    TextTable race(RACE_TABLE, m_archive), menu(MENU_TABLE, m_archive);
    race.m_language = menu.m_language = 5;
    EXPECT_EQ(race.getText(2010)[0], 0x041Fu); // П of Пауза
    EXPECT_EQ(menu.getText(2500)[0], 0x041Du); // Н of Настройки
    for (int language = 0; language < TextTable::LANGUAGE_COUNT; ++language) {
        race.m_language = language;
        EXPECT_NE(race.getText(4030).find(utf8("[NICKNAME]")), CEGUI::String::npos) << LANGUAGES[language];
    }
}

TEST(DemoCredits, LinesEndInCrLfAndLeadWithTheScreensMarkers) {
    std::string credits;
    for (const GuiFile& f : menuDataFiles())
        if (f.archiveName == "D:\\Vantorik\\menu\\Credits.txt") credits = f.bytes;
    ASSERT_FALSE(credits.empty());
    // The screen shows a line only when a carriage return ends it, and shows each byte as a letter.
    ASSERT_GE(credits.size(), 2u);
    EXPECT_EQ(credits.substr(credits.size() - 2), "\r\n");
    for (size_t i = 0; i < credits.size(); ++i) {
        EXPECT_LT(static_cast<unsigned char>(credits[i]), 0x80u) << "byte " << i;
        if (credits[i] == '\n') {
            EXPECT_TRUE(i > 0 && credits[i - 1] == '\r') << "bare line feed at " << i;
        }
        if (credits[i] == '\r') {
            EXPECT_TRUE(i + 1 < credits.size() && credits[i + 1] == '\n') << "bare carriage return at " << i;
        }
    }
    std::set<char> markers;
    std::istringstream lines(credits);
    for (std::string line; std::getline(lines, line);)
        if (line.size() > 1) markers.insert(line[0]);
    for (char marker : {'*', '!', '#'}) EXPECT_EQ(markers.count(marker), 1u) << marker;
    EXPECT_EQ(credits.rfind("*Plimzor 2\r\n", 0), 0u);
    for (const char* credited : {"!The Plimzor team", "!SDL2", "!OpenGL through Mesa", "!OpenAL Soft", "!ODE",
                                 "!CEGUI", "!TinyXML", "!libjpeg-turbo", "!libogg and libvorbis", "!libcurl",
                                 "!OpenSSL", "!DejaVu fonts", "zlib licence", "MIT licence", "GNU LGPL",
                                 "Apache License 2.0", "Independent JPEG Group"})
        EXPECT_NE(credits.find(credited), std::string::npos) << credited;
}

TEST(DemoDataSar, CarriesTheTablesCreditsAndPicturesAsMade) {
    // The data set as the run script makes it: demodata writes the files, sarpack packs them.
    TempDir dir;
    const std::string sar = dir.file("data.sar");
    const int made = std::system((std::string(DEMODATA_PATH) + " " + dir.file("demo") + " && " + SARPACK_PATH +
                                  " pack " + sar + " " + dir.file("demo/pack-list.txt") + " > /dev/null")
                                     .c_str());
    ASSERT_TRUE(WIFEXITED(made) && WEXITSTATUS(made) == 0);
    DiskFile disk("");
    DataArchive archive(disk);
    ASSERT_TRUE(archive.openArchive(sar.c_str()));
    // Every file of the menu's data set comes out of the archive byte for byte, under the name the game uses.
    for (const GuiFile& f : menuDataFiles()) {
        std::string name = f.archiveName;
        std::replace(name.begin() + 12, name.end(), '\\', '/');
        ASSERT_TRUE(archive.open(name.c_str())) << name;
        std::string bytes(archive.getSize(), '\0');
        EXPECT_EQ(archive.read(bytes.data(), archive.getSize()), int32_t(bytes.size())) << name;
        archive.close();
        EXPECT_TRUE(bytes == f.bytes) << name;
    }
}
