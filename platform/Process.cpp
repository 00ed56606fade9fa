#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quilvane {
namespace {

std::vector<char*> ArgvPointers(std::vector<std::string>& argv)
{
    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (auto& a : argv) {
        pointers.push_back(a.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Starts `argv`; nullopt with `error` set (an errno value, 0 for an empty argument vector) when
// it could not start.
std::optional<pid_t> Spawn(std::vector<std::string> argv, const std::string& workingDirectory, int& error)
{
    error = 0;
    if (argv.empty()) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    }
    // A tool that ignores SIGPIPE for itself does not pass that on: the program started
    // expects the default, as pipelines in a batch file do.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    auto pointers = ArgvPointers(argv);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0].c_str(), &actions, &attributes, pointers.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        error = rc;
        return std::nullopt;
    }
    return pid;
}

std::optional<pid_t> Spawn(std::vector<std::string> argv, const std::string& workingDirectory)
{
    int error = 0;
    return Spawn(std::move(argv), workingDirectory, error);
}

Status CannotStart(const std::vector<std::string>& argv, int error)
{
    if (argv.empty()) {
        return Status::Failure("起動するプログラムが指定されていません");
    }
    return Status::Failure("「" + argv[0] + "」を起動できませんでした (" + std::strerror(error) + ")");
}

// Reaps `child` whenever it ends, so no zombie is left behind while we run on.
void ReapInBackground(pid_t child)
{
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

std::optional<int> RunAndWait(const std::vector<std::string>& argv, const std::string& workingDirectory)
{
    auto pid = Spawn(argv, workingDirectory);
    if (!pid) {
        return std::nullopt;
    }
    int status = 0;
    while (waitpid(*pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    if (!WIFEXITED(status)) {
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

Status StartDetached(const std::vector<std::string>& argv, const std::string& workingDirectory)
{
    int error = 0;
    auto pid = Spawn(argv, workingDirectory, error);
    if (!pid) {
        return CannotStart(argv, error);
    }
    ReapInBackground(*pid);
    return Status::Success();
}

Status StartWatched(const std::vector<std::string>& argv, std::chrono::milliseconds grace,
                    const std::string& workingDirectory)
{
    int error = 0;
    auto pid = Spawn(argv, workingDirectory, error);
    if (!pid) {
        return CannotStart(argv, error);
    }
    const auto deadline = std::chrono::steady_clock::now() + grace;
    for (;;) {
        int status = 0;
        pid_t ended = waitpid(*pid, &status, WNOHANG);
        if (ended == *pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
                return Status::Success();
            }
            const std::string how = WIFEXITED(status) ? "終了コード " + std::to_string(WEXITSTATUS(status))
                                                      : "シグナル " + std::to_string(WTERMSIG(status));
            return Status::Failure("「" + argv[0] + "」がすぐに終わりました (" + how + ")");
        }
        if (ended < 0 && errno != EINTR) {
            // It cannot be watched (nor reaped by us): it did start.
            return Status::Success();
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ReapInBackground(*pid);
    return Status::Success();
}

Status ShellOpen(const std::string& target, std::chrono::milliseconds grace)
{
    if (!FindOnPath("xdg-open")) {
        return Status::Failure("ファイルを開くプログラム (xdg-open) が見つかりません");
    }
    return StartWatched({"xdg-open", target}, grace);
}

std::optional<std::string> FindOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        std::string candidate = dirs.substr(start, end - start) + "/" + program;
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace quilvane
