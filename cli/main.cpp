// quilvane-cli: project files and class data from the command line, for teachers and scripts.
#include <cstdio>
#include <cstring>

#include "cli/Commands.h"
#include "cli/StandardOutput.h"
#include "platform/LastResort.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const quilvane::cli::Args&);
    const char* usage;
};

const Command Commands[] = {
    {"show", quilvane::cli::RunShow, "show [--json] FILE     プロジェクトファイルの内容を表示します"},
    {"pack", quilvane::cli::RunPack, "pack JSON OUT          JSON からプロジェクトファイルを作ります"},
    {"loc", quilvane::cli::RunLoc,
     "loc [--json] BASE CURRENT   ベースと比べた再利用・削除・新規 LOC を数えます (BASE は \"\" でも可)"},
    {"stats", quilvane::cli::RunStats, "stats [-C DIR]         統計情報を CSV で表示します"},
    {"defects", quilvane::cli::RunDefects,
     "defects [-C DIR] [--json]  バグを種別と混入・除去工程で集計します"},
    {"quality", quilvane::cli::RunQuality,
     "quality [-C DIR] [--json] [PROJECT]  "
     "歩留まり・A/FR・見積り誤差などをプロジェクトごとと累計で表示します"},
    {"new", quilvane::cli::RunNew, "new [-C DIR] EXERCISE [BASE]  新規プロジェクトを作ります"},
    {"estimate", quilvane::cli::RunEstimate,
     "estimate [--json] [-C DIR] [--exclude NAME] REUSE DELETE NEW  係数を更新し、合計時間を見積ります"},
    {"check", quilvane::cli::RunCheck,
     "check [-C DIR] [--json] PROJECT  データを確認します (確認事項があれば終了コード 3)"},
    {"register", quilvane::cli::RunRegister,
     "register [-C DIR] [--limit SECONDS] PROJECT  プロジェクトを登録先にコピーし、進捗表を作り直します"},
    {"class", quilvane::cli::RunClass,
     "class [-C R] [--json] [--html OUT]  登録先の全プロジェクトからクラスレポートを作ります"},
#ifdef QUILVANE_HAVE_PRINT
    {"print", quilvane::cli::RunPrint, quilvane::cli::PrintUsage},
#endif
};

int Usage()
{
    std::fprintf(stderr, "使い方: quilvane-cli COMMAND ...\n");
    for (const auto& c : Commands) {
        std::fprintf(stderr, "  quilvane-cli %s\n", c.usage);
    }
    return quilvane::cli::ExitUsage;
}

int RunCli(int argc, char** argv)
{
    if (argc < 2) {
        return Usage();
    }
    for (const auto& c : Commands) {
        if (std::strcmp(argv[1], c.name) == 0) {
            int code = c.run(quilvane::cli::Args(argv + 2, argv + argc));
            if (code == quilvane::cli::ExitUsage) {
                std::fprintf(stderr, "使い方: quilvane-cli %s\n", c.usage);
            }
            return code;
        }
    }
    return Usage();
}

} // namespace

int main(int argc, char** argv)
{
    quilvane::cli::GuardStandardStreams();
    return quilvane::RunWithLastResort("quilvane-cli",
                                       [&] { return quilvane::cli::FinishOutput(RunCli(argc, argv)); });
}
