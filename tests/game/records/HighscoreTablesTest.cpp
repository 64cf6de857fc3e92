#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "game/records/EncryptedRecord.h"
#include "game/records/HighscoreTables.h"
#include "tests/game/GameTestSupport.h"

namespace {

HighscoreEntry entry(float time, uint32_t value = 0, const char* name = "Rider") {
    return HighscoreEntry(time, value, name, 2, 3);
}

std::string decryptRecord(const std::string& file, int index) {
    const uint32_t lengths[] = {492, 4, 2952, 2952};
    size_t at = 0;
    for (int i = 0; i < index; ++i) at += encryptedRecordSize(lengths[i]);
    return decryptRecordAt(file, at, lengths[index], HighscoreBase::KEY);
}

std::string storedBytes(const HighscoreEntry* e) {
    std::string bytes(HighscoreEntry::STORED_SIZE, '\0');
    e->store(reinterpret_cast<uint8_t*>(bytes.data()));
    return bytes;
}

template <typename T>
T at(const std::string& bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

void fillEverything(HighscoreTables& tables) {
    for (int track = 0; track < 6; ++track) {
        for (int rank = 0; rank < 10; ++rank) {
            std::string name = "tt" + std::to_string(track) + "-" + std::to_string(rank);
            tables.getTimeTrial().setEntry(track, rank, HighscoreEntry(10.0f * track + rank, rank, name.c_str(), 1, 4));
            name = "sr" + std::to_string(track) + "-" + std::to_string(rank);
            tables.getSingleRace().setEntry(track, rank, HighscoreEntry(100.0f + rank, 7, name.c_str(), 3, 0));
        }
        tables.getTimeTrial().setBestLap(track, HighscoreEntry(1.5f + track, 9, "lap", 0, 1));
        tables.getSingleRace().setBestLap(track, HighscoreEntry(2.5f + track, 8, "lap2", 2, 2));
    }
    for (int rank = 0; rank < 10; ++rank)
        tables.getChampionship().setEntry(0, rank, HighscoreEntry(600.0f + rank, 50 - rank, "champ", 1, 5));
    tables.getChampionship().setBestLap(0, HighscoreEntry(30.0f, 1, "champ lap", 255, 255));
    tables.getChampionship().m_submittedTime = 612.25f;
}

} // namespace

TEST(HighscoreEntry, StoresFortyOneBytesAtTheirOffsets) {
    HighscoreEntry e(12.5f, 0xA1B2C3D4u, "Moped", 3, 4);
    std::string bytes(HighscoreEntry::STORED_SIZE, '\0');
    e.store(reinterpret_cast<uint8_t*>(bytes.data()));
    ASSERT_EQ(bytes.size(), 41u);
    HighscoreEntry back;
    back.restore(reinterpret_cast<const uint8_t*>(bytes.data()));
    EXPECT_EQ(back.m_value, 0xA1B2C3D4u);
    EXPECT_STREQ(back.m_name, "Moped");
    EXPECT_EQ(at<float>(bytes, 0), 12.5f);
    EXPECT_EQ(at<uint32_t>(bytes, 4), 0xA1B2C3D4u);
    EXPECT_EQ(bytes.substr(8, 31), std::string("Moped") + std::string(26, '\0'));
    EXPECT_EQ(uint8_t(bytes[39]), 3);
    EXPECT_EQ(uint8_t(bytes[40]), 4);
}

TEST(HighscoreEntry, KeepsThirtyCharactersOfAName) {
    HighscoreEntry e(1.0f, 0, "0123456789012345678901234567890123456789", 0, 0);
    EXPECT_EQ(std::string(e.m_name), "012345678901234567890123456789");
    EXPECT_TRUE(e.isValid());
    HighscoreEntry none(1.0f, 0, nullptr, 0, 0);
    EXPECT_EQ(std::string(none.m_name), "");
}

TEST(HighscoreEntry, RejectsWhatNoGameWrites) {
    HighscoreEntry e = entry(5.0f);
    EXPECT_TRUE(e.isValid());
    HighscoreEntry unterminated = e;
    std::memset(unterminated.m_name, 'x', sizeof unterminated.m_name);
    EXPECT_FALSE(unterminated.isValid());
    HighscoreEntry junkAfterName = e;
    junkAfterName.m_name[20] = 'q';
    EXPECT_FALSE(junkAfterName.isValid());
    HighscoreEntry nan = e;
    nan.m_time = std::nanf("");
    EXPECT_FALSE(nan.isValid());
    HighscoreEntry negative = e;
    negative.m_time = -2.0f;
    EXPECT_FALSE(negative.isValid());
    HighscoreEntry badModel = e;
    badModel.m_model = 6;
    EXPECT_FALSE(badModel.isValid());
    EXPECT_TRUE(HighscoreEntry().isValid());
}

TEST(HighscoreTables, FreshTablesHoldEmptySlots) {
    HighscoreTables tables;
    HighscoreEntry* e = tables.getTimeTrial().getEntry(5, 9);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->m_time, -1.0f);
    EXPECT_EQ(e->m_value, 0u);
    EXPECT_EQ(e->m_name[0], '\0');
    EXPECT_EQ(e->m_colour, 255);
    EXPECT_EQ(e->m_model, 255);
    EXPECT_EQ(tables.getChampionship().getBestLap(0)->m_time, -1.0f);
}

