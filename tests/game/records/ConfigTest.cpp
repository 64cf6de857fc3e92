#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>

#include "engine/platform/archive/DiskFile.h"
#include "game/records/Config.h"
#include "tests/game/GameTestSupport.h"

namespace {

constexpr size_t BINDING_KINDS_AT = 221;
constexpr size_t BINDING_CODES_AT = 282;

template <typename T>
T at(const std::string& bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::string stored(const Config::Settings& settings) {
    std::string bytes(Config::Settings::STORED_SIZE, '\0');
    settings.store(reinterpret_cast<uint8_t*>(bytes.data()));
    return bytes;
}

std::string settingsRecord(const std::string& file) { return decryptRecordAt(file, 0, 210, Config::KEY); }

void setEverything(Config& config) {
    Config::Settings& s = config.m_settings;
    s.m_displayWidth = 1280;
    s.m_displayHeight = 1024;
    s.m_brightness = 11;
    s.m_contrast = 12;
    s.m_gamma = 13;
    s.m_language = 5;
    s.m_musicVolume = 14;
    s.m_effectsVolume = 15;
    s.m_objectDetail = 1;
    s.m_textureDetail = -2;
    std::strcpy(s.m_playerName1, "Ольга");
    std::strcpy(s.m_playerName2, "123456789012345678901234567890");
    s.m_timeTrialLaps = 5;
    s.m_timeTrialModel.value = 1;
    s.m_timeTrialColour.value = 2;
    s.m_timeTrialTrack.value = 3;
    s.m_championshipModel.value = 4;
    s.m_championshipColour.value = 1;
    s.m_championshipTrack.value = 5;
    s.m_singleRaceModel.value = 2;
    s.m_singleRaceColour.value = 3;
    s.m_singleRaceTrack.value = 4;
    s.m_singleRaceLaps = 2;
    s.m_twoPlayerMode = 1;
    s.m_twoPlayerModel1 = 3;
    s.m_twoPlayerModel2 = 4;
    s.m_twoPlayerColour1 = 2;
    s.m_twoPlayerColour2 = 3;
    s.m_twoPlayerLaps = 4;
    s.m_twoPlayerTrack = 5;
    for (int i = 0; i < Config::BINDINGS; ++i) {
        config.m_bindingKind[i] = i % 10;
        config.m_bindingCode[i] = i % 6 + 1;
    }
}

} // namespace

TEST(Config, RecordsAreLaidOutAsStored) {
    EXPECT_EQ(offsetof(Config::Player, model), 4u);
    EXPECT_EQ(offsetof(Config::Player, name), 8u);
    EXPECT_EQ(offsetof(Config::Player, ready), 39u);
    EXPECT_EQ(offsetof(Config::Player, raceReady), 40u);
    EXPECT_EQ(offsetof(Config::Player, raceFlag), 41u);
    EXPECT_EQ(offsetof(Config::Player, startRank), 44u);
    EXPECT_EQ(offsetof(Config::Player, place), 48u);
    EXPECT_EQ(offsetof(Config::Player, raceTime), 52u);
    EXPECT_EQ(offsetof(Config::Player, racePoints), 56u);
    EXPECT_EQ(offsetof(Config::Player, totalTime), 60u);
    EXPECT_EQ(offsetof(Config::Player, points), 64u);
    EXPECT_EQ(offsetof(Config::Player, bestLap), 68u);
    EXPECT_EQ(offsetof(Config::Player, lapTimes), 72u);
    EXPECT_EQ(sizeof(Config::Player), 156u);
    EXPECT_EQ(Config::Settings::STORED_SIZE, 210u);
}

TEST(Config, PlayerRecordDefaultsToAnEmptySlot) {
    Config::Player record;
    EXPECT_EQ(record.colour, -1);
    EXPECT_EQ(record.model, -1);
    const char zero[148] = {};
    EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(&record) + 8, zero, sizeof zero), 0);
}

TEST(Config, FirstStartWritesTheDefaults) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    Config config(nullptr, ".");
    EXPECT_STREQ(config.m_settings.m_playerName1, "Player 1");
    EXPECT_STREQ(config.m_settings.m_playerName2, "Player 2");
    EXPECT_EQ(config.m_settings.m_displayWidth, 1024);
    EXPECT_EQ(config.m_settings.m_musicVolume, 70);
    EXPECT_EQ(config.m_bindingCode[7], 0xCB);
    EXPECT_EQ(config.m_bindingKind[13], 4);
    std::string bytes = readWholeFile("config.dat");
    ASSERT_EQ(bytes.size(), 343u);
    EXPECT_EQ(Config::FILE_SIZE, 343u);
    EXPECT_EQ(uint8_t(bytes[4]), 6);
    EXPECT_EQ(uint8_t(bytes[BINDING_KINDS_AT + 4]), 0);
    EXPECT_EQ(uint8_t(bytes[BINDING_CODES_AT + 4]), 0);
}

