#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileIo.h"
#include "project/ProjectFile.h"
#include "tests/RunTool.h"
#include "tests/TempFolder.h"
#include "tests/project/SampleProjects.h"

using namespace quilvane;

namespace {

// A program folder with settings, template, one project and two source folders: enough for
// every command that prints a result.
class CliOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_.Write("init/psp.txt", "100\r\nyamada\r\n\r\n1\r\nA\r\n");
        dir_.Write("Prob1/Prob1.cs", "int a;\n");
        ASSERT_TRUE(SaveProjectFile(dir_.Path("init/work.psp"), ProjectRecord{}).Ok());
        ASSERT_TRUE(SaveProjectFile(dir_.Path("Prob1/work.psp"), RichProject()).Ok());
        dir_.Write("Prob2/Prob2.cs", "int a;\nint b;\n");
        dir_.Write("p.json", "{}");
    }

    TempFolder dir_;
};

} // namespace

// A script that redirects into a full disk, a closed stream or a pipe whose reader has gone
// must see a failure, never exit 0 with nothing written.
TEST_F(CliOutput, EveryCommandFailsWhenItsResultCannotBeWritten)
{
    const std::string root = dir_.Root();
    const std::string project = dir_.Path("Prob1/work.psp");
    struct Case {
        std::vector<std::string> args;
        bool printsResult; // false: the command writes files only, so its standard output is idle
    };
    const Case cases[] = {
        {{"show", project}, true},
        {{"show", "--json", project}, true},
        {{"stats", "-C", root}, true},
        {{"defects", "-C", root}, true},
        {{"defects", "--json", "-C", root}, true},
        {{"estimate", "-C", root, "1", "2", "3"}, true},
        {{"estimate", "--json", "-C", root, "1", "2", "3"}, true},
        {{"loc", dir_.Path("Prob1"), dir_.Path("Prob2")}, true},
        {{"loc", "--json", dir_.Path("Prob1"), dir_.Path("Prob2")}, true},
        {{"new", "-C", root, "Prob3"}, true},
        {{"class", "-C", root}, true},
        {{"class", "--json", "-C", root}, true},
        {{"pack", dir_.Path("p.json"), dir_.Path("packed.psp")}, false},
    };
    const std::pair<ToolStdout, const char*> outputs[] = {
        {ToolStdout::DevFull, "/dev/full"}, {ToolStdout::Closed, "closed"}, {ToolStdout::BrokenPipe, "pipe"}};
    for (const auto& c : cases) {
        for (const auto& [output, name] : outputs) {
            SCOPED_TRACE(c.args[0] + " " + c.args[1] + " > " + name);
            std::filesystem::remove_all(dir_.Path("Prob3"));
            ToolResult r = RunTool(QUILVANE_CLI_PATH, c.args, "", output);
            if (!c.printsResult) {
                EXPECT_EQ(r.exitCode, 0) << r.err;
                EXPECT_EQ(r.err, "");
                continue;
            }
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.err.rfind("quilvane-cli: 結果を標準出力に書き出せません", 0), 0u) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
    // The same commands succeed when the output arrives.
    std::filesystem::remove_all(dir_.Path("Prob3"));
    for (const auto& c : cases) {
        ToolResult r = RunTool(QUILVANE_CLI_PATH, c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args[0] << ": " << r.err;
        EXPECT_EQ(r.out.empty(), !c.printsResult) << c.args[0];
    }
}
