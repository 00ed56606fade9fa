// `show` and `pack`: a project file to text or JSON, and JSON back to a project file.
#include <cstdio>
#include <iostream>
#include <new>

#include "cli/Commands.h"
#include "cli/ProjectJson.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/TimeText.h"
#include "project/DefectDetails.h"
#include "project/ProjectFile.h"

namespace quilvane::cli {
namespace {

void PrintReadable(const ProjectRecord& p)
{
    auto u = [](const std::string& s) { return Cp932ToUtf8(s); };
    std::cout << "プロジェクト: " << u(p.projectName) << "\n";
    std::cout << "モード: " << u(p.mode) << "\n";
    std::cout << "氏名: " << u(p.overview.userName) << "\n";
    std::cout << "データ登録先: " << u(p.overview.registrationFolder) << "\n";
    std::cout << "\nフェーズ (計画分 / 実績分 / 比率%)\n";
    for (const auto& row : p.phases) {
        std::cout << "  " << u(row.name) << "\t" << row.plan << "\t" << row.actual << "\t" << row.ratio
                  << "\n";
    }
    std::cout << "\n時間記録 " << p.timeLog.entries.size() << " 件\n";
    for (const auto& e : p.timeLog.entries) {
        std::cout << "  " << u(e.phase) << "\t" << FormatSpanBetween(e.start.Seconds(), e.end.Seconds())
                  << "\t" << e.start.Text() << "\t" << e.end.Text() << "\n";
    }
    std::cout << "\nバグ記録 " << p.defectLog.entries.size() << " 件\n";
    for (const auto& e : p.defectLog.entries) {
        // The details print in columns of their own, never as the header inside the comment.
        const DefectDetails details = DetailsOf(e);
        std::string comment = u(details.comment);
        for (auto& c : comment) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        std::cout << "  " << u(e.phase) << "\t" << e.time.Text() << "\t" << u(DefectTypeText(details.type))
                  << "\t" << u(details.injected.value_or(std::string())) << "\t"
                  << FixMinutesText(details.fixMinutes) << "\t" << comment << "\n";
    }
    const auto& est = p.estimate;
    std::cout << "\n計画: ベース " << u(est.baseName) << " (" << est.baseLoc << " LOC, 利用可能 "
              << est.availablePercent << "%)\n";
    std::cout << "  再利用 " << est.reuseLoc << " / 削除 " << est.deleteLoc << " / 新規 " << est.newLoc
              << " LOC, " << est.totalMinutes << " 分 ± " << u(est.rangeText) << "\n";
    std::cout << "結果: 再利用 " << p.result.actualReuse << " / 削除 " << p.result.actualDelete << " / 新規 "
              << p.result.actualNew << " LOC, " << p.result.actualMinutes << " 分\n";
    if (!p.memo.empty()) {
        std::cout << "\nメモ:\n" << u(p.memo) << "\n";
    }
}

} // namespace

int RunShow(const Args& args)
{
    Args rest = args;
    const bool json = TakeFlag(rest, "--json");
    if (rest.size() != 1 || rest[0].empty() || rest[0][0] == '-') {
        return ExitUsage;
    }
    const std::string& file = rest[0];
    ProjectRecord project;
    ProjectFileExtent extent;
    if (Status status = LoadProjectFile(file, project, &extent); !status) {
        Report(status.Message());
        return ExitFailure;
    }
    // The workbench ignores whatever follows a complete record; a reader of the file should
    // still learn that those bytes exist, since they do not come back through `pack`.
    if (extent.fileBytes > extent.recordBytes) {
        std::fprintf(stderr,
                     "quilvane-cli: 警告: %s: 記録の後に %llu バイトの余分なデータがあります"
                     " (%llu バイト目から)\n",
                     file.c_str(), static_cast<unsigned long long>(extent.fileBytes - extent.recordBytes),
                     static_cast<unsigned long long>(extent.recordBytes));
    }
    if (json) {
        std::cout << ProjectToJson(project).dump(2) << "\n";
    } else {
        PrintReadable(project);
    }
    return ExitOk;
}

int RunPack(const Args& args)
{
    if (args.size() != 2) {
        return ExitUsage;
    }
    const std::string& in = args[0];
    const std::string& out = args[1];
    std::string text;
    if (Status read = ReadRegularFile(in, text); !read) {
        Report(read.Message());
        return ExitFailure;
    }
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(text, nullptr, false);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "quilvane-cli: %s: メモリーが足りません\n", in.c_str());
        return ExitFailure;
    }
    if (json.is_discarded()) {
        std::fprintf(stderr, "quilvane-cli: %s: JSON として読めません\n", in.c_str());
        return ExitFailure;
    }
    ProjectRecord project;
    Status status = ProjectFromJson(json, project);
    if (status) {
        status = SaveProjectFile(out, project);
    } else {
        status = Status::Failure(in + ": " + status.Message());
    }
    if (!status) {
        Report(status.Message());
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace quilvane::cli
