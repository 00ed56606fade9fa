// tessaline-folder OUT [USERS PROJECTS]: writes a generated registration folder for timing
// Tessaline by hand or from bench/tessaline-scale.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "TessalineFolder.h"

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: tessaline-folder OUT [USERS PROJECTS]\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    const int users = argc == 4 ? std::atoi(argv[2]) : tessaline::bench::ClassUsers;
    const int projects = argc == 4 ? std::atoi(argv[3]) : tessaline::bench::ClassProjects;
    if (ec || users < 1 || projects < 1 || !tessaline::bench::WriteClassFolder(argv[1], users, projects)) {
        std::fprintf(stderr, "tessaline-folder: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
