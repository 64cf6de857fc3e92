#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "engine/platform/Report.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/TempDir.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

// Little-endian byte building for archives written by hand.
struct Bytes {
    std::string s;
    Bytes& u8(uint8_t v) {
        s.push_back(static_cast<char>(v));
        return *this;
    }
    Bytes& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes& str(const std::string& v) {
        s += v;
        return *this;
    }
    Bytes& entry(const std::string& name, uint8_t flags, uint32_t offset, uint32_t stored, uint32_t unpacked) {
        return u8(static_cast<uint8_t>(name.size())).str(name).u8(flags).u32(offset).u32(stored).u32(unpacked);
    }
};

class Archive : public ReportCapture<1> {
protected:

    std::unique_ptr<DataArchive> openBytes(const std::string& bytes, bool expectOpen = true) {
        m_path = m_dir.write("data.sar", bytes);
        return openPath(m_path, expectOpen);
    }
    std::unique_ptr<DataArchive> openWriter(const ArchiveWriter& writer) {
        m_path = m_dir.file("data.sar");
        std::string error;
        EXPECT_TRUE(writer.write(m_path, error)) << error;
        return openPath(m_path, true);
    }
    std::unique_ptr<DataArchive> openPath(const std::string& path, bool expectOpen) {
        DiskFile disk(".\\;..\\");
        auto a = std::make_unique<DataArchive>(disk);
        bool opened = a->openArchive(path.c_str());
        EXPECT_EQ(opened, expectOpen);
        return a;
    }
    static std::string readAll(File& f) {
        std::string s(f.getSize(), '\0');
        f.read(s.data(), f.getSize());
        return s;
    }

    TempDir m_dir;
    std::string m_path;
};

} // namespace

TEST_F(Archive, FindsMemberIgnoringCaseAndSlashes) {
    ArchiveWriter w;
    w.add("textures\\car.bmp", std::string("BMcar"), 0);
    auto a = openWriter(w);
    ASSERT_TRUE(a->open("Textures/Car.BMP"));
    EXPECT_EQ(readAll(*a), "BMcar");
    EXPECT_TRUE(a->exists("TEXTURES/CAR.bmp"));
}

TEST_F(Archive, UnknownFlagsCountForExistsButNeverOpen) {
    Bytes b;
    b.u32(ARCHIVE_MAGIC).u32(0).u32(2);
    b.entry("a.txt", 4, 0, 3, 3).entry("b.txt", 4, 3, 3, 3).str("AAABBB");
    auto a = openBytes(b.s);
    EXPECT_TRUE(a->exists("a.txt"));
    EXPECT_FALSE(a->open("a.txt"));
    EXPECT_STREQ(g_lastErrorText.text(), "error: \"a.txt\" not found !!!\n");

    Bytes c;
    c.u32(ARCHIVE_MAGIC).u32(0).u32(2);
    c.entry("a.txt", 4, 0, 3, 3).entry("A.TXT", 0, 3, 3, 3).str("AAABBB");
    auto second = openBytes(c.s);
    ASSERT_TRUE(second->open("a.txt"));
    EXPECT_EQ(readAll(*second), "BBB");
}

TEST_F(Archive, LayoutOneKeepsTheDirectoryAtTheEnd) {
    Bytes b;
    b.u32(ARCHIVE_MAGIC).u32(0x01000007).u32(1).u32(16 + 5).str("hello");
    b.entry("menu\\texts.xml", 0, 16, 5, 5);
    auto a = openBytes(b.s);
    EXPECT_EQ(a->getVersion(), 0x01000007u);
    ASSERT_TRUE(a->open("menu/Texts.xml"));
    EXPECT_EQ(readAll(*a), "hello");
}

TEST_F(Archive, LayoutZeroCountsOffsetsFromTheDirectoryEnd) {
    Bytes b;
    b.u32(ARCHIVE_MAGIC).u32(0).u32(2).entry("one", 0, 4, 2, 2).entry("two", 0, 0, 4, 4).str("TWO!1x");
    auto a = openBytes(b.s);
    ASSERT_TRUE(a->open("one"));
    EXPECT_EQ(readAll(*a), "1x");
    ASSERT_TRUE(a->open("two"));
    EXPECT_EQ(readAll(*a), "TWO!");
}

