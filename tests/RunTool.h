#pragma once
// Runs a program of this project with an argument vector and collects its exit code and output,
// for black-box tests of the command-line tools.
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/FileIo.h"
#include "tests/TempFolder.h"

namespace quilvane {

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Where the program's standard output goes: a file that is read back, or one that fails writes.
enum class ToolStdout {
    Captured,
    DevFull,    // every write fails with ENOSPC
    Closed,     // no descriptor 1 at all
    BrokenPipe, // a pipe whose reader has gone: EPIPE, or SIGPIPE when not ignored
};

// The argv of execv/posix_spawn over `args`, which must outlive it: each string's own bytes
// (the exec functions take char*) and the closing null.
inline std::vector<char*> ArgumentVector(std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return argv;
}

inline ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                          const std::string& workingDirectory = "",
                          ToolStdout stdoutKind = ToolStdout::Captured)
{
    TempFolder capture;
    std::string outPath = capture.Path("out");
    std::string errPath = capture.Path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeEnds[2] = {-1, -1};
    switch (stdoutKind) {
    case ToolStdout::Captured:
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        break;
    case ToolStdout::DevFull:
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
        break;
    case ToolStdout::Closed:
        posix_spawn_file_actions_addclose(&actions, 1);
        break;
    case ToolStdout::BrokenPipe:
        if (pipe2(pipeEnds, O_CLOEXEC) == 0) {
            close(pipeEnds[0]); // the reader is gone before the program starts
            posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        }
        break;
    }
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    }
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv = ArgumentVector(all);
    ToolResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        // A death by signal shows as its negative number (-13 for SIGPIPE).
        result.exitCode = WIFEXITED(status)     ? WEXITSTATUS(status)
                          : WIFSIGNALED(status) ? -WTERMSIG(status)
                                                : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[1] >= 0) {
        close(pipeEnds[1]);
    }
    result.out = ReadWholeFile(outPath).value_or("");
    result.err = ReadWholeFile(errPath).value_or("");
    return result;
}

} // namespace quilvane
