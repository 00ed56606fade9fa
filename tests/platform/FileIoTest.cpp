#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"
#include "tests/TempFolder.h"

using namespace quilvane;

namespace {

// System calls that fail as a full disk, a slow pipe-like device, a failing disk or a rename
// across file systems would.
struct FaultyCalls : FileCalls {
    std::size_t bytesBeforeFull = SIZE_MAX; // then writes fail with ENOSPC
    std::size_t largestWrite = SIZE_MAX;    // every write takes at most this many bytes
    bool writeTakesNothing = false;
    int fsyncError = 0;
    int renameError = 0;
    int readError = 0;
    std::size_t written = 0;

    ssize_t Write(int fd, const void* data, std::size_t size) override
    {
        if (writeTakesNothing) {
            return 0;
        }
        if (written >= bytesBeforeFull) {
            errno = ENOSPC;
            return -1;
        }
        size = std::min({size, largestWrite, bytesBeforeFull - written});
        ssize_t n = FileCalls::Write(fd, data, size);
        written += n > 0 ? static_cast<std::size_t>(n) : 0;
        return n;
    }
    int Fsync(int fd) override
    {
        if (fsyncError != 0) {
            errno = fsyncError;
            return -1;
        }
        return FileCalls::Fsync(fd);
    }
    int Rename(const char* from, const char* to) override
    {
        if (renameError != 0) {
            errno = renameError;
            return -1;
        }
        return FileCalls::Rename(from, to);
    }
    ssize_t Read(int fd, void* buffer, std::size_t size) override
    {
        if (readError != 0) {
            errno = readError;
            return -1;
        }
        return FileCalls::Read(fd, buffer, size);
    }
};

std::size_t EntriesIn(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

} // namespace

TEST(TextLines, EveryLineEndFormEndsALine)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(JoinLinesCrLf({"100", ""}), "100\r\n\r\n");
}