TEST(HighscoreTables, ResetFillsEveryRowAndForgetsTheSubmission) {
    HighscoreTables tables;
    fillEverything(tables);
    tables.reset();
    for (HighscoreBase* t : {static_cast<HighscoreBase*>(&tables.getTimeTrial()),
                             static_cast<HighscoreBase*>(&tables.getSingleRace()),
                             static_cast<HighscoreBase*>(&tables.getChampionship())}) {
        for (int track = 0; track < 6; ++track) {
            for (int rank = 0; rank < 10; ++rank) {
                const HighscoreEntry* e = t->getEntry(track, rank);
                EXPECT_EQ(e->m_time, 9999999.0f);
                EXPECT_EQ(e->m_value, 0u);
                EXPECT_EQ(e->m_name[0], '\0');
                EXPECT_EQ(e->m_colour, 255);
            }
            EXPECT_EQ(t->getBestLap(track)->m_time, 9999999.0f);
        }
    }
    EXPECT_EQ(tables.getChampionship().m_submittedTime, 3.4028235e38f);
}

TEST(HighscoreTables, AfterResetAnyTimeRanksFirst) {
    HighscoreTables tables;
    tables.reset();
    EXPECT_EQ(tables.getTimeTrial().findRank(2, entry(9999998.0f)), 0);
    EXPECT_EQ(tables.getSingleRace().insert(2, entry(61.0f)), 0);
    EXPECT_EQ(tables.getChampionship().insert(0, entry(300.0f)), 0);
    EXPECT_EQ(tables.getTimeTrial().findRank(2, entry(9999999.0f)), -1);
}

TEST(HighscoreTimeTrial, EqualTimeRanksAfterTheStoredOne) {
    HighscoreTimeTrial table;
    table.reset();
    EXPECT_EQ(table.insert(1, entry(50.0f, 0, "first")), 0);
    EXPECT_EQ(table.insert(1, entry(50.0f, 0, "second")), 1);
    EXPECT_EQ(table.insert(1, entry(40.0f, 0, "best")), 0);
    EXPECT_STREQ(table.getEntry(1, 0)->m_name, "best");
    EXPECT_STREQ(table.getEntry(1, 1)->m_name, "first");
    EXPECT_STREQ(table.getEntry(1, 2)->m_name, "second");
    EXPECT_EQ(table.getEntry(0, 0)->m_time, 9999999.0f) << "other tracks stay alone";
}

