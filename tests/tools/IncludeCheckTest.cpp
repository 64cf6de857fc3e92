#include <gtest/gtest.h>

#include <string>

#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"

// A tree of root-relative includes where a/A and b/B need each other and c/C
// only needs them: one cycle of two, however the folder is named.
TEST(IncludeCheck, FindsTheCycleOfATreeNamedAsDotOrByItsWholePath) {
    TempDir tree;
    tree.write(".git", "");
    tree.write("a/A.h", "#pragma once\n#include \"c/C.h\"\n");
    tree.write("a/A.cpp", "#include \"a/A.h\"\n#include \"b/B.h\"\n");
    tree.write("b/B.h", "#pragma once\n");
    tree.write("b/B.cpp", "#include \"b/B.h\"\n#include \"a/A.h\"\n");
    tree.write("c/C.h", "#pragma once\n");
    // A build folder's files are no part of the tree, though these two need each other.
    tree.write("build/CMakeCache.txt", "");
    tree.write("build/X.h", "#include \"Y.h\"\n");
    tree.write("build/Y.h", "#include \"X.h\"\n");
    const std::string tool = INCLUDE_CHECK_PATH;
    for (const std::string& command : {"cd " + tree.path() + " && " + tool + " .", "cd / && " + tool + " " + tree.path(),
                                       "cd " + tree.path() + "/a && " + tool + " ../"}) {
        std::string output;
        EXPECT_EQ(runTool(command + " --max-size 1", output), 1) << command << "\n" << output;
        EXPECT_EQ(output, "2 a/A b/B\n") << command;
    }
    std::string output;
    EXPECT_EQ(runTool("cd " + tree.path() + " && " + tool + " c", output), 0);
    EXPECT_EQ(output, "no include cycles in c\n");
}
