#include <gtest/gtest.h>

#include <string>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "game/records/TextTable.h"
#include "tests/game/GameTestSupport.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

const char* const SAMPLE =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Texts>\n"
    "  <Take id=\"9000\"><De>Verbindung verloren</De><En>Connection lost</En><Fr>Connexion perdue</Fr>"
    "<Sp>Conexion perdida</Sp><It>Connessione persa</It><Ru>Соединение потеряно</Ru></Take>\n"
    "  <Take id=\"1000\"><En>Lap</En><De>Runde</De></Take>\n"
    "  <Take id=\"1004\"><En>first</En><En>second</En><En><b>bold</b></En></Take>\n"
    "  <Take id=\"1000\"><En>Round</En></Take>\n"
    "  <Take><En>no id</En></Take>\n"
    "  <Take id=\"7\"><En><!-- note --></En><De>sieben</De></Take>\n"
    "</Texts>\n";

std::string utf8(const CEGUI::String& text) { return text.c_str(); }

TextTable load(const std::string& xml) {
    TempDir dir;
    std::string path = dir.write("menu/IngameTexts.xml", xml);
    DiskFile source(".\\;..\\");
    return TextTable(path.c_str(), source);
}

} // namespace

TEST(TextTable, FindsTextsByIdInTheCurrentLanguage) {
    TextTable table = load(SAMPLE);
    EXPECT_EQ(table.m_language, 0);
    EXPECT_EQ(utf8(table.getText(9000)), "Verbindung verloren");
    table.m_language = 1;
    EXPECT_EQ(utf8(table.getText(9000)), "Connection lost");
    table.m_language = 4;
    EXPECT_EQ(utf8(table.getText(9000)), "Connessione persa");
}

TEST(TextTable, CyrillicComesThroughIntact) {
    TextTable table = load(SAMPLE);
    table.m_language = 5;
    const CEGUI::String& text = table.getText(9000);
    ASSERT_EQ(text.length(), 19u);
    EXPECT_EQ(text[0], 0x0421u); // С
    EXPECT_EQ(text[1], 0x043Eu); // о
    EXPECT_EQ(utf8(text), "Соединение потеряно");
}

TEST(TextTable, LaterTakeReplacesEarlierInEveryLanguage) {
    TextTable table = load(SAMPLE);
    table.m_language = 1;
    EXPECT_EQ(utf8(table.getText(1000)), "Round");
    table.m_language = 0;
    EXPECT_TRUE(table.getText(1000).empty()) << "the later take had no German text";
}

TEST(TextTable, MissingLanguageGivesEmptyText) {
    TextTable table = load(SAMPLE);
    table.m_language = 2;
    EXPECT_TRUE(table.getText(1000).empty());
    EXPECT_NE(&table.getText(1000), &table.getText(424242)) << "the id is present, with an empty text";
}

TEST(TextTable, LastTextElementOfALanguageWins) {
    TextTable table = load(SAMPLE);
    table.m_language = 1;
    EXPECT_EQ(utf8(table.getText(1004)), "second");
}

TEST(TextTable, SkipsElementsWithoutTextAndTakesWithoutId) {
    TextTable table = load(SAMPLE);
    table.m_language = 1;
    EXPECT_TRUE(table.getText(7).empty());
    table.m_language = 0;
    EXPECT_EQ(utf8(table.getText(7)), "sieben");
    EXPECT_TRUE(table.getText(0).empty());
}

TEST(TextTable, UnknownIdGivesTheSameEmptyTextEveryTime) {
    TextTable table = load(SAMPLE);
    const CEGUI::String& first = table.getText(31337);
    EXPECT_TRUE(first.empty());
    EXPECT_EQ(&first, &table.getText(31338));
    table.m_language = 3;
    EXPECT_EQ(&first, &table.getText(31337));
}

TEST(TextTable, LanguageOutsideTheSixGivesEmptyText) {
    TextTable table = load(SAMPLE);
    table.m_language = -1;
    EXPECT_TRUE(table.getText(9000).empty());
    table.m_language = 6;
    EXPECT_TRUE(table.getText(9000).empty());
}

TEST(TextTable, MissingFileOrRootGivesEmptyTable) {
    TempDir dir;
    DiskFile source(".\\;..\\");
    TextTable missing(dir.file("nothing.xml").c_str(), source);
    EXPECT_TRUE(missing.getText(9000).empty());
    TextTable wrongRoot = load("<Strings><Take id=\"9000\"><De>x</De></Take></Strings>");
    EXPECT_TRUE(wrongRoot.getText(9000).empty());
}

TEST(TextTable, KeepsWhatParsedBeforeAnError) {
    TextTable table = load("<Texts><Take id=\"1\"><De>eins</De></Take><Take id=\"2\"><De>zwei</Take>");
    EXPECT_EQ(utf8(table.getText(1)), "eins");
}

TEST(TextTable, ReadsThroughTheDataArchiveByDevelopmentPath) {
    TempDir dir;
    ArchiveWriter writer;
    ASSERT_TRUE(writer.add("D:/Vantorik/Menu/ingametexts.xml", std::string(SAMPLE), 3));
    std::string path = dir.file("data.sar"), error;
    ASSERT_TRUE(writer.write(path, error)) << error;
    DiskFile disk(".\\;..\\");
    DataArchive archive(disk);
    ASSERT_TRUE(archive.openArchive(path.c_str()));
    TextTable table("D:\\Vantorik/menu/IngameTexts.xml", archive);
    table.m_language = 5;
    EXPECT_EQ(utf8(table.getText(9000)), "Соединение потеряно");
}

TEST(TextTable, ADamagedTakeCostsOnlyItselfAndIsLoggedWithTheFileAndLine) {
    LogCapture log;
    TempDir dir;
    const std::string path = dir.write("menu/Texts.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Texts>\n"
                                                         "\t<Take id=\"1\"><En>Zeitfahren</En><Ru>Заезд</Ru></Take>\n"
                                                         "\t<Take id=\"2\"<En>broken</En></Take>\n"
                                                         "\t<Take id=\"3\"><En>Single race</En></Take>\n"
                                                         "\t<Take id=\"4\"><En>Options</En></Take>\n"
                                                         "</Texts>\n");
    DiskFile source(".\\;..\\");
    TextTable table(path.c_str(), source);
    table.m_language = 1;
    EXPECT_EQ(utf8(table.getText(1)), "Zeitfahren");
    EXPECT_TRUE(table.getText(2).empty());
    EXPECT_EQ(utf8(table.getText(3)), "Single race") << "the menu keeps the labels after the damage";
    EXPECT_EQ(utf8(table.getText(4)), "Options");
    const std::string written = log.text();
    EXPECT_NE(written.find(path + " is damaged at line 4"), std::string::npos) << written;

    LogCapture noise;
    TextTable garbage(dir.write("menu/Noise.xml", std::string("\x89PNG\r\n\x1a\n\0\0", 10)).c_str(), source);
    EXPECT_TRUE(garbage.getText(1).empty());
    EXPECT_NE(noise.text().find("Noise.xml is damaged"), std::string::npos) << noise.text();
}