TEST(Config, DefaultsFillTheSettingsBlockAtItsOffsets) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    Config config(nullptr, ".");
    std::string bytes = readWholeFile("config.dat");
    std::string s = settingsRecord(bytes);
    const int32_t words[] = {1024, 768, 50, 50, 50, -1, 70, 50, 0, -1};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(at<int32_t>(s, 4 * i), words[i]) << 4 * i;
    EXPECT_EQ(s.substr(40, 31), std::string("Player 1") + std::string(23, '\0'));
    EXPECT_EQ(s.substr(71, 31), std::string("Player 2") + std::string(23, '\0'));
    const int32_t choices[] = {3, 0, 4, 0, 3, 0, 3, 0, 4, 0, 3, 0, 0, 0, 4, 0, 3, 0, 3, 3, 3, 0, 1, 0, 1, 3, 0};
    for (int i = 0; i < 27; ++i) EXPECT_EQ(at<int32_t>(s, 102 + 4 * i), choices[i]) << 102 + 4 * i;
    std::string kinds = decryptRecordAt(bytes, BINDING_KINDS_AT, 56, Config::KEY);
    std::string codes = decryptRecordAt(bytes, BINDING_CODES_AT, 56, Config::KEY);
    const int32_t expected[] = {0x1E, 0x20, 0x11, 0x1F, 0x39, 0x0F, 0x39, 0xCB, 0xCD, 0xC8, 0xD0, 0x36, 0xB8, 0x9D};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(at<int32_t>(kinds, 4 * i), 4);
        EXPECT_EQ(at<int32_t>(codes, 4 * i), expected[i]);
    }
}

TEST(Config, FreshReplicatedSettings) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    Config config(nullptr, ".");
    EXPECT_EQ(config.m_game.get(), 3);
    EXPECT_EQ(config.m_track.get(), 0);
    EXPECT_EQ(config.m_laps.get(), 1);
    NetControl& client = NetControl::getInstance();
    EXPECT_EQ(client.getValueId(20), &config.m_game);
    EXPECT_EQ(client.getValueId(21), &config.m_laps);
    EXPECT_EQ(client.getValueId(22), &config.m_track);
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(client.getValueId(25 + slot), &config.m_player[slot]);
        EXPECT_EQ(config.m_player[slot].getName(), "m_player[]");
        EXPECT_EQ(config.m_player[slot].get().colour, 0) << "the defaults gave every slot colour 0";
        EXPECT_TRUE(config.m_player[slot].isChanged());
        EXPECT_EQ(config.m_playerKind[slot], 0);
    }
    EXPECT_EQ(config.m_game.getName(), "m_game");
    EXPECT_TRUE(config.m_isHost);
    EXPECT_TRUE(config.m_menuFlag);
    EXPECT_FALSE(config.m_raceAgain);
    EXPECT_FALSE(config.m_showHighscores);
    EXPECT_EQ(config.m_highscoreTrack, -1);
    EXPECT_EQ(config.m_highscoreTable, -1);
    EXPECT_EQ(config.m_serverAddress, "");
}

TEST(Config, ValuesGoAwayWithTheConfig) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    { Config config(nullptr, "."); }
    EXPECT_EQ(NetControl::getInstance().getValueId(20), nullptr);
    EXPECT_EQ(NetControl::getInstance().getValueId(29), nullptr);
}

TEST(Config, RoundTripKeepsEveryField) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    std::string saved;
    {
        Config config(nullptr, ".");
        setEverything(config);
        saved = stored(config.m_settings);
        ASSERT_TRUE(config.save());
        std::string s = settingsRecord(readWholeFile("config.dat"));
        EXPECT_EQ(s, saved);
        EXPECT_EQ(at<int32_t>(s, 20), 5);
        EXPECT_EQ(at<int32_t>(s, 36), -2);
        EXPECT_STREQ(s.c_str() + 40, "Ольга");
        EXPECT_EQ(at<int32_t>(s, 106), 1);
        EXPECT_EQ(at<int32_t>(s, 146), 5);
        EXPECT_EQ(at<int32_t>(s, 178), 2);
        EXPECT_EQ(at<int32_t>(s, 206), 5);
    }
    Config config(nullptr, ".");
    EXPECT_EQ(config.m_settings.m_language, -1);
    config.m_settings.m_language = 5;
    EXPECT_EQ(stored(config.m_settings), saved);
    for (int i = 0; i < Config::BINDINGS; ++i) {
        EXPECT_EQ(config.m_bindingKind[i], i % 10);
        EXPECT_EQ(config.m_bindingCode[i], i % 6 + 1);
    }
    EXPECT_EQ(config.m_player[0].get().colour, -1) << "a good file leaves the rider records alone";
}