TEST_F(Archive, RejectsForeignFilesAndSecondOpens) {
    openBytes("RIFF0000WAVEfmt ", false);
    Bytes b;
    b.u32(ARCHIVE_MAGIC).u32(0x02000000).u32(0);
    openBytes(b.s, false);
    Bytes ok;
    ok.u32(ARCHIVE_MAGIC).u32(0).u32(0);
    auto a = openBytes(ok.s);
    EXPECT_FALSE(a->openArchive(m_path.c_str()));
    DiskFile disk("");
    DataArchive missing(disk);
    EXPECT_FALSE(missing.openArchive((m_dir.path() + "/none.sar").c_str()));
    EXPECT_FALSE(missing.open("x"));
}

TEST_F(Archive, SeekSkipAndReadStayInsideTheMember) {
    ArchiveWriter w;
    w.add("m", std::string("0123456789"), 0);
    auto a = openWriter(w);
    ASSERT_TRUE(a->open("m"));
    char buf[32];
    EXPECT_TRUE(a->seek(100));
    EXPECT_EQ(a->tell(), 10u);
    EXPECT_EQ(a->read(buf, 4), 0);
    EXPECT_TRUE(a->skip(-4));
    EXPECT_EQ(a->read(buf, 32), 4);
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_TRUE(a->seek(2));
    EXPECT_TRUE(a->skip(-5)); // before the start ends at the end
    EXPECT_EQ(a->tell(), 10u);
}

TEST_F(Archive, MissingMemberLeavesTheOpenOneReadable) {
    ArchiveWriter w;
    w.add("first", std::string("abcdef"), 3);
    auto a = openWriter(w);
    ASSERT_TRUE(a->open("first"));
    char buf[3];
    a->read(buf, 3);
    EXPECT_FALSE(a->open("second"));
    EXPECT_STREQ(g_lastErrorText.text(), "error: \"second\" not found !!!\n");
    EXPECT_EQ(a->tell(), 3u);
    EXPECT_EQ(a->read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "def");
}

TEST_F(Archive, PackedSizeIsTheDecodedLengthWhateverTheDirectorySays) {
    // Range-coded alone, and block-sorted past the size whose walk memory is
    // prepared (and its pages brought in) for the size the directory claims.
    std::string large(1200000, '\0');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>("plimzor"[i % 7] + (i / 7919) % 5);
    const std::pair<std::string, uint8_t> members[] = {{std::string(1000, 'z'), 1}, {large, 3}};
    for (const auto& [member, flags] : members)
        for (uint32_t wrong : {10u, 2000000u}) {
            ArchiveWriter w;
            w.add("p", member, flags);
            auto good = openWriter(w);
            EXPECT_EQ(good->exists("p"), true);
            std::string sar;
            {
                std::ifstream in(m_path, std::ios::binary);
                sar.assign(std::istreambuf_iterator<char>(in), {});
            }
            // unpackedSize sits at the end of the single entry: header 12 + 1 + 1 + 1 + 4 + 4.
            std::memcpy(&sar[12 + 1 + 1 + 1 + 4 + 4], &wrong, 4);
            auto a = openBytes(sar);
            ASSERT_TRUE(a->open("p"));
            EXPECT_EQ(a->getSize(), member.size());
            EXPECT_TRUE(readAll(*a) == member) << "flags " << int(flags) << ", directory says " << wrong;
        }
}

TEST_F(Archive, ClonesShareNothing) {
    ArchiveWriter w;
    w.add("a", std::string("AAAA"), 0);
    w.add("b", std::string("BB"), 2);
    auto a = openWriter(w);
    ASSERT_TRUE(a->open("a"));
    std::unique_ptr<File> copy(a->clone());
    EXPECT_EQ(copy->getSize(), 0u);
    ASSERT_TRUE(copy->open("b"));
    EXPECT_EQ(readAll(*copy), "BB");
    EXPECT_EQ(readAll(*a), "AAAA");
}

TEST_F(Archive, BrokenDirectoriesFailToOpen) {
    Bytes truncated;
    truncated.u32(ARCHIVE_MAGIC).u32(0).u32(2).entry("only", 0, 0, 1, 1);
    openBytes(truncated.s, false);

    Bytes hugeCount;
    hugeCount.u32(ARCHIVE_MAGIC).u32(0).u32(0x7FFFFFFF).entry("x", 0, 0, 1, 1).str("x");
    openBytes(hugeCount.s, false);

    Bytes longName;
    longName.u32(ARCHIVE_MAGIC).u32(0).u32(1).entry(std::string(254, 'n'), 0, 0, 1, 1).str("x");
    openBytes(longName.s, false);

    Bytes header;
    header.u32(ARCHIVE_MAGIC).u32(0);
    openBytes(header.s, false);

    Bytes longest;
    longest.u32(ARCHIVE_MAGIC).u32(0).u32(1).entry(std::string(253, 'n'), 0, 0, 1, 1).str("x");
    auto a = openBytes(longest.s);
    EXPECT_TRUE(a->open(std::string(253, 'N').c_str()));
}

