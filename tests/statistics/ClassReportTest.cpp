#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Cp932.h"
#include "project/DefectDetails.h"
#include "project/ProjectFile.h"
#include "statistics/ClassReport.h"
#include "statistics/ClassReportPage.h"
#include "tests/TempFolder.h"

using namespace quilvane;

namespace {

struct Spec {
    const char* user;    // UTF-8, the folder
    const char* project; // UTF-8, the folder
    std::int32_t minutes;
    std::int32_t newLoc;
    std::int32_t plannedMinutes = 0;
    const char* named = nullptr; // the 氏名 in the file; nullptr: the folder's user
    std::optional<int> defectType = std::nullopt;
};

ProjectRecord Make(const Spec& spec)
{
    ProjectRecord p;
    p.projectName = Utf8ToCp932(spec.project);
    p.phases = {{Utf8ToCp932("コード"), 0, spec.minutes, 0}, {Utf8ToCp932("テスト"), 0, 0, 0}};
    p.result.actualMinutes = spec.minutes;
    p.result.actualNew = spec.newLoc;
    p.estimate.totalMinutes = spec.plannedMinutes;
    p.overview.userName = Utf8ToCp932(spec.named != nullptr ? spec.named : spec.user);
    if (spec.defectType) {
        DefectDetails details;
        details.type = spec.defectType;
        details.injected = Utf8ToCp932("コード");
        p.defectLog.entries.push_back({Utf8ToCp932("テスト"), ComposeDefectComment(details), Moment(1)});
    }
    return p;
}

void Save(const TempFolder& root, const Spec& spec)
{
    const std::string folder = root.Path(std::string(spec.user) + "/" + spec.project);
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(SaveProjectFile(folder + "/work.psp", Make(spec)).Ok());
}

ClassReport Build(const TempFolder& root)
{
    std::string error;
    auto report = BuildClassReport(root.Root(), 180, error);
    EXPECT_TRUE(report.has_value()) << error;
    return report.value_or(ClassReport{});
}

const ClassExercise* Exercise(const ClassReport& report, const char* name)
{
    auto it = std::find_if(report.exercises.begin(), report.exercises.end(),
                           [&](const ClassExercise& e) { return e.project == Utf8ToCp932(name); });
    return it == report.exercises.end() ? nullptr : &*it;
}

const ClassStudent* Student(const ClassReport& report, const std::string& name)
{
    auto it = std::find_if(report.students.begin(), report.students.end(),
                           [&](const ClassStudent& s) { return s.user == Utf8ToCp932(name); });
    return it == report.students.end() ? nullptr : &*it;
}

std::optional<Quartiles> Spread(const ClassExercise& e, ClassMeasure m)
{
    return e.spread[static_cast<std::size_t>(m)];
}

} // namespace

TEST(ClassReport, QuartilesAreMediansOfTheHalvesWithoutTheMiddle)
{
    struct Case {
        std::vector<double> values;
        std::optional<std::array<double, 3>> expected; // q1, median, q3
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{5}, {{5, 5, 5}}},
        {{4, 2}, {{2, 3, 4}}},
        {{3, 1, 2}, {{1, 2, 3}}},
        {{3, 1, 2, 4}, {{1.5, 2.5, 3.5}}},
        {{1, 2, 3, 4, 5, 6, 7}, {{2, 4, 6}}},
        {{7, 1, 3, 9, 5, 11, 2, 8}, {{2.5, 6, 8.5}}},
    };
    for (const Case& c : cases) {
        const auto q = QuartilesOf(c.values);
        ASSERT_EQ(q.has_value(), c.expected.has_value());
        if (q) {
            EXPECT_DOUBLE_EQ(q->q1, (*c.expected)[0]);
            EXPECT_DOUBLE_EQ(q->median, (*c.expected)[1]);
            EXPECT_DOUBLE_EQ(q->q3, (*c.expected)[2]);
        }
    }
}

