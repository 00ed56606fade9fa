// class-folder OUT [USERS PROJECTS]: the class folder of Tessaline's benchmark with real project
// files, for timing `quilvane-cli class` (bench/class-report). Each work.psp is what
// `quilvane-cli new` makes (the eight PSP phases, a memo, the student's 氏名 and registration
// folder, a plan) after the exercise was worked: a time log of 40 entries, a few defects with
// type, injected phase and fix time, and the results.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TessalineFolder.h"
#include "platform/Cp932.h"
#include "project/DefectDetails.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"

namespace {

using namespace quilvane;

std::string WorkFile(const std::string& user, const std::string& project)
{
    static const std::vector<std::string> phases = [] {
        std::vector<std::string> names;
        for (const char* name :
             {"計画", "設計", "設計レビュー", "コード", "コードレビュー", "コンパイル", "テスト", "事後"}) {
            names.push_back(Utf8ToCp932(name));
        }
        return names;
    }();
    const int u = std::atoi(user.c_str() + 7);
    const int p = std::atoi(project.c_str() + 4);
    ProjectRecord r;
    r.projectName = project;
    r.mode = NeutralMode;
    r.memo = Utf8ToCp932("作成日 2026/12/08\r\n");
    std::int32_t t = 1760000000 + p * 604800 + u * 60;
    std::vector<std::int32_t> seconds(phases.size(), 0);
    for (std::size_t e = 0; e < 40; ++e) {
        const std::size_t k = e % phases.size();
        const std::int32_t span = 300 + static_cast<std::int32_t>((e * 37 + u * 11 + p * 7) % 900);
        r.timeLog.entries.push_back({phases[k], Moment(t), Moment(t + span)});
        seconds[k] += span;
        t += span + 120;
    }
    for (std::size_t k = 0; k < phases.size(); ++k) {
        r.phases.push_back({phases[k], 20, SecondsToMinutes(seconds[k]), 0});
    }
    for (int d = 0; d < 2 + (u + p) % 6; ++d) {
        DefectDetails details{10 * (1 + (d + u) % 10), phases[static_cast<std::size_t>(1 + d % 3)],
                              1 + d % 15, "x"};
        r.defectLog.entries.push_back(
            {phases[static_cast<std::size_t>(2 + (d + p) % 5)], ComposeDefectComment(details), Moment(t)});
    }
    r.estimate.totalMinutes = 150 + (u * 13 + p * 29) % 200;
    r.estimate.newLoc = 80 + (u + p * 3) % 120;
    r.estimate.rangeText = "45.50";
    r.result.actualNew = 60 + (u * 7 + p * 11) % 240;
    r.overview.userName = user;
    r.overview.registrationFolder = "R";
    return SerializeToBytes(r);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: class-folder OUT [USERS PROJECTS]\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    const int users = argc == 4 ? std::atoi(argv[2]) : tessaline::bench::ClassUsers;
    const int projects = argc == 4 ? std::atoi(argv[3]) : tessaline::bench::ClassProjects;
    if (ec || users < 1 || projects < 1 ||
        !tessaline::bench::WriteClassFolder(argv[1], users, projects, WorkFile)) {
        std::fprintf(stderr, "class-folder: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
