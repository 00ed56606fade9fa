#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/Cp932.h"
#include "project/DefectDetails.h"
#include "statistics/QualityMeasures.h"
#include "statistics/QualitySheet.h"

using namespace quilvane;

namespace {

struct PhaseSpec {
    const char* name; // UTF-8
    std::int32_t actual;
};

struct DefectSpec {
    const char* removed;                 // UTF-8
    std::optional<const char*> injected; // UTF-8; nullopt: unknown
    std::optional<std::int32_t> fixMinutes = std::nullopt;
};

// The phases of the tests: 180 minutes, 30 of them in the reviews and 60 in compile and test.
const std::vector<PhaseSpec> Standard = {
    {"計画", 10},           {"設計", 30},      {"設計レビュー", 10}, {"コード", 40},
    {"コードレビュー", 20}, {"コンパイル", 5}, {"テスト", 55},       {"事後", 10}};

struct ProjectSpec {
    std::vector<PhaseSpec> phases = Standard;
    std::vector<DefectSpec> defects;
    std::int32_t newLoc = 0;
    std::int32_t plannedMinutes = 0;
    std::int32_t plannedNewLoc = 0;
    const char* range = ""; // as the estimate stores it, UTF-8
};

ProjectRecord Make(const ProjectSpec& spec)
{
    ProjectRecord p;
    for (const PhaseSpec& phase : spec.phases) {
        p.phases.push_back({Utf8ToCp932(phase.name), 0, phase.actual, 0});
    }
    for (const DefectSpec& d : spec.defects) {
        DefectDetails details;
        if (d.injected) {
            details.injected = Utf8ToCp932(*d.injected);
        }
        details.fixMinutes = d.fixMinutes;
        details.comment = "c";
        p.defectLog.entries.push_back({Utf8ToCp932(d.removed), ComposeDefectComment(details), Moment(1)});
    }
    p.result.actualNew = spec.newLoc;
    p.estimate.totalMinutes = spec.plannedMinutes;
    p.estimate.newLoc = spec.plannedNewLoc;
    p.estimate.rangeText = Utf8ToCp932(spec.range);
    return p;
}

struct MeasureCase {
    const char* what;
    ProjectSpec project;
    QualityMeasure measure;
    std::optional<double> value;
    NullReason reason;
};

const std::vector<PhaseSpec> NoCompile = {
    {"設計", 30}, {"コード", 40}, {"コードレビュー", 10}, {"テスト", 20}};
const std::vector<PhaseSpec> NoFailurePhases = {{"設計", 30}, {"設計レビュー", 10}, {"コード", 40}};
const std::vector<PhaseSpec> Idle = {{"設計", 0}, {"コンパイル", 0}, {"テスト", 0}};

const MeasureCase MeasureCases[] = {
    {"yield over the defects injected before compile",
     {Standard,
      {{"設計レビュー", "設計"},
       {"コードレビュー", "コード"},
       {"テスト", "コード"},
       {"コンパイル", "設計"},
       {"テスト", "テスト"}}},
     QualityMeasure::Yield,
     50.0,
     NullReason::None},
    {"unknown and foreign injected phases are left out of the yield",
     {Standard, {{"コードレビュー", std::nullopt}, {"テスト", "幻"}, {"コードレビュー", "コード"}}},
     QualityMeasure::Yield,
     100.0,
     NullReason::None},
    {"a defect recorded outside the table was not found before compile",
     {Standard, {{"ニュートラル", "設計"}, {"設計レビュー", "設計"}}},
     QualityMeasure::Yield,
     50.0,
     NullReason::None},
    {"without コンパイル the boundary is テスト",
     {NoCompile, {{"コードレビュー", "コード"}, {"テスト", "コード"}, {"テスト", "テスト"}}},
     QualityMeasure::Yield,
     50.0,
     NullReason::None},
    {"no yield without compile or test",
     {NoFailurePhases, {{"設計レビュー", "設計"}}},
     QualityMeasure::Yield,
     std::nullopt,
     NullReason::NoCompilePhase},
    {"no yield without defects", {}, QualityMeasure::Yield, std::nullopt, NullReason::NoDefects},
    {"no yield when no injected phase is known",
     {Standard, {{"テスト", std::nullopt}, {"テスト", "幻"}}},
     QualityMeasure::Yield,
     std::nullopt,
     NullReason::NoInjectedPhase},
    {"no yield when nothing was injected before compile",
     {Standard, {{"テスト", "テスト"}}},
     QualityMeasure::Yield,
     std::nullopt,
     NullReason::ZeroDivisor},

    {"A/FR is review time over compile and test time", {}, QualityMeasure::Afr, 0.5, NullReason::None},
    {"A/FR with テスト alone as failure time", {NoCompile, {}}, QualityMeasure::Afr, 0.5, NullReason::None},
    {"A/FR without reviews is 0",
     {{{"コード", 30}, {"テスト", 30}}, {}},
     QualityMeasure::Afr,
     0.0,
     NullReason::None},
    {"A/FR with idle compile and test",
     {Idle, {}},
     QualityMeasure::Afr,
     std::nullopt,
     NullReason::ZeroDivisor},
    {"A/FR without compile and test",
     {NoFailurePhases, {}},
     QualityMeasure::Afr,
     std::nullopt,
     NullReason::NoCompilePhase},

    {"defects per KLOC count every defect",
     {Standard, {{"テスト", "コード"}, {"テスト", std::nullopt}, {"x", "y"}}, 200},
     QualityMeasure::DefectsPerKloc,
     15.0,
     NullReason::None},
    {"no defect density without new LOC",
     {Standard, {{"テスト", "コード"}}, 0},
     QualityMeasure::DefectsPerKloc,
     std::nullopt,
     NullReason::ZeroDivisor},
    {"no defects is a density of 0",
     {Standard, {}, 100},
     QualityMeasure::DefectsPerKloc,
     0.0,
     NullReason::None},

    {"LOC per hour over the actual total",
     {Standard, {}, 300},
     QualityMeasure::LocPerHour,
     100.0,
     NullReason::None},
    {"no LOC per hour without minutes",
     {Idle, {}, 300},
     QualityMeasure::LocPerHour,
     std::nullopt,
     NullReason::ZeroDivisor},

    {"time error against the planned total",
     {Standard, {}, 0, 150},
     QualityMeasure::TimeErrorPercent,
     20.0,
     NullReason::None},
    {"no time error without a plan",
     {Standard, {}, 100, 0, 120, "10.00"},
     QualityMeasure::TimeErrorPercent,
     std::nullopt,
     NullReason::NoPlan},
    {"size error against the planned new LOC",
     {Standard, {}, 200, 0, 250},
     QualityMeasure::SizeErrorPercent,
     -20.0,
     NullReason::None},
    {"no size error without planned new LOC",
     {Standard, {}, 200, 150, 0},
     QualityMeasure::SizeErrorPercent,
     std::nullopt,
     NullReason::NoPlan},

    {"inside the range, its edge included",
     {Standard, {}, 0, 150, 0, "30.00"},
     QualityMeasure::WithinRange,
     100.0,
     NullReason::None},
    {"outside the range",
     {Standard, {}, 0, 150, 0, "29.99"},
     QualityMeasure::WithinRange,
     0.0,
     NullReason::None},
    {"below the range",
     {Standard, {}, 0, 250, 0, "50.00"},
     QualityMeasure::WithinRange,
     0.0,
     NullReason::None},
    {"an infinite range bounds nothing",
     {Standard, {}, 0, 150, 0, "∞"},
     QualityMeasure::WithinRange,
     std::nullopt,
     NullReason::NoPlan},
    {"no range predicted",
     {Standard, {}, 0, 150, 0, ""},
     QualityMeasure::WithinRange,
     std::nullopt,
     NullReason::NoPlan},
    {"a range without a planned total",
     {Standard, {}, 0, 0, 0, "40.00"},
     QualityMeasure::WithinRange,
     std::nullopt,
     NullReason::NoPlan},
};

} // namespace

