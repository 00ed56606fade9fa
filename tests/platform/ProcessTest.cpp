#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/FileIo.h"
#include "platform/Process.h"
#include "tests/TempFolder.h"

using namespace quilvane;
using namespace std::chrono_literals;

namespace {

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
    }
    void TearDown() override { setenv("PATH", savedPath_.c_str(), 1); }

    // An executable shell script `name` in the test folder.
    std::string Script(const std::string& name, const std::string& body)
    {
        std::string path = dir_.Path(name);
        EXPECT_TRUE(WriteFileAtomically(path, "#!/bin/sh\n" + body + "\n").Ok());
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    // PATH holds only the test folder; the scripts name their shell in full and use its builtins.
    void OnlyTestFolderOnPath() { setenv("PATH", dir_.Root().c_str(), 1); }

    TempFolder dir_;
    std::string savedPath_;
};

} // namespace

TEST_F(ProcessTest, WatchedStartFailsOnlyWhenTheProgramEndsBadlyWithinTheGrace)
{
    struct Case {
        const char* body;
        bool started;
    };
    const Case cases[] = {
        {"exit 0", true},          {"exit 3", false}, // xdg-open: no handler for the file type
        {"exit 2", false},                            // xdg-open: the file does not exist
        {"kill -9 $$", false},                        // killed
        {"sleep 5; exit 4", true},                    // still running when the grace ends: doing its work
    };
    for (const auto& c : cases) {
        std::string program = Script("launcher", c.body);
        EXPECT_EQ(StartWatched({program}, 300ms).Ok(), c.started) << c.body;
    }
    EXPECT_FALSE(StartWatched({dir_.Path("missing")}, 300ms));
    EXPECT_FALSE(StartWatched({}, 300ms));
}

TEST_F(ProcessTest, ShellOpenReportsAMissingOrRefusingHandler)
{
    std::string marker = dir_.Path("opened");
    OnlyTestFolderOnPath();
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("page.htm"), "<html></html>").Ok());
    EXPECT_FALSE(ShellOpen(dir_.Path("page.htm"), 300ms)); // no xdg-open at all

    Script("xdg-open", "echo \"$1\" > '" + marker + "'; exit 3");
    EXPECT_FALSE(ShellOpen(dir_.Path("page.htm"), 2s));
    EXPECT_TRUE(std::filesystem::exists(marker)); // it was asked, and refused

    Script("xdg-open", "exit 0");
    EXPECT_TRUE(ShellOpen(dir_.Path("page.htm"), 2s));
}
