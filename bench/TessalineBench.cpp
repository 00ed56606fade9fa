// Time of one Tessaline run over a registration folder of 300 users with 50 registered projects
// each (15,000 result files, each project also holding work.psp and two linked files).
// The target is well under one second per run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "TessalineFolder.h"
#include "progress/Tessaline.h"

namespace {

namespace fs = std::filesystem;

constexpr int UserCount = tessaline::bench::ClassUsers;
constexpr int ProjectCount = tessaline::bench::ClassProjects;

// Builds the folder once per process; removed again at exit.
class RegistrationFolder {
public:
    RegistrationFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tessaline-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr || !tessaline::bench::WriteClassFolder(pattern)) {
            std::perror("tessaline-bench");
            std::exit(1);
        }
        path_ = pattern;
    }
    ~RegistrationFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    RegistrationFolder(const RegistrationFolder&) = delete;
    RegistrationFolder& operator=(const RegistrationFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

const RegistrationFolder& Folder()
{
    static const RegistrationFolder folder;
    return folder;
}

void BM_TessalineFullRun(benchmark::State& state)
{
    const std::string& folder = Folder().Path();
    for (auto _ : state) {
        const int exitCode = tessaline::GenerateProgressReport(folder);
        if (exitCode != tessaline::ExitPageWritten) {
            state.SkipWithError("the page was not written");
            break;
        }
    }
    state.counters["cells"] = UserCount * ProjectCount;
    state.counters["pageBytes"] = static_cast<double>(fs::file_size(fs::path(folder) / "result.htm"));
}
BENCHMARK(BM_TessalineFullRun)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