TEST(HighscoreTimeTrial, InsertIntoAFullRowDropsTheLast) {
    HighscoreTimeTrial table;
    for (int rank = 0; rank < 10; ++rank) table.setEntry(3, rank, entry(10.0f * (rank + 1), rank));
    table.setBestLap(3, entry(4.0f, 77));
    EXPECT_EQ(table.insert(3, entry(25.0f, 42)), 2);
    EXPECT_EQ(table.getEntry(3, 1)->m_time, 20.0f);
    EXPECT_EQ(table.getEntry(3, 2)->m_value, 42u);
    EXPECT_EQ(table.getEntry(3, 3)->m_time, 30.0f);
    EXPECT_EQ(table.getEntry(3, 9)->m_time, 90.0f);
    EXPECT_EQ(table.getBestLap(3)->m_value, 77u) << "the best lap is not part of the ranking";
}

TEST(HighscoreTimeTrial, SlowerThanRankNineLeavesTheRowAlone) {
    HighscoreTimeTrial table;
    for (int rank = 0; rank < 10; ++rank) table.setEntry(0, rank, entry(10.0f * (rank + 1), rank));
    EXPECT_EQ(table.findRank(0, entry(100.0f)), -1);
    EXPECT_EQ(table.insert(0, entry(100.0f)), -1);
    EXPECT_EQ(table.insert(0, entry(std::nanf(""))), -1);
    for (int rank = 0; rank < 10; ++rank) EXPECT_EQ(table.getEntry(0, rank)->m_value, uint32_t(rank));
}

TEST(HighscoreTimeTrial, RefusesTracksAndRanksOutsideTheTable) {
    HighscoreTimeTrial table;
    EXPECT_EQ(table.getEntry(6, 0), nullptr);
    EXPECT_EQ(table.getEntry(-1, 0), nullptr);
    EXPECT_EQ(table.getEntry(0, 10), nullptr);
    EXPECT_EQ(table.getBestLap(6), nullptr);
    EXPECT_EQ(table.insert(7, entry(1.0f)), -1);
    table.setEntry(0, -1, entry(1.0f));
    table.setBestLap(-3, entry(1.0f));
}

TEST(HighscoreTimeTrial, SettersTerminateTheName) {
    HighscoreTimeTrial table;
    table.reset();
    HighscoreEntry raw = entry(3.0f);
    std::memset(raw.m_name, 'z', sizeof raw.m_name);
    table.setEntry(0, 0, raw);
    EXPECT_EQ(std::strlen(table.getEntry(0, 0)->m_name), 30u);
    EXPECT_EQ(table.insert(0, raw), 1);
    EXPECT_TRUE(table.getEntry(0, 1)->isValid());
}

TEST(HighscoreChampionship, GreaterSecondValueWinsOnEqualTime) {
    HighscoreChampionship table;
    table.reset();
    table.setEntry(0, 0, entry(500.0f, 10, "stored"));
    EXPECT_EQ(table.insert(4, entry(500.0f, 12, "new")), 0);
    EXPECT_STREQ(table.getEntry(0, 1)->m_name, "stored");

    HighscoreChampionship other;
    other.reset();
    other.setEntry(0, 0, entry(500.0f, 12, "stored"));
    EXPECT_EQ(other.insert(0, entry(500.0f, 10, "new")), 1);
    EXPECT_EQ(other.insert(0, entry(500.0f, 12, "same")), 1) << "equal time and value rank after";
    EXPECT_STREQ(other.getEntry(0, 1)->m_name, "same");
    EXPECT_STREQ(other.getEntry(0, 2)->m_name, "new");
}

TEST(HighscoreChampionship, IgnoresTheTrack) {
    HighscoreChampionship table;
    table.reset();
    table.setEntry(3, 0, entry(1.0f, 5));
    EXPECT_EQ(table.getEntry(0, 0)->m_value, 5u);
    EXPECT_EQ(table.getBestLap(9), table.getBestLap(0));
}

