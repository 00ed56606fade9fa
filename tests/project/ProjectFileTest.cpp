#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/FileIo.h"
#include "project/DefectDetails.h"
#include "project/ProjectFile.h"
#include "tests/TempFolder.h"
#include "tests/project/SampleProjects.h"

using namespace quilvane;

namespace {

std::string I32(std::int32_t v)
{
    return std::string(reinterpret_cast<const char*>(&v), 4);
}

// What loading adds to a saved record: the sum of actual minutes.
ProjectRecord AsLoaded(ProjectRecord p)
{
    p.result.actualMinutes = 0;
    for (const auto& row : p.phases) {
        p.result.actualMinutes += row.actual;
    }
    return p;
}

} // namespace

TEST(ProjectFile, EmptyProjectIs169Bytes)
{
    ProjectRecord empty;
    empty.estimate.availablePercent = 0;
    for (auto& w : empty.timeLog.columnWidths) {
        w = 0;
    }
    empty.timeLog = {0, 0, 0, 0, {0, 0, 0, 0}, {}};
    empty.defectLog = {0, 0, 0, 0, {0, 0, 0}, {}};
    std::string bytes = SerializeToBytes(empty);
    EXPECT_EQ(bytes.size(), 169u);
    std::string expected = I32(103) + std::string(3, '\0') + I32(0) + std::string(36, '\0') +
                           std::string(32, '\0') + std::string(3, '\0') + std::string(24, '\0') +
                           std::string(32, '\0') + std::string(12, '\0') + std::string(16, '\0') +
                           std::string(3, '\0');
    EXPECT_EQ(bytes, expected);
}

TEST(ProjectFile, RichProjectRoundTripsByteForByte)
{
    ProjectRecord rich = RichProject();
    std::string bytes = SerializeToBytes(rich);
    ProjectRecord loaded;
    ASSERT_TRUE(LoadProjectBytes(bytes, loaded).Ok());
    EXPECT_EQ(loaded, AsLoaded(rich));
    EXPECT_EQ(loaded.result.actualMinutes, 86);
    EXPECT_EQ(SerializeToBytes(loaded), bytes);
}

TEST(ProjectFile, TypedDefectsSurviveSaveAndLoadBesidePlainOnes)
{
    ProjectRecord p = RichProject();
    const std::string plain = p.defectLog.entries[0].comment;
    p.defectLog.entries.push_back({"B", ComposeDefectComment({50, "A", 7, "x\r\ny"}), Moment(1796590100)});
    TempFolder dir;
    ASSERT_TRUE(SaveProjectFile(dir.Path("work.psp"), p).Ok());
    ProjectRecord loaded;
    ASSERT_TRUE(LoadProjectFile(dir.Path("work.psp"), loaded).Ok());
    ASSERT_EQ(loaded.defectLog.entries.size(), 3u);
    EXPECT_EQ(loaded.defectLog.entries[0].comment, plain);
    EXPECT_EQ(DetailsOf(loaded.defectLog.entries[0]), (DefectDetails{{}, {}, {}, plain}));
    EXPECT_EQ(DetailsOf(loaded.defectLog.entries[2]), (DefectDetails{50, "A", 7, "x\r\ny"}));
    EXPECT_EQ(loaded, AsLoaded(p));
    EXPECT_EQ(SerializeToBytes(loaded), SerializeToBytes(p));
}

TEST(ProjectFile, LongPhaseNameUsesTheThreeBytePrefix)
{
    ProjectRecord p;
    p.phases = {{std::string(254, 'a'), 0, 0, 0}, {std::string(255, 'b'), 0, 0, 0}};
    std::string bytes = SerializeToBytes(p);
    // version, three empty strings, P = 2, then the first name's one-byte prefix.
    EXPECT_EQ(static_cast<unsigned char>(bytes[11]), 254);
    std::size_t second = 12 + 254 + 12;
    EXPECT_EQ(bytes.substr(second, 3), std::string("\xFF\xFF\x00", 3));
}

TEST(ProjectFile, AnyNonZeroVersionLoadsAlike)
{
    std::string bytes = SerializeToBytes(RichProject());
    for (std::int32_t version : {102, 104, -1}) {
        std::string other = I32(version) + bytes.substr(4);
        ProjectRecord loaded;
        ASSERT_TRUE(LoadProjectBytes(other, loaded).Ok());
        EXPECT_EQ(loaded, AsLoaded(RichProject()));
    }
}