TEST_F(Archive, MembersPastTheEndFailCleanly) {
    Bytes b;
    b.u32(ARCHIVE_MAGIC).u32(0).u32(3);
    b.entry("past", 0, 2, 100, 100).entry("wrap", 0, 0xFFFFFFF0u, 0x20, 0x20).entry("index", 2, 0, 4, 4);
    b.str("data");
    auto a = openBytes(b.s);
    EXPECT_FALSE(a->open("past"));
    EXPECT_STREQ(g_lastErrorText.text(), "error: \"past\" is damaged !!!\n");
    EXPECT_FALSE(a->open("wrap"));
    EXPECT_FALSE(a->open("index")); // its primary index would lie past the end
}

TEST_F(Archive, DamagedPackedMemberIsReportedNotThrown) {
    ByteBuffer source("a packed member that loses its tail"), packed;
    uint32_t storedSize = 0, unpackedSize = 0;
    packMember(source, 1, packed, storedSize, unpackedSize);
    std::string cut(reinterpret_cast<const char*>(packed.data()), storedSize / 2);
    Bytes b;
    b.u32(ARCHIVE_MAGIC).u32(0).u32(2);
    b.entry("endless", 1, 0, storedSize / 2, unpackedSize).entry("badindex", 2, storedSize / 2, 3, 3);
    b.str(cut).str("abc").u32(0);
    auto a = openBytes(b.s);
    EXPECT_NO_THROW(EXPECT_FALSE(a->open("endless")));
    EXPECT_STREQ(g_lastErrorText.text(), "error: \"endless\" is damaged !!!\n");
    EXPECT_FALSE(a->open("badindex"));
}

TEST_F(Archive, RandomDamageNeverReadsOutsideTheFile) {
    ArchiveWriter w(1);
    const std::string text(3000, 'k');
    for (uint8_t flags = 0; flags <= 3; ++flags) w.add("m" + std::to_string(flags), text + std::to_string(flags), flags);
    std::string path = m_dir.file("good.sar"), error;
    ASSERT_TRUE(w.write(path, error));
    std::ifstream in(path, std::ios::binary);
    const std::string good{std::istreambuf_iterator<char>(in), {}};
    uint32_t seed = 99;
    auto next = [&seed] { return seed = seed * 214013u + 2531011u, (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 300; ++round) {
        std::string bad = good;
        for (int k = 0, n = 1 + next() % 8; k < n; ++k) bad[next() % bad.size()] = static_cast<char>(next());
        if (round % 5 == 0) bad.resize(next() % bad.size());
        const std::string badPath = m_dir.write("bad.sar", bad);
        DiskFile disk("");
        auto a = std::make_unique<DataArchive>(disk);
        a->openArchive(badPath.c_str()); // damage may or may not break the directory
        for (uint8_t flags = 0; flags <= 3; ++flags) {
            if (!a->open(("m" + std::to_string(flags)).c_str())) continue;
            std::string bytes(a->getSize(), '\0');
            EXPECT_EQ(a->read(bytes.data(), a->getSize()), static_cast<int32_t>(a->getSize()));
        }
    }
}

TEST_F(Archive, AFileFoundButNoWholeArchiveSaysWhatIsWrongWithIt) {
    DiskFile disk("");
    DataArchive missing(disk);
    EXPECT_FALSE(missing.openArchive((m_dir.path() + "/none.sar").c_str()));
    EXPECT_FALSE(missing.found()) << "a missing archive is only missing";

    auto foreign = openBytes("RIFF0000WAVEfmt ", false);
    EXPECT_TRUE(foreign->found());
    EXPECT_NE(lastError().find("\"SARC\""), std::string::npos) << lastError();
    // A count of 0xFFFFFFFF members once read as none: an empty archive, without a word.
    Bytes forged;
    forged.u32(ARCHIVE_MAGIC).u32(0).u32(0xFFFFFFFFu).entry("a", 0, 0, 1, 1).str("x");
    auto counted = openBytes(forged.s, false);
    EXPECT_TRUE(counted->found());
    EXPECT_TRUE(counted->getDirectory().empty());
    EXPECT_EQ(lastError(), "error: archive directory runs past the end of the file\n");
    // The directory at the end, its offset past a cut.
    Bytes cut;
    cut.u32(ARCHIVE_MAGIC).u32(0x01000000).u32(1).u32(5000).str("data");
    g_lastErrorText.assignText("");
    openBytes(cut.s, false);
    EXPECT_EQ(lastError(), "error: archive directory runs past the end of the file\n");
}