TEST(HighscoreTables, FileOfAFreshResetHasTheFourRecords) {
    TempDir dir;
    HighscoreTables tables;
    tables.reset();
    std::string path = dir.file("highscore.dat");
    ASSERT_TRUE(tables.save(path.c_str()));
    std::string bytes = readWholeFile(path);
    EXPECT_EQ(HighscoreTables::FILE_SIZE, 6428u);
    ASSERT_EQ(bytes.size(), 6428u);
    EXPECT_EQ(uint8_t(bytes[4]), 4) << "row record padded to 496";
    EXPECT_EQ(uint8_t(bytes[501 + 4]), 4) << "time record padded to 8";
    EXPECT_EQ(uint8_t(bytes[514 + 4]), 0);
    EXPECT_EQ(uint8_t(bytes[514 + 2957 + 4]), 0);
    EXPECT_EQ(at<float>(decryptRecord(bytes, 1), 0), 3.4028235e38f);
}

TEST(HighscoreTables, PinsEveryOffsetOfTheFile) {
    TempDir dir;
    HighscoreTables tables;
    fillEverything(tables);
    std::string path = dir.file("highscore.dat");
    ASSERT_TRUE(tables.save(path.c_str()));
    std::string bytes = readWholeFile(path);
    std::string champ = decryptRecord(bytes, 0), submitted = decryptRecord(bytes, 1);
    std::string timeTrial = decryptRecord(bytes, 2), singleRace = decryptRecord(bytes, 3);
    EXPECT_EQ(at<float>(champ, 3 * 41), 603.0f);
    EXPECT_EQ(at<uint32_t>(champ, 3 * 41 + 4), 47u);
    EXPECT_EQ(champ.substr(3 * 41 + 8, 6), std::string("champ\0", 6));
    EXPECT_EQ(uint8_t(champ[3 * 41 + 39]), 1);
    EXPECT_EQ(uint8_t(champ[3 * 41 + 40]), 5);
    EXPECT_EQ(at<float>(champ, 10 * 41), 30.0f);
    EXPECT_EQ(at<float>(submitted, 0), 612.25f);
    size_t e = 4 * 492 + 7 * 41; // track 4, rank 7
    EXPECT_EQ(at<float>(timeTrial, e), 47.0f);
    EXPECT_EQ(at<uint32_t>(timeTrial, e + 4), 7u);
    EXPECT_EQ(std::string(timeTrial.c_str() + e + 8), "tt4-7");
    EXPECT_EQ(uint8_t(timeTrial[e + 39]), 1);
    EXPECT_EQ(uint8_t(timeTrial[e + 40]), 4);
    EXPECT_EQ(at<float>(timeTrial, 5 * 492 + 10 * 41), 6.5f) << "best lap of track 5";
    EXPECT_EQ(at<float>(timeTrial, 5 * 492 + 11 * 41), -1.0f) << "the spare entry is saved";
    EXPECT_EQ(std::string(singleRace.c_str() + 2 * 492 + 3 * 41 + 8), "sr2-3");
}

TEST(HighscoreTables, RoundTripKeepsEveryField) {
    TempDir dir;
    std::string path = dir.file("highscore.dat");
    HighscoreTables written;
    fillEverything(written);
    ASSERT_TRUE(written.save(path.c_str()));
    HighscoreTables read;
    ASSERT_TRUE(read.load(path.c_str()));
    for (int track = 0; track < 6; ++track) {
        for (int rank = 0; rank < 10; ++rank) {
            EXPECT_EQ(storedBytes(read.getTimeTrial().getEntry(track, rank)),
                      storedBytes(written.getTimeTrial().getEntry(track, rank)));
            EXPECT_EQ(storedBytes(read.getSingleRace().getEntry(track, rank)),
                      storedBytes(written.getSingleRace().getEntry(track, rank)));
        }
        EXPECT_EQ(storedBytes(read.getTimeTrial().getBestLap(track)),
                  storedBytes(written.getTimeTrial().getBestLap(track)));
    }
    for (int rank = 0; rank < 10; ++rank)
        EXPECT_EQ(storedBytes(read.getChampionship().getEntry(0, rank)),
                  storedBytes(written.getChampionship().getEntry(0, rank)));
    EXPECT_EQ(read.getChampionship().m_submittedTime, 612.25f);
}