TEST(ProjectFile, ZeroVersionReadsNothingAndChangesNothing)
{
    ProjectRecord p = RichProject();
    ASSERT_TRUE(LoadProjectBytes(std::string(4, '\0'), p).Ok());
    EXPECT_EQ(p, RichProject());
    ProjectRecord fresh;
    ASSERT_TRUE(LoadProjectBytes(std::string(4, '\0') + "trailing", fresh).Ok());
    EXPECT_EQ(fresh, ProjectRecord());
}

TEST(ProjectFile, EveryTruncatedPrefixFailsCleanlyAndKeepsTheRecord)
{
    std::string bytes = SerializeToBytes(RichProject());
    ProjectRecord before;
    before.projectName = "Other";
    before.phases = {{"x", 1, 2, 3}};
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        ProjectRecord p = before;
        Status st = LoadProjectBytes(std::string_view(bytes).substr(0, n), p);
        EXPECT_FALSE(st.Ok()) << n;
        EXPECT_FALSE(st.Message().empty()) << n;
        EXPECT_EQ(p, before) << n;
    }
}

TEST(ProjectFile, ImplausibleCountsAreRejectedBeforeAllocating)
{
    // P = 0x7FFFFFFF phase rows after the three strings.
    std::string bytes = I32(103) + std::string(3, '\0') + I32(0x7FFFFFFF) + std::string(200, '\0');
    ProjectRecord p;
    Status st = LoadProjectBytes(bytes, p);
    EXPECT_FALSE(st.Ok());
    EXPECT_NE(st.Message().find("件数"), std::string::npos);
    std::string negative = I32(103) + std::string(3, '\0') + I32(-1) + std::string(200, '\0');
    EXPECT_FALSE(LoadProjectBytes(negative, p).Ok());
}

TEST(ProjectFile, SaveIsAtomicAndLoadNamesTheFileOnFailure)
{
    TempFolder dir;
    std::string path = dir.Path("work.psp");
    ASSERT_TRUE(SaveProjectFile(path, RichProject()).Ok());
    ProjectRecord loaded;
    ASSERT_TRUE(LoadProjectFile(path, loaded).Ok());
    EXPECT_EQ(loaded.memo, RichProject().memo);

    ASSERT_TRUE(WriteFileAtomically(path, "\x67\x00").Ok());
    Status st = LoadProjectFile(path, loaded);
    EXPECT_FALSE(st.Ok());
    EXPECT_NE(st.Message().find(path), std::string::npos);
    EXPECT_FALSE(LoadProjectFile(dir.Path("missing.psp"), loaded).Ok());
    EXPECT_FALSE(SaveProjectFile(dir.Path("no/such/work.psp"), loaded).Ok());

    // A folder or a FIFO named like a project fails with its name, without blocking or throwing,
    // and keeps the record as it was.
    std::filesystem::create_directory(dir.Path("folder.psp"));
    ASSERT_EQ(mkfifo(dir.Path("fifo.psp").c_str(), 0600), 0);
    ProjectRecord kept = RichProject();
    for (const char* name : {"folder.psp", "fifo.psp"}) {
        SCOPED_TRACE(name);
        ProjectRecord record = kept;
        Status refused = LoadProjectFile(dir.Path(name), record);
        EXPECT_FALSE(refused.Ok());
        EXPECT_NE(refused.Message().find(dir.Path(name)), std::string::npos) << refused.Message();
        EXPECT_EQ(record, kept);
    }
}

TEST(ProjectName, IsTheFolderHoldingTheFile)
{
    EXPECT_EQ(ProjectNameFromPath("C:\\X\\Prob1\\work.psp"), "Prob1");
    EXPECT_EQ(ProjectNameFromPath("/home/s/X/Prob1/work.psp"), "Prob1");
    EXPECT_EQ(ProjectNameFromPath("Prob1/work.psp"), "Prob1");
    EXPECT_EQ(ProjectNameFromPath("work.psp"), "None");
    EXPECT_EQ(ProjectNameFromPath("C:work.psp"), "None");
    EXPECT_EQ(ProjectNameFromPath("/work.psp"), "None");
}
