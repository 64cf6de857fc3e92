#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/scene/loaders/MemberPrefetch.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/TempDir.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

std::string contents(File& file) {
    std::string bytes(file.getSize(), '\0');
    EXPECT_EQ(file.readFully(bytes.data(), uint32_t(bytes.size())), bytes.size());
    return bytes;
}

class MemberPrefetchTest : public ReportCapture<1> {};

} // namespace

TEST_F(MemberPrefetchTest, ReadsAheadTheBytesTheFilesHoldAndLeavesAFailureToBeReportedWhereItIsRead) {
    // Over a megabyte, so its block sort runs on threads of its own inside a prefetching thread.
    std::string big;
    for (uint32_t i = 0; big.size() < (1u << 20) + 4096; ++i) big += "point " + std::to_string(i * 7919u % 100003u) + "\n";
    const std::string cut(6000, 'c');
    TempDir dir;
    ArchiveWriter writer;
    writer.add("big.lwo", big, 3);
    writer.add("small.lwo", std::string("FORM\0\0\0\4LWO2", 12), 1);
    writer.add("cut.lwo", cut, 1);
    std::string error;
    ASSERT_TRUE(writer.write(dir.file("data.sar"), error)) << error;
    // The last member now runs past the end of the file.
    std::filesystem::resize_file(dir.file("data.sar"), std::filesystem::file_size(dir.file("data.sar")) - 100);
    DiskFile disk("");
    DataArchive archive(disk);
    ASSERT_TRUE(archive.openArchive(dir.file("data.sar").c_str()));
    {
        MemberPrefetch prefetch(archive, {"big.lwo", "missing.lwo", "small.lwo", "big.lwo", "cut.lwo"});
        EXPECT_EQ(prefetch.take("other.lwo"), nullptr) << "not asked for";
        std::unique_ptr<File> small = prefetch.take("small.lwo");
        ASSERT_NE(small, nullptr);
        // Read as the object loader reads: the form type after the header.
        char form[4];
        EXPECT_TRUE(small->seek(8));
        EXPECT_EQ(small->readFully(form, 4), 4u);
        EXPECT_EQ(std::string(form, 4), "LWO2");
        std::unique_ptr<File> bigFile = prefetch.take("big.lwo");
        ASSERT_NE(bigFile, nullptr);
        EXPECT_EQ(contents(*bigFile), big);
        EXPECT_EQ(prefetch.take("big.lwo"), nullptr) << "taken once";
        EXPECT_EQ(prefetch.take("cut.lwo"), nullptr);
        EXPECT_EQ(prefetch.take("missing.lwo"), nullptr);
        EXPECT_EQ(lastError(), "") << "the threads report nothing";
    }
    // Read where it is needed, the damage is reported as ever.
    EXPECT_FALSE(archive.open("cut.lwo"));
    EXPECT_EQ(lastError(), "error: \"cut.lwo\" is damaged !!!\n");
    // Dropped with nothing taken, its threads end all the same.
    MemberPrefetch unused(archive, {"big.lwo", "small.lwo"});
}
