#pragma once
// Running the progress report generator in the registration folder and waiting for it, so that
// registration can say whether the class page was rebuilt.
#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>

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
    Untrusted,     // there is one, but someone else could have put it there: it was not run
    CouldNotStart, // there is one, but it cannot be executed
    Failed,        // it ended with a non-zero exit code or by a signal
    TimedOut,      // still running at the limit; left to finish on its own
};

// Why a generator was not trusted.
enum class GeneratorDistrust {
    None,
    NotRegularFile, // a link, a folder or a device stands at its name
    Writable,       // the group or others may write it
    Owner,          // it belongs to neither root, the owner of R nor the registering user
};

struct GeneratorRun {
    GeneratorOutcome outcome = GeneratorOutcome::NotRun;
    int exitCode = 0; // when Failed: the exit code, or -1 when a signal ended it
    GeneratorDistrust distrust = GeneratorDistrust::None;
    std::string ownerName; // when Owner: the user the generator belongs to
    std::string notes;     // what it wrote on standard error (UTF-8 lines), at most a few kilobytes
};

// Whether a file with `mode` and `owner` in a folder owned by `folderOwner` may be run by
// `runner`: a regular file that neither the group nor others may write, owned by root, by the
// folder's owner or by the runner. Anything else may have been put there by a classmate, and
// would run with the runner's rights.
GeneratorDistrust CheckGenerator(mode_t mode, uid_t owner, uid_t folderOwner, uid_t runner);

// Runs R/GeneratorName with R (a disk path) as working directory and no arguments, and waits
// up to `limit`. Only the file that was checked is run, whatever is put at its name meanwhile.
// Its standard input and output are /dev/null, so that it never holds a caller's pipe open;
// its standard error is collected. `whileWaiting` (may be empty) is called every few
// milliseconds meanwhile, so a window can keep painting its progress.
[[nodiscard]] GeneratorRun RunGenerator(const std::string& registrationFolder,
                                        std::chrono::milliseconds limit,
                                        const std::function<void()>& whileWaiting);

} // namespace quilvane