TEST(QualityMeasures, EveryMeasureOfOneProjectWithItsNullReason)
{
    for (const MeasureCase& c : MeasureCases) {
        SCOPED_TRACE(c.what);
        const QualityMeasures m = ComputeProjectQuality(Make(c.project));
        const QualityValue& v = m[c.measure];
        EXPECT_EQ(v.reason, c.reason);
        ASSERT_EQ(v.value.has_value(), c.value.has_value());
        if (c.value) {
            EXPECT_NEAR(*v.value, *c.value, 1e-9);
        }
    }
}

TEST(QualityMeasures, TheTableListsEachMeasureOnceInOrderWithAnExplanation)
{
    const auto& table = QualityMeasureTable();
    const char* keys[] = {
        "yield",      "afr", "defectsPerKloc", "locPerHour", "timeErrorPercent", "sizeErrorPercent",
        "withinRange"};
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(table[i].measure), i);
        EXPECT_STREQ(table[i].key, keys[i]);
        EXPECT_NE(std::string(table[i].formula), "");
    }
    for (NullReason r : {NullReason::NoCompilePhase, NullReason::NoPlan, NullReason::NoDefects,
                         NullReason::NoInjectedPhase, NullReason::ZeroDivisor}) {
        EXPECT_NE(std::string(NullReasonText(r)), "");
        EXPECT_NE(std::string(NullReasonKey(r)), "");
    }
}