// Four students finished 課題1 and a fifth has not started it; five finished 課題2 with a plan
// of 20 minutes. The figures below are worked out by hand.
TEST(ClassReport, SpreadsEachExerciseOverTheStudentsWithAValue)
{
    TempFolder root;
    const char* users[] = {"学生A", "学生B", "学生C", "学生D", "学生E"};
    for (int i = 0; i < 4; ++i) {
        Save(root, {users[i], "課題1", 100 * (i + 1), 100});
    }
    Save(root, {users[4], "課題1", 0, 0});
    for (int i = 0; i < 5; ++i) {
        Save(root, {users[i], "課題2", 10 * (i + 1), 10, 20, nullptr, i < 3 ? 20 : 80});
    }
    root.Write("result.htm", "<html></html>"); // the progress page beside the users is no student
    const ClassReport report = Build(root);
    EXPECT_TRUE(report.unreadable.empty());
    ASSERT_EQ(report.students.size(), 5u);
    EXPECT_EQ(report.projectsRead, 10u);
    ASSERT_EQ(report.exercises.size(), 2u);

    const ClassExercise& first = *Exercise(report, "課題1");
    EXPECT_EQ(first.students, 5);
    EXPECT_EQ(Spread(first, ClassMeasure::Minutes), (Quartiles{150, 250, 350, 100, 400}));
    // LOC/hour 60, 30, 20, 15: the unstarted project has none.
    EXPECT_EQ(Spread(first, ClassMeasure::LocPerHour), (Quartiles{17.5, 25, 45, 15, 60}));
    EXPECT_FALSE(Spread(first, ClassMeasure::TimeErrorPercent).has_value());

    const ClassExercise& second = *Exercise(report, "課題2");
    EXPECT_EQ(second.students, 5);
    EXPECT_EQ(Spread(second, ClassMeasure::Minutes), (Quartiles{15, 30, 45, 10, 50}));
    // (actual - 20) / 20: -50, 0, 50, 100, 150.
    EXPECT_EQ(Spread(second, ClassMeasure::TimeErrorPercent), (Quartiles{-25, 50, 125, -50, 150}));

    // To date is sums over sums: 学生A spent 110 minutes on 110 LOC.
    const ClassStudent& a = *Student(report, "学生A");
    ASSERT_EQ(a.projects.size(), 2u);
    EXPECT_EQ(a.projects[0].project, Utf8ToCp932("課題1"));
    EXPECT_EQ(a.toDate[static_cast<std::size_t>(ClassMeasure::Minutes)], 110.0);
    EXPECT_DOUBLE_EQ(*a.toDate[static_cast<std::size_t>(ClassMeasure::LocPerHour)], 60.0);
    const ClassStudent& e = *Student(report, "学生E");
    EXPECT_FALSE(e.projects[0].values[static_cast<std::size_t>(ClassMeasure::Minutes)].has_value());
    EXPECT_EQ(e.finished, 1);

    // The Pareto puts the most frequent type first.
    ASSERT_EQ(report.defectPareto.size(), 2u);
    EXPECT_EQ(report.defectPareto[0].type, 20);
    EXPECT_EQ(report.defectPareto[0].count, 3);
    ASSERT_FALSE(report.phaseShare.empty());
    EXPECT_EQ(report.phaseShare[0].phase, Utf8ToCp932("コード"));
    EXPECT_DOUBLE_EQ(report.phaseShare[0].percent, 100.0);
}

// Links, FIFOs, a file padded to a gigabyte and a file that names someone else: each is listed
// or flagged, none is followed or blocks, and the report goes on.
TEST(ClassReport, HostileFoldersAreListedNotFollowed)
{
    TempFolder root;
    TempFolder outside;
    Save(root, {"山田", "課題1", 60, 60});
    Save(root, {"鈴木", "課題1", 30, 30, 0, "山田"});
    Save(outside, {"他人", "課題1", 999, 999});
    std::filesystem::create_directory_symlink(outside.Path("他人"), root.Path("リンク"));
    std::filesystem::create_directory_symlink(outside.Path("他人/課題1"), root.Path("山田/課題2"));
    std::filesystem::create_directories(root.Path("山田/課題3"));
    std::filesystem::create_symlink(outside.Path("他人/課題1/work.psp"), root.Path("山田/課題3/work.psp"));
    std::filesystem::create_directories(root.Path("山田/課題4"));
    ASSERT_EQ(::mkfifo(root.Path("山田/課題4/work.psp").c_str(), 0600), 0);
    // A string said to be 900 MB long in a sparse file of 1 GB: refused after a bounded read.
    std::filesystem::create_directories(root.Path("山田/課題5"));
    root.Write("山田/課題5/work.psp", std::string("\x67\0\0\0\xFF\xFF\xFF\x00\x00\xA4\x35", 11));
    ASSERT_EQ(::truncate(root.Path("山田/課題5/work.psp").c_str(), 1L << 30), 0);
    std::filesystem::create_directories(root.Path("山田/課題6"));

    const ClassReport report = Build(root);
    ASSERT_EQ(report.students.size(), 2u);
    EXPECT_EQ(report.projectsRead, 2u);
    std::vector<std::string> unreadable;
    for (const UnreadableProject& u : report.unreadable) {
        unreadable.push_back(u.path);
        EXPECT_FALSE(u.reason.empty()) << u.path;
    }
    const std::vector<std::string> expected = {"リンク",
                                               "山田/課題2",
                                               "山田/課題3/work.psp",
                                               "山田/課題4/work.psp",
                                               "山田/課題5/work.psp",
                                               "山田/課題6/work.psp"};
    EXPECT_EQ(unreadable, expected);
    EXPECT_NE(report.unreadable[4].reason.find("大きすぎます"), std::string::npos)
        << report.unreadable[4].reason;

    // 鈴木's project names 山田 inside: it stays in 鈴木's row, with a finding.
    const ClassStudent& suzuki = *Student(report, "鈴木");
    ASSERT_EQ(suzuki.projects.size(), 1u);
    const auto& findings = suzuki.projects[0].findings;
    EXPECT_TRUE(std::any_of(findings.begin(), findings.end(),
                            [](const Finding& f) { return f.code == OtherUserFindingCode; }));
    const ClassStudent& yamada = *Student(report, "山田");
    ASSERT_EQ(yamada.projects.size(), 1u);
    EXPECT_TRUE(std::none_of(yamada.projects[0].findings.begin(), yamada.projects[0].findings.end(),
                             [](const Finding& f) { return f.code == OtherUserFindingCode; }));
}

