#include "TessalineFolder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tessaline::bench {

namespace {

namespace fs = std::filesystem;

bool WriteText(const fs::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

} // namespace

bool WriteClassFolder(const std::string& folder, int users, int projects, const WorkFileBytes& workFile)
{
    char name[32];
    for (int user = 0; user < users; ++user) {
        std::snprintf(name, sizeof name, "student%03d", user);
        const std::string userName = name;
        for (int project = 0; project < projects; ++project) {
            std::snprintf(name, sizeof name, "Prob%02d", project);
            const std::string projectName = name;
            const fs::path dir = fs::path(folder) / userName / projectName;
            std::error_code ec;
            fs::create_directories(dir, ec);
            const std::string result =
                userName + " " + projectName + " " + std::to_string((user + project) % 101) + "\r\n";
            if (ec || !WriteText(dir / "result.txt", result) ||
                !WriteText(dir / "work.psp", workFile ? workFile(userName, projectName) : "psp") ||
                !WriteText(dir / (projectName + ".sln"), "sln") ||
                !WriteText(dir / (projectName + ".csproj"), "csproj") ||
                !WriteText(dir / "Program.cs", "cs")) {
                return false;
            }
        }
    }
    return true;
}

} // namespace tessaline::bench
