// Time of one Tessaline run over a registration folder of 300 users with 50 registered projects
// each (15,000 result files, each project also holding work.psp and two linked files).
// The target is well under one second per run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "Tessaline.h"

namespace {

namespace fs = std::filesystem;

constexpr int UserCount = 300;
constexpr int ProjectCount = 50;

void WriteText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// Builds the folder once per process; removed again at exit.
class RegistrationFolder {
public:
    RegistrationFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tessaline-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path_ = pattern;
        char name[32];
        for (int user = 0; user < UserCount; ++user) {
            std::snprintf(name, sizeof name, "student%03d", user);
            const std::string userName = name;
            for (int project = 0; project < ProjectCount; ++project) {
                std::snprintf(name, sizeof name, "Prob%02d", project);
                const std::string projectName = name;
                const fs::path dir = fs::path(path_) / userName / projectName;
                fs::create_directories(dir);
                WriteText(dir / "result.txt", userName + " " + projectName + " " +
                                                  std::to_string((user + project) % 101) + "\r\n");
                WriteText(dir / "work.psp", "psp");
                WriteText(dir / (projectName + ".sln"), "sln");
                WriteText(dir / (projectName + ".csproj"), "csproj");
                WriteText(dir / "Program.cs", "cs");
            }
        }
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
