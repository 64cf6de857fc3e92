#include <gtest/gtest.h>

#include <dirent.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "engine/platform/Report.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/archive/ReadAheadFile.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/TempDir.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

int threadCount() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks))
            if (entry->d_name[0] != '.') ++count;
        closedir(tasks);
    }
    return count;
}

// A joined thread can still be listed for a moment while the kernel reaps it.
int threadCountOnceSettledAt(int expected) {
    for (int tries = 0; tries < 500 && threadCount() != expected; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return threadCount();
}

std::string readAll(File& file) {
    std::string bytes(file.getSize(), '\0');
    EXPECT_EQ(file.readFully(bytes.data(), file.getSize()), file.getSize());
    return bytes;
}

class ReadAhead : public ReportCapture<1> {
protected:
    void SetUp() override {
        ReportCapture<1>::SetUp();
        // Large enough that unpacking it starts a thread of its own.
        for (uint64_t i = 0; m_big.size() < (3u << 20); ++i) m_big += "row " + std::to_string(i * 7919 % 100003) + ";";
        ArchiveWriter writer;
        writer.add("objects/big.lwo", m_big, 3);
        writer.add("sounds/small.wav", std::string("RIFF small"), 0);
        writer.add("objects/damaged.lwo", std::string(4000, 'd'), 3);
        const std::string path = m_dir.file("data.sar");
        std::string error;
        ASSERT_TRUE(writer.write(path, error)) << error;
        // The last member loses its tail.
        std::filesystem::resize_file(path, std::filesystem::file_size(path) - 8);
        m_archive = std::make_unique<DataArchive>(m_disk);
        ASSERT_TRUE(m_archive->openArchive(path.c_str()));
    }

    TempDir m_dir;
    DiskFile m_disk{""};
    std::unique_ptr<DataArchive> m_archive;
    std::string m_big;
};

} // namespace

TEST_F(ReadAhead, ServesMembersAsTheArchiveDoesFailsAsItDoesAndLeavesNoThreadBehind) {
    const int threadsBefore = threadCount();
    {
        ReadAheadFile ahead(*m_archive, {"objects\\damaged.lwo", "OBJECTS/Big.lwo", "sounds/small.wav", "missing.wav"},
                            3);
        // A clone takes what was read ahead; the file itself reads anything else at the archive.
        std::unique_ptr<File> clone(ahead.clone());
        ASSERT_TRUE(clone->open("objects\\BIG.LWO"));
        EXPECT_TRUE(readAll(*clone) == m_big);
        ASSERT_TRUE(ahead.open("sounds/small.wav"));
        EXPECT_EQ(lastError(), "") << "a worker's failure is left to whoever opens the member";

        // Failures are the archive's own, and the open member stays open.
        EXPECT_FALSE(ahead.open("objects/damaged.lwo"));
        EXPECT_EQ(lastError(), "error: \"objects\\damaged.lwo\" is damaged !!!\n");
        EXPECT_EQ(readAll(ahead), "RIFF small");
        EXPECT_FALSE(ahead.open("missing.wav"));
        EXPECT_EQ(lastError(), "error: \"missing.wav\" not found !!!\n");

        // Served ahead once; opened again it comes from the archive, the same.
        ASSERT_TRUE(ahead.open("objects/big.lwo"));
        EXPECT_TRUE(readAll(ahead) == m_big);
        EXPECT_TRUE(ahead.exists("SOUNDS\\SMALL.WAV"));
        EXPECT_TRUE(ahead.close());
        EXPECT_EQ(ahead.getSize(), 0u);
    }
    EXPECT_EQ(threadCountOnceSettledAt(threadsBefore), threadsBefore);

    // Gone while its workers still unpack: they finish and are joined; its clones read on.
    std::unique_ptr<File> survivor;
    {
        ReadAheadFile ahead(*m_archive, {"objects/big.lwo", "sounds/small.wav"}, 2);
        survivor.reset(ahead.clone());
    }
    EXPECT_EQ(threadCountOnceSettledAt(threadsBefore), threadsBefore);
    ASSERT_TRUE(survivor->open("sounds/small.wav"));
    EXPECT_EQ(readAll(*survivor), "RIFF small");

    // Reports are held on the quiet thread alone; another thread keeps its own.
    const std::string before = lastError();
    std::string other;
    {
        const QuietReports quiet;
        reportError("held");
        std::thread([&other] {
            reportError("from another thread");
            other = g_lastErrorText.text();
        }).join();
    }
    EXPECT_EQ(other, "from another thread");
    EXPECT_EQ(lastError(), before);
}
