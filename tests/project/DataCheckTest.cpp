// Every rule of the data check on a project built to break it, and on its clean counterpart.
#include <gtest/gtest.h>

#include <functional>

#include "platform/Cp932.h"
#include "project/DataCheck.h"
#include "project/DefectDetails.h"

using namespace quilvane;

namespace {

std::string S(const char* utf8)
{
    return Utf8ToCp932(utf8);
}

constexpr std::int32_t T0 = 1796585780;
constexpr std::int32_t Minute = 60;

// A finished project whose data hold together: every phase has its time, one defect injected in
// コーディング and found in テスト, a plan, measured results and a phase table that matches.
ProjectRecord CleanProject()
{
    ProjectRecord p;
    p.projectName = "Prob1";
    const char* phases[] = {"計画", "設計", "コーディング", "コンパイル", "テスト", "事後分析"};
    std::int32_t at = T0;
    for (const char* phase : phases) {
        p.phases.push_back({S(phase), 30, 20, 0});
        p.timeLog.entries.push_back({S(phase), Moment(at), Moment(at + 20 * Minute)});
        at += 30 * Minute;
    }
    DefectDetails details;
    details.type = 20;
    details.injected = S("コーディング");
    details.fixMinutes = 5;
    details.comment = "off by one";
    p.defectLog.entries.push_back({S("テスト"), ComposeDefectComment(details), Moment(T0 + 125 * Minute)});
    p.result.actualNew = 120;
    return p;
}

// The phase table as the workbench recomputes it from the time log.
void MatchTableToLog(ProjectRecord& p)
{
    PhaseSeconds sums;
    p.timeLog.SumByPhase(sums);
    for (PhaseRecord& phase : p.phases) {
        phase.actual = SecondsToMinutes(sums[phase.name]);
    }
}

void SetDefect(ProjectRecord& p, const char* found, const char* injected, std::int32_t fixMinutes)
{
    DefectDetails details = DetailsOf(p.defectLog.entries[0]);
    details.injected = S(injected);
    details.fixMinutes = fixMinutes;
    p.defectLog.entries[0].phase = S(found);
    p.defectLog.entries[0].comment = ComposeDefectComment(details);
}

TEST(DataCheck, EveryRuleFindsItsCaseAndNothingInTheCleanProject)
{
    struct Case {
        const char* code;
        std::function<void(ProjectRecord&)> breakIt;
        CheckedEntry entry;
    };
    const Case cases[] = {
        {"injected-after-found",
         [](ProjectRecord& p) { SetDefect(p, "コーディング", "テスト", 5); },
         {CheckedLog::Defect, 0}},
        {"found-without-time",
         [](ProjectRecord& p) {
             p.timeLog.entries.erase(p.timeLog.entries.begin() + 4); // テスト
         },
         {CheckedLog::Defect, 0}},
        {"ends-before-start",
         [](ProjectRecord& p) { p.timeLog.entries[1].end = Moment(T0); },
         {CheckedLog::Time, 1}},
        {"overlapping-entries",
         [](ProjectRecord& p) {
             // A second テスト interval inside the first one, logged later.
             p.timeLog.entries.push_back({S("テスト"), Moment(T0 + 125 * Minute), Moment(T0 + 126 * Minute)});
         },
         {CheckedLog::Time, 6}},
        {"longer-than-limit",
         [](ProjectRecord& p) { p.timeLog.entries[0].start = Moment(T0 - 161 * Minute); },
         {CheckedLog::Time, 0}},
        {"fix-longer-than-phase",
         [](ProjectRecord& p) { SetDefect(p, "テスト", "コーディング", 21); },
         {CheckedLog::Defect, 0}},
        {"work-after-postmortem",
         [](ProjectRecord& p) {
             p.timeLog.entries.push_back({S("テスト"), Moment(T0 + 200 * Minute), Moment(T0 + 201 * Minute)});
         },
         {CheckedLog::Time, 6}},
        {"no-plan",
         [](ProjectRecord& p) {
             for (auto& phase : p.phases) {
                 phase.plan = 0;
             }
         },
         {}},
        {"not-measured", [](ProjectRecord& p) { p.result.actualNew = 0; }, {}},
        {"table-disagrees", [](ProjectRecord& p) { p.phases[2].actual = 22; }, {}},
    };
    EXPECT_TRUE(CheckProjectData(CleanProject(), 180).empty());
    ASSERT_EQ(std::size(cases), DataCheckRules().size());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ProjectRecord p = CleanProject();
        c.breakIt(p);
        if (std::string_view(c.code) != "table-disagrees") {
            MatchTableToLog(p);
        }
        const auto findings = CheckProjectData(p, 180);
        ASSERT_EQ(findings.size(), 1u)
            << (findings.empty() ? "" : findings[0].code + " " + findings[0].message);
        EXPECT_EQ(findings[0].code, c.code);
        EXPECT_EQ(findings[0].entry, c.entry);
        EXPECT_FALSE(findings[0].message.empty());
        EXPECT_FALSE(findings[0].hint.empty());
    }
}

TEST(DataCheck, BordersAndUnknownsRaiseNothing)
{
    const struct {
        const char* what;
        std::function<void(ProjectRecord&)> change;
    } cases[] = {
        {"an interval of exactly the limit",
         [](ProjectRecord& p) { p.timeLog.entries[0].start = Moment(T0 - 160 * Minute); }},
        {"intervals that only touch",
         [](ProjectRecord& p) { p.timeLog.entries[1].start = p.timeLog.entries[0].end; }},
        {"an injected phase the table does not know",
         [](ProjectRecord& p) { SetDefect(p, "テスト", "要求", 5); }},
        {"a fix as long as the phase", [](ProjectRecord& p) { SetDefect(p, "テスト", "コーディング", 20); }},
        {"a table one minute off", [](ProjectRecord& p) { p.phases[2].actual = 21; }},
        {"no plan before the postmortem",
         [](ProjectRecord& p) {
             p.timeLog.entries.pop_back();
             for (auto& phase : p.phases) {
                 phase.plan = 0;
             }
             p.result.actualNew = 0;
         }},
        {"a defect without details", [](ProjectRecord& p) { p.defectLog.entries[0].comment = "just text"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectRecord p = CleanProject();
        c.change(p);
        if (std::string_view(c.what) != "a table one minute off") {
            MatchTableToLog(p);
        }
        const auto findings = CheckProjectData(p, 180);
        EXPECT_TRUE(findings.empty()) << (findings.empty() ? "" : findings[0].code);
    }
}

} // namespace