TEST(Config, EveryStartAsksForTheLanguage) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    {
        Config config(nullptr, ".");
        config.m_settings.m_language = 2;
        ASSERT_TRUE(config.save());
    }
    Config config(nullptr, ".");
    EXPECT_EQ(config.m_settings.m_language, -1);
}

TEST(Config, ChoiceLimitsAreForcedAfterLoading) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    {
        Config config(nullptr, ".");
        config.m_settings.m_timeTrialTrack.limit = 1;
        config.m_settings.m_championshipModel.limit = 0;
        config.m_settings.m_singleRaceColour.limit = 9;
        ASSERT_TRUE(config.save());
        EXPECT_EQ(at<int32_t>(settingsRecord(readWholeFile("config.dat")), 126), 1);
    }
    Config config(nullptr, ".");
    std::string s = stored(config.m_settings);
    for (size_t offset : {110u, 134u, 158u}) EXPECT_EQ(at<int32_t>(s, offset), 4) << offset;
    for (size_t offset : {118u, 142u, 166u}) EXPECT_EQ(at<int32_t>(s, offset), 3) << offset;
    for (size_t offset : {126u, 150u, 174u}) EXPECT_EQ(at<int32_t>(s, offset), 5) << offset;
}

TEST(Config, DefaultsMarkTheRiderRecordsChanged) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    Config config(nullptr, ".");
    config.m_player[2].commit();
    config.m_playerKind[2] = 5;
    config.m_player[2].modify()->model = 3;
    config.m_player[2].commit();
    config.setDefaultPlayerNames();
    EXPECT_TRUE(config.m_player[2].isChanged());
    EXPECT_EQ(config.m_player[2].get().model, 0);
    EXPECT_EQ(config.m_playerKind[2], 0);
}

TEST(Config, ReceivedRiderRecordsGetATerminatedNameAndKnownIndices) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    Config config(nullptr, ".");
    uint8_t junk[156];
    std::memset(junk, 'x', sizeof junk);
    config.m_player[1].setData(junk, sizeof junk);
    config.m_player[1].commit();
    const Config::Player& record = config.m_player[1].get();
    EXPECT_EQ(std::strlen(record.name), 30u);
    EXPECT_EQ(record.colour, 0);
    EXPECT_EQ(record.model, 0);
    Config::Player empty;
    config.m_player[1].setData(reinterpret_cast<const uint8_t*>(&empty), sizeof empty);
    config.m_player[1].commit();
    EXPECT_EQ(config.m_player[1].get().colour, -1) << "an empty slot stays empty";
}

namespace {

// Saves a good configuration, damages its file, and checks that the next
// start uses the defaults, keeps the damaged file aside and writes a fresh one.
void expectDefaultsAfter(const std::function<std::string(const std::string&)>& damage, const char* why) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    {
        Config config(nullptr, ".");
        setEverything(config);
        ASSERT_TRUE(config.save());
    }
    std::string damaged = damage(readWholeFile("config.dat"));
    writeWholeFile("config.dat", damaged);
    LogCapture log;
    Config config(nullptr, ".");
    EXPECT_EQ(config.m_settings.m_displayWidth, 1024) << why;
    EXPECT_STREQ(config.m_settings.m_playerName1, "Player 1") << why;
    EXPECT_EQ(config.m_bindingKind[0], 4) << why;
    EXPECT_EQ(config.m_bindingCode[0], 0x1E) << why;
    EXPECT_NE(log.text().find("config.dat is damaged"), std::string::npos) << why;
    EXPECT_EQ(readWholeFile("config.dat.damaged"), damaged) << why;
    EXPECT_EQ(readWholeFile("config.dat").size(), 343u) << why;
}

// A file whose records all pass their checksums but whose settings were changed by `edit`.
std::string resavedWith(const std::function<void(Config&)>& edit) {
    Config config(nullptr, ".");
    edit(config);
    EXPECT_TRUE(config.save());
    return readWholeFile("config.dat");
}

} // namespace