TEST(AtomicWrite, ReplacesTheFileWhole)
{
    TempFolder dir;
    std::string path = dir.Path("f.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "first").Ok());
    ASSERT_TRUE(WriteFileAtomically(path, "second").Ok());
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
}

TEST(AtomicWrite, FailureIsReportedAndKeepsTheOldFile)
{
    TempFolder dir;
    std::string path = dir.Path("f.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "keep").Ok());
    if (geteuid() != 0) {
        // Without write permission on the folder, no temporary file can be made.
        chmod(dir.Root().c_str(), 0500);
        EXPECT_FALSE(WriteFileAtomically(path, "lost").Ok());
        chmod(dir.Root().c_str(), 0700);
    }
    // A target that is a folder cannot be replaced by a file.
    std::filesystem::create_directory(dir.Path("sub"));
    Status st = WriteFileAtomically(dir.Path("sub"), "x");
    EXPECT_FALSE(st.Ok());
    EXPECT_FALSE(st.Message().empty());
    EXPECT_EQ(ReadWholeFile(path), "keep");
    EXPECT_FALSE(WriteFileAtomically(dir.Path("missing/f.txt"), "x").Ok());
}

TEST(AtomicWrite, InjectedFaultsKeepTheOldFileAndReportThePath)
{
    const std::string big(200000, 'x');
    struct Case {
        const char* name;
        void (*arrange)(FaultyCalls&);
        bool succeeds;
    };
    const Case cases[] = {
        {"full disk at once", [](FaultyCalls& c) { c.bytesBeforeFull = 0; }, false},
        {"full disk halfway", [](FaultyCalls& c) { c.bytesBeforeFull = 70000; }, false},
        {"short writes, then full",
         [](FaultyCalls& c) {
             c.largestWrite = 999;
             c.bytesBeforeFull = 150000;
         },
         false},
        {"a write that takes nothing", [](FaultyCalls& c) { c.writeTakesNothing = true; }, false},
        {"failing fsync", [](FaultyCalls& c) { c.fsyncError = EIO; }, false},
        {"failing rename", [](FaultyCalls& c) { c.renameError = EXDEV; }, false},
        {"short writes only", [](FaultyCalls& c) { c.largestWrite = 1 + 4096 * 3; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        std::string path = dir.Path("work.psp");
        ASSERT_TRUE(WriteFileAtomically(path, "keep").Ok());
        FaultyCalls faulty;
        c.arrange(faulty);
        Status st = [&] {
            ScopedFileCalls scope(faulty);
            return WriteFileAtomically(path, big);
        }();
        EXPECT_EQ(st.Ok(), c.succeeds) << st.Message();
        EXPECT_EQ(ReadWholeFile(path), c.succeeds ? big : "keep");
        if (!c.succeeds) {
            EXPECT_NE(st.Message().find(path), std::string::npos) << st.Message();
        }
        EXPECT_EQ(EntriesIn(dir.Root()), 1u) << "a temporary file was left behind";
    }
}

TEST(AtomicWrite, TargetsKeepWhatTheyAre)
{
    TempFolder dir;
    // A symlinked target: the file it points to is replaced and the link stays a link.
    std::filesystem::create_directory(dir.Path("real"));
    ASSERT_TRUE(WriteFileAtomically(dir.Path("real/f.txt"), "old").Ok());
    std::filesystem::create_symlink("real/f.txt", dir.Path("link.txt"));
    ASSERT_TRUE(WriteFileAtomically(dir.Path("link.txt"), "new").Ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.txt")));
    EXPECT_EQ(ReadWholeFile(dir.Path("real/f.txt")), "new");
    EXPECT_EQ(EntriesIn(dir.Root()), 2u);
    EXPECT_EQ(EntriesIn(dir.Path("real")), 1u);
    // A link to a file not made yet makes that file.
    std::filesystem::create_symlink("real/later.txt", dir.Path("dangling.txt"));
    ASSERT_TRUE(WriteFileAtomically(dir.Path("dangling.txt"), "made").Ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("dangling.txt")));
    EXPECT_EQ(ReadWholeFile(dir.Path("real/later.txt")), "made");

    // A private file stays private; an executable stays executable.
    for (mode_t mode : {mode_t{0600}, mode_t{0751}}) {
        std::string path = dir.Path("private.txt");
        ASSERT_TRUE(WriteFileAtomically(path, "a").Ok());
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(path, "b").Ok());
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
    }

    // A FIFO or a folder where a file is expected is refused and stays what it was.
    ASSERT_EQ(mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink("pipe", dir.Path("to-pipe"));
    std::filesystem::create_directory(dir.Path("folder"));
    for (const char* name : {"pipe", "to-pipe", "folder"}) {
        SCOPED_TRACE(name);
        Status st = WriteFileAtomically(dir.Path(name), "x");
        EXPECT_FALSE(st.Ok());
        EXPECT_NE(st.Message().find(name), std::string::npos) << st.Message();
    }
    EXPECT_TRUE(std::filesystem::is_fifo(dir.Path("pipe")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("folder")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("folder")));

    // A name that names no file is refused, and files that merely start with ".tmp" stay.
    ASSERT_TRUE(WriteFileAtomically(dir.Path("folder/.tmpABCDEF"), "someone's").Ok());
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path("folder"));
    Status empty = WriteFileAtomically("", "x");
    std::filesystem::current_path(saved);
    EXPECT_FALSE(empty.Ok());
    EXPECT_FALSE(WriteFileAtomically(dir.Path("folder/missing/"), "x").Ok());
    EXPECT_EQ(ReadWholeFile(dir.Path("folder/.tmpABCDEF")), "someone's");
    EXPECT_EQ(EntriesIn(dir.Path("folder")), 1u);
}

TEST(AtomicWrite, ReplacingALinkNeverTouchesWhatItNames)
{
    TempFolder dir;
    std::filesystem::create_directory(dir.Path("other"));
    ASSERT_TRUE(WriteFileAtomically(dir.Path("other/theirs.txt"), "keep me").Ok());
    ASSERT_EQ(chmod(dir.Path("other/theirs.txt").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(dir.Path("other/pipe").c_str(), 0600), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.Path("planted.htm"), "planted").Ok());
    ASSERT_EQ(chmod(dir.Path("planted.htm").c_str(), 0666), 0);
    ASSERT_EQ(mkfifo(dir.Path("fifo.htm").c_str(), 0600), 0);
    std::filesystem::create_symlink("other/theirs.txt", dir.Path("link.htm"));
    std::filesystem::create_symlink("other/pipe", dir.Path("to-pipe.htm"));
    std::filesystem::create_symlink("other/missing.txt", dir.Path("dangling.htm"));
    const mode_t mask = umask(0);
    umask(mask);
    for (const char* name :
         {"link.htm", "to-pipe.htm", "dangling.htm", "fifo.htm", "planted.htm", "new.htm"}) {
        SCOPED_TRACE(name);
        Status st = WriteFileAtomically(dir.Path(name), "page", SymlinkPolicy::ReplaceLink);
        ASSERT_TRUE(st.Ok()) << st.Message();
        EXPECT_FALSE(std::filesystem::is_symlink(dir.Path(name)));
        EXPECT_EQ(ReadWholeFile(dir.Path(name)), "page");
        // A new file of the writer, not one shaped by whoever put something there first.
        struct stat info {};
        ASSERT_EQ(lstat(dir.Path(name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0666 & ~mask);
    }
    EXPECT_EQ(ReadWholeFile(dir.Path("other/theirs.txt")), "keep me");
    EXPECT_TRUE(std::filesystem::is_fifo(dir.Path("other/pipe")));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("other/missing.txt")));
    EXPECT_EQ(EntriesIn(dir.Path("other")), 2u);

    // A folder is still no file to replace.
    std::filesystem::create_directory(dir.Path("folder.htm"));
    EXPECT_FALSE(WriteFileAtomically(dir.Path("folder.htm"), "page", SymlinkPolicy::ReplaceLink).Ok());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("folder.htm")));
    EXPECT_EQ(EntriesIn(dir.Root()), 8u) << "a temporary file was left behind";
}

TEST(AtomicWrite, LeftoversOfAKilledWriterGoOnTheNextWrite)
{
    TempFolder dir;
    std::string path = dir.Path("f.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "keep").Ok());
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFileWriter writer;
        if (writer.Begin(path).Ok() && writer.Append("half").Ok()) {
            raise(SIGKILL);
        }
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(EntriesIn(dir.Root()), 2u);
    EXPECT_EQ(ReadWholeFile(path), "keep");

    // Names that only look alike stay; so does the file of a writer still at work.
    for (const char* name : {"f.txt.tmp", "f.txt.tmpAB", "g.txt.tmpABCDEF", "f.txt.tmpABCDEFG"}) {
        ASSERT_TRUE(WriteFileAtomically(dir.Path(name), "other").Ok());
    }
    AtomicFileWriter busy;
    ASSERT_TRUE(busy.Begin(path).Ok());
    ASSERT_TRUE(busy.Append("second").Ok());
    ASSERT_TRUE(WriteFileAtomically(path, "first").Ok());
    EXPECT_EQ(EntriesIn(dir.Root()), 6u);
    ASSERT_TRUE(busy.Commit().Ok());
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_EQ(EntriesIn(dir.Root()), 5u);
}

TEST(AtomicWrite, ALibraryCanWriteTheTemporaryFile)
{
    TempFolder dir;
    std::string path = dir.Path("book.xlsx");
    ASSERT_TRUE(WriteFileAtomically(path, "old").Ok());
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Begin(path).Ok());
        std::FILE* f = std::fopen(writer.TempPath().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("written by a library", f);
        std::fclose(f);
        EXPECT_EQ(ReadWholeFile(path), "old");
        ASSERT_TRUE(writer.Commit().Ok());
    }
    EXPECT_EQ(ReadWholeFile(path), "written by a library");
    {
        // Given up: the old file stays and nothing is left.
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Begin(path).Ok());
        std::FILE* f = std::fopen(writer.TempPath().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    EXPECT_EQ(ReadWholeFile(path), "written by a library");
    EXPECT_EQ(EntriesIn(dir.Root()), 1u);
}

TEST(FileRead, OnlyRegularFilesAreReadAndFailuresSaySo)
{
    TempFolder dir;
    ASSERT_EQ(mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.Path("folder"));
    ASSERT_TRUE(WriteFileAtomically(dir.Path("plain"), std::string("a\0b", 3)).Ok());
    std::string bytes = "untouched";
    // A FIFO without a writer would block a plain open or read for ever.
    for (const char* name : {"pipe", "folder", "missing", "/dev/null"}) {
        SCOPED_TRACE(name);
        std::string path = name[0] == '/' ? name : dir.Path(name);
        Status st = ReadRegularFile(path, bytes);
        EXPECT_FALSE(st.Ok());
        EXPECT_NE(st.Message().find(path), std::string::npos) << st.Message();
        EXPECT_EQ(bytes, "untouched");
        EXPECT_EQ(ReadWholeFile(path), std::nullopt);
    }
    FaultyCalls faulty;
    faulty.readError = EIO;
    {
        ScopedFileCalls scope(faulty);
        Status st = ReadRegularFile(dir.Path("plain"), bytes);
        EXPECT_FALSE(st.Ok());
        EXPECT_NE(st.Message().find("入出力エラー"), std::string::npos) << st.Message();
    }
    ASSERT_TRUE(ReadRegularFile(dir.Path("plain"), bytes).Ok());
    EXPECT_EQ(bytes, std::string("a\0b", 3));
}

TEST(ProgramPaths, RelativePathsResolveAgainstTheProgramFolder)
{
    std::string saved = ProgramFolder();
    SetProgramFolder("/opt/q/");
    EXPECT_EQ(ProgramPath("init\\psp.txt"), "/opt/q/init/psp.txt");
    EXPECT_EQ(ProgramPath("/abs/x"), "/abs/x");
    // 0x5C as the trail byte of "ソ" is not a separator.
    EXPECT_EQ(ToSlashes("\x83\x5C\\a"), "\x83\x5C/a");
    // Stored names reach the disk in its own encoding, below a folder that may hold any name.
    SetProgramFolder("/home/s/演習");
    EXPECT_EQ(ProgramPathFor("\x8E\x52\x93\x63\\work.psp"), "/home/s/演習/山田/work.psp");
    EXPECT_EQ(ProgramPathFor("\x83\x5C\\a"), "/home/s/演習/ソ/a");
    EXPECT_EQ(ProgramPathFor(""), "/home/s/演習");
    EXPECT_EQ(ProgramPathFor("x\x83"), std::nullopt);
    SetProgramFolder(saved);
}
