#pragma once
// Running the progress report generator in the registration folder and waiting for it, so that
// registration can say whether the class page was rebuilt.
#include <chrono>
#include <functional>
#include <string>

namespace quilvane {

// The file name of the generator in R.
#ifdef _WIN32
inline constexpr const char* GeneratorName = "Tessaline.exe";
#else
inline constexpr const char* GeneratorName = "Tessaline";
#endif

// Generous: a class folder of a few hundred projects takes well under a second.
inline constexpr std::chrono::milliseconds DefaultGeneratorLimit = std::chrono::seconds(120);

enum class GeneratorOutcome {
    NotRun,        // registration stopped before the generator's turn
    Finished,      // exit code 0: the page is rebuilt
    Missing,       // R holds no generator
    CouldNotStart, // there is one, but it cannot be executed
    Failed,        // it ended with a non-zero exit code or by a signal
    TimedOut,      // still running at the limit; left to finish on its own
};

struct GeneratorRun {
    GeneratorOutcome outcome = GeneratorOutcome::NotRun;
    int exitCode = 0; // when Failed: the exit code, or -1 when a signal ended it
};

// Runs R/GeneratorName with R (a disk path) as working directory and no arguments, and waits
// up to `limit`. `whileWaiting` (may be empty) is called every few milliseconds meanwhile, so a
// window can keep painting its progress.
[[nodiscard]] GeneratorRun RunGenerator(const std::string& registrationFolder,
                                        std::chrono::milliseconds limit,
                                        const std::function<void()>& whileWaiting);

} // namespace quilvane
