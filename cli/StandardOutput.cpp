#include "cli/StandardOutput.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

#include "cli/Commands.h"
#include "platform/FileIo.h"

namespace quilvane::cli {

void GuardStandardStreams()
{
    // Ascending, so that each open takes the lowest free number: the one that was closed.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        int held = ::open("/dev/null", O_RDONLY | O_NOCTTY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
    // Programs this tool starts (Tessaline, an exercise's batch file) get the default back
    // from the process runner.
    std::signal(SIGPIPE, SIG_IGN);
}

int FinishOutput(int exitCode)
{
    std::cout.flush();
    bool failed = !std::cout.good() || std::ferror(stdout) != 0;
    int error = 0;
    if (std::fflush(stdout) != 0) {
        failed = true;
        error = errno;
    }
    if (!failed || (exitCode != ExitOk && exitCode != ExitFindings)) {
        return exitCode;
    }
    if (error != 0) {
        std::fprintf(stderr, "quilvane-cli: 結果を標準出力に書き出せません: %s\n", ErrorText(error).c_str());
    } else {
        std::fprintf(stderr, "quilvane-cli: 結果を標準出力に書き出せません\n");
    }
    return ExitFailure;
}

} // namespace quilvane::cli
