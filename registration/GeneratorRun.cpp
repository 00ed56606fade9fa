#include "registration/GeneratorRun.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/FolderListing.h"
#include "registration/ClassFolder.h"

extern char** environ;

namespace quilvane {
namespace {

GeneratorRun RunEnded(GeneratorOutcome outcome, int exitCode = 0)
{
    GeneratorRun run;
    run.outcome = outcome;
    run.exitCode = exitCode;
    return run;
}

constexpr auto PollInterval = std::chrono::milliseconds(15);
// Enough for a few dozen lines about folders that could not be read.
constexpr std::size_t MaxNotes = 8192;
// The checked program is run through this descriptor of the child.
constexpr int ProgramFd = 3;

// The generator keeps running after the limit; a thread reaps it so no zombie stays behind.
void ReapLater(pid_t pid)
{
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

GeneratorRun Ended(int status)
{
    GeneratorRun run;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        run.outcome = GeneratorOutcome::Finished;
        return run;
    }
    run.outcome = GeneratorOutcome::Failed;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Takes what the generator wrote so far, without waiting for more.
void Drain(int fd, std::string& notes)
{
    char buffer[1024];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;
        }
        const std::size_t room = notes.size() < MaxNotes ? MaxNotes - notes.size() : 0;
        notes.append(buffer, std::min(room, static_cast<std::size_t>(got)));
    }
}

GeneratorRun Refused(GeneratorDistrust distrust, uid_t owner)
{
    GeneratorRun run;
    run.outcome = GeneratorOutcome::Untrusted;
    run.distrust = distrust;
    if (distrust == GeneratorDistrust::Owner) {
        run.ownerName = UserNameOf(owner);
    }
    return run;
}

// Starts the program open as `program` in the folder open as `folder`; its standard error goes
// to `errorEnd`. Returns the errno of a failed start, 0 on success.
int Spawn(int folder, int program, int errorEnd, const std::string& shownPath, pid_t& pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The folder first: its descriptor may be one of those the actions below replace.
    posix_spawn_file_actions_addfchdir_np(&actions, folder);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorEnd, STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&actions, program, ProgramFd);
    // Nothing else of the caller's goes with it: an inherited pipe would keep whoever reads the
    // caller's output waiting for as long as the generator runs.
    posix_spawn_file_actions_addclosefrom_np(&actions, ProgramFd + 1);
    std::string argv0 = shownPath;
    char* argv[] = {argv0.data(), nullptr};
    const std::string path = "/proc/self/fd/" + std::to_string(ProgramFd);
    const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc;
}

} // namespace

GeneratorDistrust CheckGenerator(mode_t mode, uid_t owner, uid_t folderOwner, uid_t runner)
{
    if (!S_ISREG(mode)) {
        return GeneratorDistrust::NotRegularFile;
    }
    if ((mode & (S_IWGRP | S_IWOTH)) != 0) {
        return GeneratorDistrust::Writable;
    }
    if (owner != 0 && owner != folderOwner && owner != runner) {
        return GeneratorDistrust::Owner;
    }
    return GeneratorDistrust::None;
}

GeneratorRun RunGenerator(const std::string& registrationFolder, std::chrono::milliseconds limit,
                          const std::function<void()>& whileWaiting)
{
    const UniqueFd folder(open(registrationFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat folderStatus {};
    struct stat checked {};
    if (!folder.Valid() || fstat(folder.Get(), &folderStatus) != 0) {
        return RunEnded(GeneratorOutcome::CouldNotStart);
    }
    if (fstatat(folder.Get(), GeneratorName, &checked, AT_SYMLINK_NOFOLLOW) != 0) {
        return RunEnded(errno == ENOENT ? GeneratorOutcome::Missing : GeneratorOutcome::CouldNotStart);
    }
    if (auto distrust = CheckGenerator(checked.st_mode, checked.st_uid, folderStatus.st_uid, geteuid());
        distrust != GeneratorDistrust::None) {
        return Refused(distrust, checked.st_uid);
    }
    // The file is held open from here on: what is run is what was checked, even if another file
    // takes its name. The descriptor lies above the standard ones, so that handing it to the child
    // clears its close-on-exec flag.
    const UniqueFd opened(openat(folder.Get(), GeneratorName, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    const UniqueFd program(opened.Valid() ? fcntl(opened.Get(), F_DUPFD_CLOEXEC, 10) : -1);
    struct stat running {};
    if (!program.Valid() || fstat(program.Get(), &running) != 0 || running.st_dev != checked.st_dev ||
        running.st_ino != checked.st_ino) {
        return RunEnded(GeneratorOutcome::CouldNotStart);
    }
    if (auto distrust = CheckGenerator(running.st_mode, running.st_uid, folderStatus.st_uid, geteuid());
        distrust != GeneratorDistrust::None) {
        return Refused(distrust, running.st_uid);
    }
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return RunEnded(GeneratorOutcome::CouldNotStart);
    }
    const UniqueFd errorRead(errorPipe[0]);
    pid_t pid = 0;
    const int rc =
        Spawn(folder.Get(), program.Get(), errorPipe[1], registrationFolder + "/" + GeneratorName, pid);
    close(errorPipe[1]);
    if (rc != 0) {
        return RunEnded(GeneratorOutcome::CouldNotStart);
    }

    std::string notes;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        Drain(errorRead.Get(), notes);
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            Drain(errorRead.Get(), notes);
            GeneratorRun run = Ended(status);
            run.notes = std::move(notes);
            return run;
        }
        if (done < 0 && errno != EINTR) {
            // Someone else reaped it (a SIGCHLD handler): its result is lost, not its work.
            return RunEnded(GeneratorOutcome::Failed, -1);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ReapLater(pid);
            GeneratorRun run = RunEnded(GeneratorOutcome::TimedOut);
            run.notes = std::move(notes);
            return run;
        }
        if (whileWaiting) {
            whileWaiting();
        }
        std::this_thread::sleep_for(PollInterval);
    }
}

} // namespace quilvane
