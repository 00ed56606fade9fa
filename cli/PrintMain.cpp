// quilvane-print: the print command of quilvane-cli, a program of its own because it draws with
// Qt. quilvane-cli starts it with the words that followed "print".
#include <cstdio>

#include "cli/Commands.h"
#include "cli/StandardOutput.h"
#include "platform/LastResort.h"

int main(int argc, char** argv)
{
    quilvane::cli::GuardStandardStreams();
    return quilvane::RunWithLastResort("quilvane-cli", [&] {
        int code = quilvane::cli::RunPrintDocument(quilvane::cli::Args(argv + 1, argv + argc));
        if (code == quilvane::cli::ExitUsage) {
            std::fprintf(stderr, "使い方: quilvane-cli %s\n", quilvane::cli::PrintUsage);
        }
        return quilvane::cli::FinishOutput(code);
    });
}