TEST(Config, DamagedFilesGiveTheDefaults) {
    expectDefaultsAfter([](std::string b) { b[1] ^= 0x20; return b; }, "flipped checksum");
    expectDefaultsAfter([](std::string b) { b[6] ^= 0x01; return b; }, "flipped first word");
    expectDefaultsAfter([](std::string b) { b[BINDING_CODES_AT + 4] = 8; return b; }, "wrong pad count");
    expectDefaultsAfter([](std::string b) { return b.substr(0, 342); }, "truncated");
    expectDefaultsAfter([](std::string b) { return b + std::string(8, '\0'); }, "extended");
    expectDefaultsAfter([](std::string) { return std::string(); }, "zero length");
    expectDefaultsAfter([](std::string b) { return std::string(343, '\x01'); }, "another file's content");
}

TEST(Config, OutOfRangeValuesGiveTheDefaults) {
    expectDefaultsAfter([](std::string) { return resavedWith([](Config& c) { c.m_settings.m_musicVolume = 101; }); },
                        "music volume");
    expectDefaultsAfter(
        [](std::string) {
            return resavedWith([](Config& c) { std::memset(c.m_settings.m_playerName2, 'A', Config::NAME_SIZE); });
        },
        "unterminated name");
    expectDefaultsAfter([](std::string) { return resavedWith([](Config& c) { c.m_settings.m_displayWidth = 0; }); },
                        "screen width");
    expectDefaultsAfter([](std::string) { return resavedWith([](Config& c) { c.m_settings.m_language = 6; }); },
                        "language");
    expectDefaultsAfter(
        [](std::string) { return resavedWith([](Config& c) { c.m_settings.m_singleRaceTrack.value = 6; }); },
        "track choice");
    expectDefaultsAfter([](std::string) { return resavedWith([](Config& c) { c.m_settings.m_twoPlayerMode = 2; }); },
                        "two-player mode");
    expectDefaultsAfter([](std::string) { return resavedWith([](Config& c) { c.m_bindingCode[3] = 256; }); },
                        "key code");
    expectDefaultsAfter(
        [](std::string) {
            return resavedWith([](Config& c) {
                c.m_bindingKind[8] = 9;
                c.m_bindingCode[8] = 20;
            });
        },
        "joystick button");
}

TEST(Config, FileOfAnotherConfigurationKeyIsRefused) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    {
        BlowfishContext other;
        const uint8_t iv[8] = {};
        blowfishSetKey(iv, 16, other, reinterpret_cast<const uint8_t*>("QuarnholtMopedHS"));
        DiskFile file(".\\;..\\");
        ASSERT_TRUE(file.create("config.dat"));
        uint8_t settings[210] = {};
        int32_t bindings[14] = {};
        ASSERT_TRUE(writeEncryptedRecord(settings, 210, other, file));
        ASSERT_TRUE(writeEncryptedRecord(bindings, 56, other, file));
        ASSERT_TRUE(writeEncryptedRecord(bindings, 56, other, file));
    }
    LogCapture log;
    Config config(nullptr, ".");
    EXPECT_EQ(config.m_settings.m_displayHeight, 768);
    EXPECT_NE(log.text().find("damaged"), std::string::npos);
}

TEST(Config, AFailedSaveKeepsTheOldFile) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    Config config(nullptr, ".");
    std::string before = readWholeFile("config.dat");
    // A folder in the way of the new file, which a save cannot clear.
    ASSERT_EQ(mkdir("config.dat.new", 0755), 0);
    writeWholeFile("config.dat.new/keep", "x");
    config.m_settings.m_musicVolume = 10;
    LogCapture log;
    EXPECT_FALSE(config.save());
    EXPECT_EQ(readWholeFile("config.dat"), before);
    EXPECT_EQ(log.text(), "./config.dat cannot be written (Is a directory); it is not saved, the file on disk stays as "
                          "it was\n");
}

TEST(Config, AFileThatCannotBeReadIsNeverReplaced) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("config.dat").c_str(), 0755), 0);
    writeWholeFile(dir.file("config.dat/keep"), "x");
    LogCapture log;
    Config config(nullptr, dir.path());
    EXPECT_EQ(config.m_settings.m_displayWidth, 1024) << "the game runs on the defaults";
    config.m_settings.m_musicVolume = 10;
    EXPECT_FALSE(config.save());
    EXPECT_EQ(readWholeFile(dir.file("config.dat/keep")), "x");
    EXPECT_NE(log.text().find("config.dat cannot be read"), std::string::npos) << log.text();
}

TEST(Config, WithoutAFolderNoFileIsKept) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    Config config(nullptr, "");
    EXPECT_EQ(config.m_settings.m_displayWidth, 1024);
    EXPECT_FALSE(config.save());
    EXPECT_FALSE(fileExists("config.dat"));
}
