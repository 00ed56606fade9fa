#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/TimeText.h"
#include "project/DefectDetails.h"
#include "statistics/ChecklistTicks.h"
#include "statistics/ReviewChecklist.h"
#include "tests/TempFolder.h"
#include "tests/statistics/StatTestFolder.h"

using namespace quilvane;

namespace {

struct Defect {
    const char* found; // UTF-8
    std::optional<int> type;
    const char* injected; // UTF-8; "" unknown
    std::optional<std::int32_t> fix = std::nullopt;
    const char* comment = "";
    std::int32_t time = 1000;
};

struct Project {
    std::vector<Defect> defects;
    bool finished = true;
};

ProjectRecord Make(const Project& spec)
{
    ProjectRecord p;
    p.phases = {{Utf8ToCp932("設計"), 0, spec.finished ? 30 : 0, 0},
                {Utf8ToCp932("コーディング"), 0, spec.finished ? 60 : 0, 0}};
    for (const Defect& d : spec.defects) {
        DefectDetails details;
        details.type = d.type;
        if (*d.injected) {
            details.injected = Utf8ToCp932(d.injected);
        }
        details.fixMinutes = d.fix;
        details.comment = Utf8ToCp932(d.comment);
        p.defectLog.entries.push_back({Utf8ToCp932(d.found), ComposeDefectComment(details), Moment(d.time)});
    }
    return p;
}

struct Expected {
    std::string key;
    std::int32_t count;
    std::optional<double> averageFix;
    std::vector<const char*> comments = {}; // UTF-8
};

struct RankingCase {
    const char* name;
    ReviewKind kind;
    std::vector<Project> history;
    Project current;
    bool starter;
    std::vector<Expected> items; // for a starter list only the keys are compared
};

const std::vector<RankingCase> RankingCases = {
    {"MostFoundFirst",
     ReviewKind::Code,
     {{{{"テスト", 80, "コーディング", 4}, {"テスト", 20, "コーディング", 2}}}},
     {{{"コンパイル", 20, "コーディング", 1}, {"テスト", 20, "コーディング"}}},
     false,
     {{"20", 3, 1.5}, {"80", 1, 4.0}}},
    // Equal counts: the type that cost more fix minutes comes first, whatever the log order.
    {"TieGoesToMoreFixMinutes",
     ReviewKind::Code,
     {{{{"テスト", 40, "コーディング", 5},
        {"テスト", 50, "コーディング", 20},
        {"テスト", 40, "コーディング", 5}}}},
     {{{"テスト", 50, "コーディング", 1}}},
     false,
     {{"50", 2, 10.5}, {"40", 2, 5.0}}},
    // Equal counts and minutes: the smaller type code first.
    {"FullTieGoesToSmallerCode",
     ReviewKind::Code,
     {},
     {{{"テスト", 70, "コーディング"}, {"テスト", 30, "コーディング"}}},
     false,
     {{"30", 1, std::nullopt}, {"70", 1, std::nullopt}}},
    {"DesignItemsAreThoseInjectedInDesign",
     ReviewKind::Design,
     {{{{"テスト", 40, "設計", 30}, {"テスト", 20, "コーディング", 1}}}},
     {{{"コンパイル", 90, "設計", 10}, {"テスト", 40, "設計", 10}}},
     false,
     {{"40", 2, 20.0}, {"90", 1, 10.0}}},
    {"CodeItemsLeaveDesignDefectsOut",
     ReviewKind::Code,
     {{{{"テスト", 40, "設計", 30}, {"テスト", 20, "コーディング", 1}}}},
     {{{"コンパイル", 90, "設計", 10}}},
     false,
     {{"20", 1, 1.0}}},
    // Defects caught in a review or found where the type or the injected phase is unknown do not
    // say what the review missed; and an unfinished project of the history is not read.
    {"OnlyTypedDefectsFoundInCompileAndTest",
     ReviewKind::Code,
     {{{{"テスト", 60, "コーディング", 3}}, false}},
     {{{"コードレビュー", 20, "コーディング", 1},
       {"テスト", std::nullopt, "コーディング", 1},
       {"テスト", 30, "", 1},
       {"テスト", 80, "コーディング", 2}}},
     false,
     {{"80", 1, 2.0}}},
    {"NoTypedDefectsGiveTheCodeStarter",
     ReviewKind::Code,
     {{{{"テスト", std::nullopt, "", 3}}}},
     {},
     true,
     {{"S1", 0, {}},
      {"S2", 0, {}},
      {"S3", 0, {}},
      {"S4", 0, {}},
      {"S5", 0, {}},
      {"S6", 0, {}},
      {"S7", 0, {}},
      {"S8", 0, {}},
      {"S9", 0, {}},
      {"S10", 0, {}},
      {"S11", 0, {}}}},
    // Code defects only: the design review has nothing of its own yet.
    {"DesignStarterWhenOnlyCodeDefects",
     ReviewKind::Design,
     {},
     {{{"テスト", 20, "コーディング", 3}}},
     true,
     {{"S1", 0, {}}, {"S2", 0, {}}, {"S3", 0, {}}, {"S4", 0, {}}, {"S5", 0, {}}}},
    // The latest two comments, latest first; of two at the same moment the later in the history.
    {"LatestTwoComments",
     ReviewKind::Code,
     {{{{"テスト", 20, "コーディング", 1, "古い", 100}, {"テスト", 20, "コーディング", 1, "同時・先", 500}}},
      {{{"テスト", 20, "コーディング", 1, "同時・後", 500}, {"テスト", 20, "コーディング", 1, "", 900}}}},
     {{{"テスト", 20, "コーディング", 1, "中ほど\r\n二行目", 300}}},
     false,
     {{"20", 5, 1.0, {"同時・後", "同時・先"}}}},
};

void PrintTo(const RankingCase& c, std::ostream* os)
{
    *os << c.name;
}

class RankingTest : public ::testing::TestWithParam<RankingCase> {};

TEST_P(RankingTest, Ranks)
{
    const RankingCase& c = GetParam();
    std::vector<ProjectRecord> history;
    for (const Project& p : c.history) {
        history.push_back(Make(p));
    }
    ReviewChecklist list = BuildReviewChecklist(c.kind, history, Make(c.current));
    EXPECT_EQ(list.kind, c.kind);
    EXPECT_EQ(list.starter, c.starter);
    ASSERT_EQ(list.items.size(), c.items.size());
    std::int32_t total = 0;
    for (const Expected& e : c.items) {
        total += e.count;
    }
    EXPECT_EQ(list.defects, total);
    for (std::size_t i = 0; i < c.items.size(); ++i) {
        SCOPED_TRACE(i);
        const ChecklistItem& item = list.items[i];
        const Expected& e = c.items[i];
        EXPECT_EQ(item.key, e.key);
        EXPECT_EQ(item.count, e.count);
        if (c.starter) {
            EXPECT_FALSE(item.title.empty());
            EXPECT_FALSE(item.hint.empty());
            continue;
        }
        EXPECT_EQ(item.title, DefectTypeText(std::stoi(e.key)));
        EXPECT_DOUBLE_EQ(item.share, 100.0 * e.count / total);
        EXPECT_EQ(item.averageFixMinutes, e.averageFix);
        std::vector<std::string> comments;
        for (const char* comment : e.comments) {
            comments.push_back(Utf8ToCp932(comment));
        }
        if (!e.comments.empty()) {
            EXPECT_EQ(item.comments, comments);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ReviewChecklist, RankingTest, ::testing::ValuesIn(RankingCases),
                         [](const ::testing::TestParamInfo<RankingCase>& rankingCase) {
                             return std::string(rankingCase.param.name);
                         });

TEST(ReviewChecklistTest, ProjectsCountTheFinishedHistoryAndTheCurrentOne)
{
    std::vector<ProjectRecord> history = {Make({{}, true}), Make({{}, false}), Make({{}, true})};
    EXPECT_EQ(BuildReviewChecklist(ReviewKind::Code, history, Make({{}, false})).projects, 3);
}

TEST(ReviewChecklistTest, ReviewPhasesNameTheirReview)
{
    EXPECT_EQ(ReviewKindOfPhase(Utf8ToCp932("設計レビュー")), ReviewKind::Design);
    EXPECT_EQ(ReviewKindOfPhase(Utf8ToCp932("コードレビュー")), ReviewKind::Code);
    EXPECT_EQ(ReviewKindOfPhase(Utf8ToCp932("コード")), std::nullopt);
    EXPECT_EQ(ReviewKindOfPhase(Utf8ToCp932("コードレビュー ")), std::nullopt);
    EXPECT_EQ(ReviewPhaseName(ReviewKind::Design), Utf8ToCp932("設計レビュー"));
}

// --- ticks -------------------------------------------------------------------------------------

TEST(ChecklistTicksTest, FileIsCp932WithCrLfOneLinePerTick)
{
    std::vector<ChecklistTick> ticks = {
        {ReviewKind::Code, "20", FormatMoment(1796601600), Utf8ToCp932("20 構文")},
        {ReviewKind::Design, "S3", FormatMoment(1796601660), Utf8ToCp932("特殊\tケース")}};
    const std::string expected = "Quilvane review checklist 1\r\n" + Utf8ToCp932("コードレビュー") +
                                 "\t20\t" + FormatMoment(1796601600) + "\t" + Utf8ToCp932("20 構文") +
                                 "\r\n" + Utf8ToCp932("設計レビュー") + "\tS3\t" + FormatMoment(1796601660) +
                                 "\t" + Utf8ToCp932("特殊 ケース") + "\r\n";
    EXPECT_EQ(FormatTicks(ticks), expected);
    ticks[1].title = Utf8ToCp932("特殊 ケース");
    EXPECT_EQ(ParseTicks(expected), ticks);
}

TEST(ChecklistTicksTest, DamagedLinesAreSkippedAndTheRestKept)
{
    const std::string code = Utf8ToCp932("コードレビュー");
    const std::string text = "Quilvane review checklist 1\n" + code + "\t20\tt\tx\n" + "garbage\n" + code +
                             "\t\tt\tx\n" + Utf8ToCp932("テスト") + "\t30\tt\tx\n" + code + "\t40\tt\n" +
                             code + "\t20\tlater\tdup\r" + code + "\t50\tt\tx";
    std::vector<ChecklistTick> ticks = ParseTicks(text);
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_EQ(ticks[0].key, "20");
    EXPECT_EQ(ticks[0].time, "t");
    EXPECT_EQ(ticks[1].key, "50");
    EXPECT_TRUE(ParseTicks(code + "\t20\tt\tx\r\n").empty()); // no format line
    EXPECT_TRUE(ParseTicks(std::string("\xFF\x00\x81", 3)).empty());
}

TEST(ChecklistTicksTest, TickAndUntick)
{
    std::vector<ChecklistTick> ticks;
    SetTick(ticks, ReviewKind::Code, "20", "a", true, 1796601600);
    SetTick(ticks, ReviewKind::Design, "20", "b", true, 1796601700);
    SetTick(ticks, ReviewKind::Code, "20", "a", true, 1796609999); // already ticked: keeps its time
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_EQ(FindTick(ticks, ReviewKind::Code, "20")->time, FormatMoment(1796601600));
    SetTick(ticks, ReviewKind::Code, "20", "a", false, 1796601800);
    EXPECT_EQ(FindTick(ticks, ReviewKind::Code, "20"), nullptr);
    ASSERT_NE(FindTick(ticks, ReviewKind::Design, "20"), nullptr);
}

TEST(ChecklistTicksTest, HostileFilesReadAsNoTicks)
{
    TempFolder dir;
    const std::string fifo = dir.Path("fifo.psp.checklist");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(ReadTicks(fifo).empty()); // returns at once instead of waiting for a writer
    EXPECT_TRUE(ReadTicks(dir.Path("missing")).empty());
    EXPECT_TRUE(ReadTicks(dir.Root()).empty());
    const std::string big = dir.Path("big.psp.checklist");
    std::string huge = FormatTicks({{ReviewKind::Code, "20", "t", "x"}}) + std::string(300 * 1024, 'x');
    ASSERT_TRUE(WriteFileAtomically(big, huge).Ok());
    EXPECT_TRUE(ReadTicks(big).empty());
}

TEST(ChecklistTicksTest, WriteReadsBackAndAFailedWriteSaysWhy)
{
    TempFolder dir;
    const std::string path = ChecklistPathFor(dir.Path("work.psp"));
    EXPECT_EQ(path, dir.Path("work.psp.checklist"));
    std::vector<ChecklistTick> ticks = {{ReviewKind::Code, "S2", "t", Utf8ToCp932("初期化")}};
    ASSERT_TRUE(WriteTicks(path, ticks).Ok());
    EXPECT_EQ(ReadTicks(path), ticks);
    Status failed = WriteTicks(dir.Path("no such folder/work.psp.checklist"), ticks);
    EXPECT_FALSE(failed.Ok());
    EXPECT_FALSE(failed.Message().empty());
    EXPECT_EQ(ReadTicks(path), ticks);
}

} // namespace

namespace quilvane {
namespace {

class ReviewChecklistScanTest : public StatFolderTest {};

// The open project is counted from its record, never a second time from its saved file.
TEST_F(ReviewChecklistScanTest, TheOpenProjectIsCountedOnce)
{
    ProjectRecord open = Make({{{"テスト", 20, "コーディング", 2}}});
    open.projectName = Utf8ToCp932("課題2");
    Project("課題2", open);
    Project("Prob1", Make({{{"コンパイル", 20, "コーディング", 4}}}));
    Project("Prob0", Make({{{"コンパイル", 20, "コーディング", 4}}, false}));
    ReviewChecklist list = LoadReviewChecklist(ReviewKind::Code, open, open.projectName);
    EXPECT_EQ(list.projects, 2);
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].count, 2);
    EXPECT_EQ(list.items[0].averageFixMinutes, 3.0);
}

} // namespace
} // namespace quilvane
