// `quilvane-cli print` hands over to the print program beside it. Printing draws with Qt, and
// loading the GUI libraries at every start would cost each of the other commands more than
// most of them take to run.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "cli/Commands.h"
#include "platform/FileIo.h"

namespace quilvane::cli {

int RunPrint(const Args& args)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string program = (self.parent_path() / "quilvane-print").string();
    std::vector<char*> argv;
    std::string name = "quilvane-print";
    argv.push_back(name.data());
    std::vector<std::string> words(args.begin(), args.end());
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);
    if (!error) {
        ::execv(program.c_str(), argv.data());
    }
    const int reason = error ? error.value() : errno;
    std::fprintf(stderr, "quilvane-cli: 印刷プログラム %s を起動できません: %s\n", program.c_str(),
                 ErrorText(reason).c_str());
    return ExitFailure;
}

} // namespace quilvane::cli
