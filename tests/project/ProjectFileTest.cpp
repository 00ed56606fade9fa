#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Counts the bytes the readers take from files.
struct CountingCalls : FileCalls {
    ssize_t Read(int fd, void* buffer, std::size_t size) override
    {
        ssize_t n = FileCalls::Read(fd, buffer, size);
        bytes += n > 0 ? static_cast<std::uint64_t>(n) : 0;
        return n;
    }
    std::uint64_t bytes = 0;
};

// The start of a record whose memo is `memoBytes` long, behind the seven-byte length prefix.
std::string HeadWithMemo(std::uint32_t memoBytes)
{
    return I32(103) + std::string(2, '\0') + "\xFF\xFF\xFF" + I32(static_cast<std::int32_t>(memoBytes));
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

TEST(ProjectFile, OnlyTheRecordIsReadAndAFileFarTooLargeIsNamedSo)
{
    TempFolder dir;
    const std::string path = dir.Path("work.psp");
    ASSERT_TRUE(SaveProjectFile(path, RichProject()).Ok());
    const auto recordBytes = std::filesystem::file_size(path);
    constexpr std::uint64_t OneGiB = std::uint64_t{1} << 30;
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(OneGiB)), 0); // padded, sparse on disk
    CountingCalls counting;
    {
        ScopedFileCalls scope(counting);
        ProjectRecord loaded;
        ProjectFileExtent extent;
        ASSERT_TRUE(LoadProjectFile(path, loaded, &extent).Ok());
        EXPECT_EQ(loaded, AsLoaded(RichProject()));
        EXPECT_EQ(extent.recordBytes, recordBytes);
        EXPECT_EQ(extent.fileBytes, OneGiB);
    }
    EXPECT_LE(counting.bytes, 64u * 1024);

    // A record that would not end before a gigabyte is not read to its end.
    ASSERT_TRUE(WriteFileAtomically(path, HeadWithMemo(0x3FFFFFF0)).Ok());
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(OneGiB)), 0);
    counting.bytes = 0;
    ProjectRecord kept = RichProject();
    {
        ScopedFileCalls scope(counting);
        Status refused = LoadProjectFile(path, kept);
        EXPECT_FALSE(refused.Ok());
        EXPECT_EQ(refused.Message(),
                  path + " はプロジェクトファイルとして大きすぎます (1073741824 バイト、記録は最大 "
                         "67108864 バイト)");
    }
    EXPECT_EQ(kept, RichProject());
    EXPECT_LE(counting.bytes, 128u << 20);

    // Damage near the start is told as damage, however large the file.
    ASSERT_TRUE(WriteFileAtomically(path, I32(103) + std::string(3, '\0') + I32(-1)).Ok());
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(OneGiB)), 0);
    Status damaged = LoadProjectFile(path, kept);
    EXPECT_NE(damaged.Message().find("件数 -1 が負です"), std::string::npos) << damaged.Message();
}

// Under a limit on the address space, as `ulimit -v` sets it, a record larger than the memory
// left fails with that reason instead of "cannot open" or an abort.
TEST(ProjectFile, RunningOutOfMemoryIsReportedAsSuch)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer ends the program on a failed allocation instead of throwing";
#else
    TempFolder dir;
    const std::string path = dir.Path("work.psp");
    constexpr std::uint32_t MemoBytes = 48u << 20;
    ASSERT_TRUE(WriteFileAtomically(path, HeadWithMemo(MemoBytes)).Ok());
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(MemoBytes + 200)), 0);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ends[0]);
        // What the process uses now and 16 MB more: far less than the memo needs.
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max =
            static_cast<rlim_t>(pages) * static_cast<rlim_t>(getpagesize()) + (16u << 20);
        std::string message = "setrlimit";
        if (setrlimit(RLIMIT_AS, &limit) == 0) {
            ProjectRecord p;
            Status st = LoadProjectFile(path, p);
            message = st.Ok() ? "read" : st.Message();
        }
        (void)!write(ends[1], message.data(), message.size());
        _exit(0);
    }
    close(ends[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) {
        message.append(buffer, static_cast<std::size_t>(n));
    }
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(message, path + " を読めません: メモリーが足りません");
#endif
}

TEST(ProjectName, IsTheFolderHoldingTheFile)
{
    EXPECT_EQ(ProjectNameFromPath("C:\\X\\Prob1\\work.psp"), "Prob1");
    EXPECT_EQ(ProjectNameFromPath("/home/s/X/Prob1/work.psp"), "Prob1");
    EXPECT_EQ(ProjectNameFromPath("Prob1/work.psp"), "Prob1");
    EXPECT_EQ(ProjectNameFromPath("work.psp"), "None");
    EXPECT_EQ(ProjectNameFromPath("C:work.psp"), "None");
    EXPECT_EQ(ProjectNameFromPath("/work.psp"), "None");

    // A folder on disk is named in the system's encoding; the project keeps the stored name.
    EXPECT_EQ(StoredProjectName("/home/s/\xE8\xAA\xB2\xE9\xA1\x8C"
                                "1/work.psp"),
              std::optional<std::string>("\x89\xdb\x91\xe8"
                                         "1"));
    EXPECT_EQ(StoredProjectName("work.psp"), std::optional<std::string>("None"));
    EXPECT_EQ(StoredProjectName("/home/s/\xF0\x9F\x98\x80/work.psp"), std::nullopt);
}