TEST(QualityMeasures, PhasesCountInjectedAndRemovedDefectsWithTheirRates)
{
    ProjectSpec spec;
    spec.phases = {{"設計", 30},          {"設計レビュー", 15}, {"コード", 60},
                   {"コードレビュー", 0}, {"テスト", 20},       {"設計", 99}};
    spec.defects = {{"設計レビュー", "設計", 4},
                    {"設計レビュー", "設計", std::nullopt},
                    {"テスト", "コード", 10},
                    {"テスト", std::nullopt, 2},
                    {"外", "コード", 7}};
    spec.newLoc = 90;
    const QualityMeasures m = ComputeProjectQuality(Make(spec));
    // The repeated 設計 row counts once as a phase, but its minutes stay in the total.
    EXPECT_EQ(m.totals.minutes, 224);
    ASSERT_EQ(m.phases.size(), 5u);
    struct Row {
        const char* name;
        std::int64_t minutes, injected, removed, fix;
        std::optional<double> removalRate, injectionRate;
        bool review;
        std::optional<double> reviewRate;
    };
    const Row rows[] = {
        {"設計", 30, 2, 0, 0, 0.0, 4.0, false, std::nullopt},
        {"設計レビュー", 15, 0, 2, 4, 8.0, 0.0, true, 360.0},
        {"コード", 60, 2, 0, 0, 0.0, 2.0, false, std::nullopt},
        {"コードレビュー", 0, 0, 0, 0, std::nullopt, std::nullopt, true, std::nullopt},
        {"テスト", 20, 0, 2, 12, 6.0, 0.0, false, std::nullopt},
    };
    for (std::size_t i = 0; i < m.phases.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        const PhaseQuality& p = m.phases[i];
        EXPECT_EQ(p.totals.name, Utf8ToCp932(rows[i].name));
        EXPECT_EQ(p.totals.minutes, rows[i].minutes);
        EXPECT_EQ(p.totals.injected, rows[i].injected);
        EXPECT_EQ(p.totals.removed, rows[i].removed);
        EXPECT_EQ(p.totals.fixMinutes, rows[i].fix);
        EXPECT_EQ(p.removalRate.value, rows[i].removalRate);
        EXPECT_EQ(p.injectionRate.value, rows[i].injectionRate);
        EXPECT_EQ(p.totals.review, rows[i].review);
        ASSERT_EQ(p.reviewRate.has_value(), rows[i].review);
        if (p.reviewRate) {
            EXPECT_EQ(p.reviewRate->value, rows[i].reviewRate);
            EXPECT_EQ(p.reviewRate->reason, rows[i].reviewRate ? NullReason::None : NullReason::ZeroDivisor);
        }
    }
    EXPECT_EQ(m.phases[3].removalRate.reason, NullReason::ZeroDivisor);
    EXPECT_EQ(m.totals.defects, 5);
    EXPECT_EQ(m.totals.unknownInjected, 1);
    // Without コンパイル, テスト is the boundary: 設計 twice and コード twice injected before it, the
    // two design defects found in review before it.
    EXPECT_EQ(m.totals.injectedBeforeCompile, 4);
    EXPECT_EQ(m.totals.foundBeforeCompile, 2);
}

