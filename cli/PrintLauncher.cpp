// `quilvane-cli print` hands over to the print program beside it. Printing draws with Qt, and
// loading the GUI libraries at every start would cost each of the other commands more than
// most of them take to run.
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "cli/Commands.h"
#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"

namespace quilvane::cli {

int RunPrint(const Args& args)
{
    const std::string program = ExecutableFolder() + "/quilvane-print";
    std::vector<char*> argv;
    std::string name = "quilvane-print";
    argv.push_back(name.data());
    std::vector<std::string> words(args.begin(), args.end());
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(program.c_str(), argv.data());
    std::fprintf(stderr, "quilvane-cli: 印刷プログラム %s を起動できません: %s\n", program.c_str(),
                 ErrorText(errno).c_str());
    return ExitFailure;
}

} // namespace quilvane::cli