TEST(HighscoreTables, MissingFileFailsWithoutALogLine) {
    TempDir dir;
    LogCapture log;
    HighscoreTables tables;
    EXPECT_FALSE(tables.load(dir.file("highscore.dat").c_str()));
    EXPECT_EQ(log.text(), "");
}

namespace {

// Saves good tables, damages the file, and checks that the load refuses it
// and keeps it aside under name + ".damaged".
void expectRejected(const std::function<std::string(const std::string&)>& damage, const char* why) {
    TempDir dir;
    std::string path = dir.file("highscore.dat");
    HighscoreTables good;
    fillEverything(good);
    ASSERT_TRUE(good.save(path.c_str()));
    std::string damaged = damage(readWholeFile(path));
    writeWholeFile(path, damaged);
    LogCapture log;
    HighscoreTables tables;
    EXPECT_FALSE(tables.load(path.c_str())) << why;
    EXPECT_NE(log.text().find("highscore.dat is damaged"), std::string::npos) << why;
    EXPECT_FALSE(fileExists(path)) << why;
    EXPECT_EQ(readWholeFile(path + ".damaged"), damaged) << why;
}

} // namespace

TEST(HighscoreTables, RejectsAndKeepsDamagedFiles) {
    expectRejected([](std::string b) { b[0] ^= 0x01; return b; }, "flipped checksum");
    expectRejected([](std::string b) { b[5] ^= 0x80; return b; }, "flipped first word");
    expectRejected([](std::string b) { b[4] = 12; return b; }, "wrong pad count");
    expectRejected([](std::string b) { b[514 + 5 + 8 + 30] ^= 0x41; return b; }, "flipped name terminator");
    expectRejected([](std::string b) { return b.substr(0, b.size() - 1); }, "truncated");
    expectRejected([](std::string b) { return b.substr(0, 501); }, "only the first record");
    expectRejected([](std::string b) { return b + "x"; }, "extended");
    expectRejected([](std::string) { return std::string(); }, "zero length");
    expectRejected([](std::string b) { return std::string(b.size(), '\x5A'); }, "another file's content");
}

TEST(HighscoreTables, RejectsTablesWrittenWithAnotherKey) {
    TempDir dir;
    std::string path = dir.file("highscore.dat");
    // A file of the right size whose records were made with the configuration's kind of key.
    std::string bytes;
    {
        HighscoreTables tables;
        tables.reset();
        ASSERT_TRUE(tables.save(path.c_str()));
        bytes = readWholeFile(path);
    }
    BlowfishContext other;
    const uint8_t iv[8] = {};
    blowfishSetKey(iv, 16, other, reinterpret_cast<const uint8_t*>("0123456789ABCDEF"));
    uint8_t* block = reinterpret_cast<uint8_t*>(bytes.data()) + 5;
    blowfishEncryptBuffer(BLOWFISH_CFB64, block, 496, other);
    writeWholeFile(path, bytes);
    LogCapture log;
    HighscoreTables tables;
    EXPECT_FALSE(tables.load(path.c_str()));
}

TEST(HighscoreTables, AFailedSaveKeepsTheOldFile) {
    TempDir dir;
    std::string path = dir.file("highscore.dat");
    HighscoreTables tables;
    tables.reset();
    ASSERT_TRUE(tables.save(path.c_str()));
    std::string before = readWholeFile(path);
    EXPECT_FALSE(tables.save(dir.file("no/such/folder/highscore.dat").c_str()));
    EXPECT_EQ(readWholeFile(path), before);
}

TEST(HighscoreTables, AFileThatCannotBeReadIsNeverReplaced) {
    TempDir dir;
    const std::string path = dir.file("highscore.dat");
    ASSERT_TRUE(std::filesystem::create_directory(path));
    LogCapture log;
    HighscoreTables tables;
    EXPECT_FALSE(tables.load(path.c_str()));
    tables.reset();
    EXPECT_FALSE(tables.save(path.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_NE(log.text().find("cannot be read"), std::string::npos) << log.text();
}