TEST(QualityMeasures, ReviewRatesToDateCountOnlyTheLinesReviewed)
{
    ProjectSpec reviewed;
    reviewed.phases = {{"設計レビュー", 10}, {"テスト", 10}};
    reviewed.newLoc = 100;
    ProjectSpec skipped;
    skipped.phases = {{"設計レビュー", 0}, {"テスト", 50}};
    skipped.newLoc = 500;
    QualityTotals sum = TotalsOf(Make(reviewed));
    sum.Add(TotalsOf(Make(skipped)));
    const QualityMeasures m = ComputeQuality(sum);
    ASSERT_TRUE(m.phases[0].reviewRate.has_value());
    EXPECT_EQ(m.phases[0].reviewRate->value, 600.0);
    // Productivity still counts every line over every minute.
    EXPECT_EQ(m[QualityMeasure::LocPerHour].value, 60.0 * 600 / 70);
}

TEST(QualityMeasures, ToDateSumsTotalsBeforeTakingRatios)
{
    // A: yield 100, 60 LOC/h, time error +100 %, inside its range.
    ProjectSpec a;
    a.phases = {{"設計", 20}, {"コード", 30}, {"コンパイル", 10}};
    a.defects = {{"コード", "設計"}};
    a.newLoc = 60;
    a.plannedMinutes = 30;
    a.range = "40.00";
    // B: yield 0, 10 LOC/h, time error -10 %, outside its range; a phase A does not have.
    ProjectSpec b;
    b.phases = {{"設計", 100}, {"コード", 200}, {"コンパイル", 40}, {"テスト", 200}};
    for (int i = 0; i < 9; ++i) {
        b.defects.push_back({"テスト", "コード"});
    }
    b.newLoc = 90;
    b.plannedMinutes = 600;
    b.range = "5.00";
    // C: unplanned, with no compile phase: it adds time and size, but no plan and no yield.
    ProjectSpec c;
    c.phases = {{"設計", 60}};
    c.defects = {{"設計", "設計"}};
    c.newLoc = 30;
    // D: not finished, so not part of the history.
    ProjectSpec d;
    d.phases = {{"設計", 0}};
    d.newLoc = 1000;
    d.defects = {{"設計", "設計"}};

    const QualityHistory h =
        ComputeQualityHistory({{"b", Make(b)}, {"D", Make(d)}, {"C", Make(c)}, {"A", Make(a)}});
    ASSERT_EQ(h.projects.size(), 3u);
    // The statistics list's order: by bytes, capitals first.
    EXPECT_EQ(h.projects[0].project, "A");
    EXPECT_EQ(h.projects[1].project, "C");
    EXPECT_EQ(h.projects[2].project, "b");
    EXPECT_EQ(h.projects[0].measures[QualityMeasure::Yield].value, 100.0);
    EXPECT_EQ(h.projects[2].measures[QualityMeasure::Yield].value, 0.0);

    const QualityMeasures& t = h.toDate;
    EXPECT_EQ(t.totals.projects, 3);
    struct Expect {
        QualityMeasure measure;
        double toDate;       // the ratio of the sums
        double meanOfRatios; // what averaging the projects would have given
    };
    const Expect expected[] = {
        {QualityMeasure::Yield, 100.0 * 1 / 10, 50.0},
        {QualityMeasure::LocPerHour, 60.0 * 180 / 660, (60.0 + 10 + 30) / 3},
        {QualityMeasure::DefectsPerKloc, 1000.0 * 11 / 180, (1000.0 / 60 + 100 + 1000.0 / 30) / 3},
        {QualityMeasure::TimeErrorPercent, 100.0 * (600 - 630) / 630, (100.0 - 10) / 2},
        {QualityMeasure::Afr, 0.0 / 250, 0.0},
        {QualityMeasure::WithinRange, 50.0, 50.0},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(QualityMeasureTable()[static_cast<std::size_t>(e.measure)].key);
        ASSERT_TRUE(t[e.measure].value.has_value());
        EXPECT_NEAR(*t[e.measure].value, e.toDate, 1e-9);
        if (e.toDate != e.meanOfRatios) {
            EXPECT_GT(std::abs(*t[e.measure].value - e.meanOfRatios), 1.0);
        }
    }
    EXPECT_EQ(t[QualityMeasure::SizeErrorPercent].reason, NullReason::NoPlan);

    // Phases by name in the order they first appear; rates over the summed minutes.
    ASSERT_EQ(t.phases.size(), 4u);
    EXPECT_EQ(t.phases[0].totals.name, Utf8ToCp932("設計"));
    EXPECT_EQ(t.phases[0].totals.minutes, 180);
    EXPECT_EQ(t.phases[0].totals.injected, 2);
    EXPECT_EQ(t.phases[0].totals.removed, 1);
    EXPECT_NEAR(*t.phases[0].injectionRate.value, 60.0 * 2 / 180, 1e-9);
    EXPECT_EQ(t.phases[3].totals.name, Utf8ToCp932("テスト"));
    EXPECT_EQ(t.phases[3].totals.removed, 9);
    EXPECT_NEAR(*t.phases[3].removalRate.value, 60.0 * 9 / 200, 1e-9);
}