// Markup and javascript: in every name a student controls: the page holds its own script only,
// no outside address and no element a name could have made.
TEST(ClassReport, PageEscapesEveryNameAndLoadsNothing)
{
    TempFolder root;
    const char* hostile = "<script>alert(1)</script>\"'&javascript:x";
    const std::string user = std::string("<img src=x onerror=alert(1)>") + "javascript:alert(2)";
    const std::string project = std::string("javascript:alert(3)<b>\"'");
    std::filesystem::create_directories(root.Path(user + "/" + project));
    ProjectRecord p = Make({"x", "y", 60, 60, 0, hostile, 10});
    p.phases[0].name = Utf8ToCp932(hostile);
    p.defectLog.entries[0].phase = Utf8ToCp932(std::string(hostile) + "<a href=http://evil>");
    ASSERT_TRUE(SaveProjectFile(root.Path(user + "/" + project + "/work.psp"), p).Ok());
    std::filesystem::create_directory_symlink("/nonexistent",
                                              root.Path(std::string("<svg onload=alert(4)>")));

    const ClassReport report = Build(root);
    ASSERT_EQ(report.projectsRead, 1u);
    const std::string page = ClassReportPage(report, "<i>R</i>", "TESTNONCE");
    auto count = [&](const std::string& needle) {
        std::size_t n = 0;
        for (auto at = page.find(needle); at != std::string::npos; at = page.find(needle, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("<script"), 1u);
    EXPECT_EQ(count("<script nonce=\"TESTNONCE\">"), 1u);
    EXPECT_EQ(count("default-src 'none'; script-src 'nonce-TESTNONCE'"), 1u);
    for (const char* forbidden : {"<img", "<b>", "<a ", "<svg onload", "<i>",
                                  "=\"javascript:", "='javascript:", "=javascript:", "https:"}) {
        EXPECT_EQ(count(forbidden), 0u) << forbidden;
    }
    // The only address in the page is the student's own text, shown escaped.
    EXPECT_EQ(count("http:"), count("&lt;a href=http://evil&gt;"));
    EXPECT_GT(count("javascript:alert(3)&lt;b&gt;&quot;&#39;"), 0u);
}

// What the page makes of figures it is handed: findings beyond three fold away, defect types are
// named and counted in whole numbers, a box plot's axis spans the values rather than reaching
// down to zero.
TEST(ClassReport, PageFoldsLongFindingsNamesDefectTypesAndFitsTheAxis)
{
    ClassReport report;
    report.defectPareto = {{40, 10, 0, 0}, {std::nullopt, 2, 0, 0}};
    ClassExercise exercise{"P", 4, {}};
    exercise.spread[static_cast<std::size_t>(ClassMeasure::Minutes)] = Quartiles{457, 460, 463, 455, 465};
    report.exercises.push_back(exercise);
    ClassStudent student{"s", {ClassProject{"P", {}, {}}}, {}, 0};
    for (int n = 1; n <= 5; ++n) {
        student.projects[0].findings.push_back({"c", {}, "F" + std::to_string(n), ""});
    }
    report.students.push_back(student);
    const std::string page = ClassReportPage(report, "R", "N");
    EXPECT_NE(page.find(">5<br>F1<br>F2<br>F3<details><summary>ほか 2 件</summary>F4<br>F5</details></td>"),
              std::string::npos);
    report.students[0].projects[0].findings.resize(3);
    const std::string shorter = ClassReportPage(report, "R", "N");
    EXPECT_NE(shorter.find(">3<br>F1<br>F2<br>F3</td>"), std::string::npos);
    EXPECT_NE(shorter.find(">40 代入</text>"), std::string::npos);
    EXPECT_NE(shorter.find(">10 件 (累積 83.3%)</text>"), std::string::npos);
    EXPECT_NE(shorter.find(">不明</text>"), std::string::npos);
    const auto minutesFrom = shorter.find("時間(分)</figcaption>");
    ASSERT_NE(minutesFrom, std::string::npos);
    const std::string minutesPlot =
        shorter.substr(minutesFrom, shorter.find("</figure>", minutesFrom) - minutesFrom);
    for (const char* label : {">466</text>", ">460</text>", ">454</text>"}) {
        EXPECT_NE(minutesPlot.find(label), std::string::npos) << label;
    }
    EXPECT_EQ(minutesPlot.find(">0</text>"), std::string::npos);
}
