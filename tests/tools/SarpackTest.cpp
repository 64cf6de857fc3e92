#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "tests/support/TempDir.h"
#include "tools/sarpack/ArchiveLister.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

std::string sample(size_t n, uint32_t seed) {
    // Text-like bytes with repeats, as scene files and tables are.
    static const char* words[] = {"Envelope ", "Key ", "0.5 ", "\n", "{ ", "} ", "LoadObjectLayer ", "1 "};
    std::string s;
    while (s.size() < n) {
        seed = seed * 214013u + 2531011u;
        s += words[(seed >> 16) % 8];
        if ((seed >> 20) % 5 == 0) s.push_back(static_cast<char>(seed >> 24));
    }
    s.resize(n);
    return s;
}

std::string readMember(DataArchive& a, const std::string& name) {
    if (!a.open(name.c_str())) return "<not opened>";
    std::string s(a.getSize(), '\0');
    a.read(s.data(), a.getSize());
    return s;
}

int run(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(ArchiveWriter, RoundTripsEveryFlagAndLayout) {
    TempDir dir;
    const std::string members[] = {"", "x", sample(3000, 1), sample(200000, 2), std::string(100000, '\0')};
    for (uint32_t layout = 0; layout <= 1; ++layout) {
        ArchiveWriter w(layout);
        for (uint8_t flags = 0; flags <= 3; ++flags)
            for (size_t i = 0; i < std::size(members); ++i)
                ASSERT_TRUE(w.add("d:/vantorik/m" + std::to_string(flags) + "_" + std::to_string(i), members[i], flags));
        std::string path = dir.file("l" + std::to_string(layout) + ".sar"), error;
        ASSERT_TRUE(w.write(path, error)) << error;

        DiskFile disk("");
        DataArchive a(disk);
        ASSERT_TRUE(a.openArchive(path.c_str()));
        EXPECT_EQ(a.getVersion() >> 24, layout);
        for (uint8_t flags = 0; flags <= 3; ++flags)
            for (size_t i = 0; i < std::size(members); ++i)
                EXPECT_EQ(readMember(a, "D:\\Vantorik\\M" + std::to_string(flags) + "_" + std::to_string(i)), members[i])
                    << "layout " << layout << " flags " << int(flags) << " member " << i;
    }
}

// Members are packed on several cores and end out of order: each must still
// hold its own slot with the bytes it packs to alone.
TEST(ArchiveWriter, PackingOnSeveralCoresKeepsEachMemberInItsPlace) {
    TempDir dir;
    ArchiveWriter w;
    std::string bodies;
    std::vector<uint32_t> offsets, storedSizes;
    for (uint32_t i = 0; i < 24; ++i) {
        const std::string member = sample((i * 7919u) % 23 * 9000 + 1, i);
        const uint8_t flags = static_cast<uint8_t>(i % 4);
        ASSERT_TRUE(w.add("m" + std::to_string(i), member, flags));
        ByteBuffer data, stored;
        data.resize(static_cast<uint32_t>(member.size()));
        std::memcpy(data.data(), member.data(), member.size());
        uint32_t storedSize = 0, unpackedSize = 0;
        packMember(data, flags, stored, storedSize, unpackedSize);
        offsets.push_back(static_cast<uint32_t>(bodies.size()));
        storedSizes.push_back(storedSize);
        bodies.append(reinterpret_cast<const char*>(stored.data()), stored.size());
    }
    std::string path = dir.file("many.sar"), error;
    ASSERT_TRUE(w.write(path, error)) << error;

    DiskFile disk("");
    DataArchive a(disk);
    ASSERT_TRUE(a.openArchive(path.c_str()));
    ASSERT_EQ(a.getDirectory().size(), offsets.size());
    for (uint32_t i = 0; i < offsets.size(); ++i) {
        EXPECT_STREQ(a.getDirectory()[i].name, ("m" + std::to_string(i)).c_str());
        EXPECT_EQ(a.getDirectory()[i].offset, offsets[i]);
        EXPECT_EQ(a.getDirectory()[i].storedSize, storedSizes[i]);
    }
    // Layout 0 keeps the bodies end to end after the directory.
    const std::string file = slurp(path);
    ASSERT_GE(file.size(), bodies.size());
    EXPECT_TRUE(file.compare(file.size() - bodies.size(), bodies.size(), bodies) == 0);
}

TEST(ArchiveWriter, PacksSeveralMebibytesQuickly) {
    TempDir dir;
    std::string big = sample(6u << 20, 7);
    ArchiveWriter w;
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(w.add("big.lws", big, 3));
    std::string path = dir.file("big.sar"), error;
    ASSERT_TRUE(w.write(path, error));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(slurp(path).size(), big.size() / 2);
    EXPECT_LT(seconds, 10.0);

    DiskFile disk("");
    DataArchive a(disk);
    ASSERT_TRUE(a.openArchive(path.c_str()));
    EXPECT_TRUE(readMember(a, "BIG.LWS") == big);
}

TEST(ArchiveWriter, RefusesNamesTheArchiveCannotHold) {
    ArchiveWriter w;
    EXPECT_FALSE(w.add("", std::string("x"), 0));
    EXPECT_FALSE(w.add(std::string(254, 'n'), std::string("x"), 0));
    EXPECT_TRUE(w.add(std::string(253, 'n'), std::string("x"), 0));
}

TEST(Sarpack, PacksListsAndExtractsFromTheCommandLine) {
    TempDir dir;
    dir.write("src/texts.xml", "<texts/>");
    dir.write("src/big.bin", sample(50000, 3));
    dir.write("list.txt", "# demo\nD:\\Vantorik\\menu\\Texts.xml\tsrc/texts.xml\t0\nbig.bin\tsrc/big.bin\t3\n");
    const std::string tool = SARPACK_PATH;
    const std::string sar = dir.file("data.sar");
    ASSERT_EQ(run(tool + " pack " + sar + " " + dir.file("list.txt") + " --layout 1"), 0);

    std::ostringstream out, err;
    ASSERT_EQ(listArchive(sar, out, err), 0);
    std::istringstream lines(out.str());
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(first, "0\t8\t8\tD:\\Vantorik\\menu\\Texts.xml");
    EXPECT_EQ(second.substr(0, 2), "3\t");
    EXPECT_NE(second.find("\t50000\tbig.bin"), std::string::npos);

    ASSERT_EQ(run(tool + " extract " + sar + " d:/vantorik/MENU/texts.xml " + dir.file("out.xml")), 0);
    EXPECT_EQ(slurp(dir.file("out.xml")), "<texts/>");
    ASSERT_EQ(run(tool + " extract " + sar + " big.bin > " + dir.file("big.out")), 0);
    EXPECT_EQ(slurp(dir.file("big.out")), sample(50000, 3));
    EXPECT_NE(run(tool + " extract " + sar + " nothing.here 2>/dev/null"), 0);
    EXPECT_NE(run(tool + " list " + dir.file("missing.sar") + " 2>/dev/null"), 0);
}

TEST(Sarpack, BadListLinesAreRefused) {
    TempDir dir;
    dir.write("a.txt", "a");
    const std::string tool = SARPACK_PATH;
    dir.write("flags.txt", "a\ta.txt\t9\n");
    EXPECT_NE(run(tool + " pack " + dir.file("x.sar") + " " + dir.file("flags.txt") + " 2>/dev/null"), 0);
    dir.write("missing.txt", "a\tnot-there.txt\t0\n");
    EXPECT_NE(run(tool + " pack " + dir.file("x.sar") + " " + dir.file("missing.txt") + " 2>/dev/null"), 0);
    dir.write("short.txt", "a a.txt 0\n");
    EXPECT_NE(run(tool + " pack " + dir.file("x.sar") + " " + dir.file("short.txt") + " 2>/dev/null"), 0);
    EXPECT_FALSE(std::ifstream(dir.file("x.sar")).good());
}