TEST(QualityMeasures, TheOpenProjectJoinsTheFiguresToDateOnceFinished)
{
    ProjectSpec past;
    past.defects = {{"テスト", "コード"}, {"コードレビュー", "コード"}};
    past.newLoc = 100;
    ProjectSpec open = past;
    open.defects.push_back({"設計レビュー", "設計"});
    open.newLoc = 50;
    const QualityHistory history = ComputeQualityHistory({{"past", Make(past)}});
    const QualityMeasures joined = ToDateWith(history, Make(open));
    const QualityHistory both = ComputeQualityHistory({{"past", Make(past)}, {"open", Make(open)}});
    EXPECT_EQ(joined.totals, both.toDate.totals);
    EXPECT_EQ(joined.values, both.toDate.values);
    EXPECT_NEAR(*joined[QualityMeasure::Yield].value, 100.0 * 3 / 5, 1e-9);

    open.phases = {{"設計", 0}};
    EXPECT_EQ(ToDateWith(history, Make(open)).totals, history.toDate.totals);
}

TEST(QualityMeasures, AnEmptyHistoryHasOnlyNullsToDate)
{
    const QualityHistory h = ComputeQualityHistory({});
    EXPECT_TRUE(h.projects.empty());
    EXPECT_EQ(h.toDate.totals.projects, 0);
    const NullReason reasons[] = {NullReason::NoCompilePhase, NullReason::NoCompilePhase,
                                  NullReason::ZeroDivisor,    NullReason::ZeroDivisor,
                                  NullReason::NoPlan,         NullReason::NoPlan,
                                  NullReason::NoPlan};
    for (std::size_t i = 0; i < QualityMeasureCount; ++i) {
        EXPECT_FALSE(h.toDate.values[i].value.has_value());
        EXPECT_EQ(h.toDate.values[i].reason, reasons[i]);
    }
}

