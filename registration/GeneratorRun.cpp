#include "registration/GeneratorRun.h"

#include <cerrno>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quilvane {
namespace {

constexpr auto PollInterval = std::chrono::milliseconds(15);

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

} // namespace

GeneratorRun RunGenerator(const std::string& registrationFolder, std::chrono::milliseconds limit,
                          const std::function<void()>& whileWaiting)
{
    std::string program = registrationFolder + "/" + GeneratorName;
    struct stat st {};
    if (stat(program.c_str(), &st) != 0) {
        return {GeneratorOutcome::Missing, 0};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, registrationFolder.c_str());
    std::string argv0 = program;
    char* argv[] = {argv0.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return {GeneratorOutcome::CouldNotStart, 0};
    }

    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return Ended(status);
        }
        if (done < 0 && errno != EINTR) {
            // Someone else reaped it (a SIGCHLD handler): its result is lost, not its work.
            return {GeneratorOutcome::Failed, -1};
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ReapLater(pid);
            return {GeneratorOutcome::TimedOut, 0};
        }
        if (whileWaiting) {
            whileWaiting();
        }
        std::this_thread::sleep_for(PollInterval);
    }
}

} // namespace quilvane