// The 品質 view's cells: what a figure shows, and what its tooltip says, for this project and to
// date side by side.
TEST(QualitySheet, MeasureCellsShowFiguresSharesAndReasonsBesideTheDash)
{
    ProjectSpec done;
    done.defects = {{"テスト", "コード"}, {"コードレビュー", "コード"}};
    done.newLoc = 100;
    done.plannedMinutes = 150;
    done.range = "20";
    ProjectSpec open; // nothing planned, no defects yet
    open.newLoc = 40;
    const QualityHistory history = ComputeQualityHistory({{"done", Make(done)}});
    const QualitySheet sheet =
        MakeQualitySheet(ComputeProjectQuality(Make(open)), ToDateWith(history, Make(open)));
    ASSERT_EQ(sheet.measureHeader, (std::vector<std::string>{"指標", "このプロジェクト", "累計 (2 件)"}));
    ASSERT_EQ(sheet.measures.size(), QualityMeasureCount);
    struct Row {
        QualityMeasure measure;
        const char* mine;
        const char* toDate;
    };
    const Row rows[] = {
        {QualityMeasure::Yield, "— 欠陥の記録がありません", "50.0"},
        {QualityMeasure::Afr, "0.50", "0.50"},
        {QualityMeasure::TimeErrorPercent, "— 計画がありません", "20.0"},
        {QualityMeasure::WithinRange, "— 計画がありません", "0%"},
    };
    for (const Row& row : rows) {
        const auto& cells = sheet.measures[static_cast<std::size_t>(row.measure)];
        const QualityMeasureInfo& info = QualityMeasureTable()[static_cast<std::size_t>(row.measure)];
        EXPECT_EQ(cells[0].text, info.caption);
        EXPECT_EQ(cells[1].text, row.mine) << info.key;
        EXPECT_EQ(cells[2].text, row.toDate) << info.key;
        // The tooltip starts with the formula, and a null figure's gives its reason as well.
        EXPECT_EQ(cells[2].tip.rfind(info.formula, 0), 0u) << info.key;
        EXPECT_EQ(cells[1].tip.find("—: ") != std::string::npos, !cells[1].text.compare(0, 3, "—"))
            << info.key;
    }
    // One finished project inside its range says yes.
    const QualityMeasures alone = ComputeProjectQuality(Make(done));
    EXPECT_EQ(MakeQualitySheet(alone, alone).measures[6][1].text, "いいえ");
    done.plannedMinutes = 175;
    const QualityMeasures inside = ComputeProjectQuality(Make(done));
    EXPECT_EQ(MakeQualitySheet(inside, inside).measures[6][1].text, "はい");
    EXPECT_EQ(MakeQualitySheet(inside, inside).measures[6][2].text, "100%");

    // The printed page has the project alone: a null figure is the dash, its reason under the
    // formula; each phase row has the phase and one cell per group.
    const ProjectQualityPage page = MakeProjectQualityPage(ComputeProjectQuality(Make(open)));
    ASSERT_EQ(page.measures.size(), QualityMeasureCount);
    EXPECT_EQ(page.measures[0][1].text, "—");
    EXPECT_NE(page.measures[0][2].text.find("欠陥の記録がありません"), std::string::npos);
    EXPECT_EQ(page.measures[1][1].text, "0.50");
    ASSERT_FALSE(page.phases.empty());
    EXPECT_EQ(page.phases.front().size(), page.phaseGroups.size());
}

TEST(QualitySheet, PhaseRowsPairThisProjectWithTheHistoryByName)
{
    ProjectSpec past;
    past.phases = {{"設計", 30}, {"コードレビュー", 20}, {"コンパイル", 10}, {"事後", 5}};
    past.defects = {{"コードレビュー", "設計"}, {"コンパイル", "設計"}};
    past.newLoc = 60;
    ProjectSpec open;
    open.phases = {{"コード", 40}, {"設計", 0}};
    open.defects = {{"コード", std::nullopt}};
    const QualitySheet sheet = MakeQualitySheet(ComputeProjectQuality(Make(open)),
                                                ComputeQualityHistory({{"past", Make(past)}}).toDate);
    ASSERT_EQ(sheet.phaseGroups.size() * 2 - 1, sheet.phaseSubHeader.size());
    std::vector<std::string> names;
    for (const auto& row : sheet.phases) {
        ASSERT_EQ(row.size(), sheet.phaseSubHeader.size());
        names.push_back(row[0].text);
    }
    // The project's phases in its order, then those only the history has.
    EXPECT_EQ(names, (std::vector<std::string>{"コード", "設計", "コードレビュー", "コンパイル", "事後"}));
    const auto& design = sheet.phases[1];
    EXPECT_EQ(design[1].text, "0");
    EXPECT_EQ(design[2].text, "30");
    EXPECT_EQ(design[3].text, "0");
    EXPECT_EQ(design[4].text, "2");
    EXPECT_EQ(design[7].text, "—"); // removals per hour at 0 minutes
    EXPECT_NE(design[7].tip.find("割る数が 0 です"), std::string::npos);
    EXPECT_EQ(design[10].text, "4.00");
    EXPECT_EQ(design[11].text, ""); // not a review phase
    const auto& review = sheet.phases[2];
    EXPECT_EQ(review[1].text, ""); // this project has no such phase
    EXPECT_EQ(review[12].text, "180.0");
    EXPECT_EQ(sheet.notes, (std::vector<std::string>{"混入工程が不明の欠陥 1 件は歩留まりから除いています"}));
}
