#include "statistics/ReviewChecklist.h"

#include <algorithm>
#include <map>

#include "platform/Cp932.h"
#include "project/DefectDetails.h"
#include "statistics/ProjectScan.h"
#include "statistics/QualityMeasures.h"

namespace quilvane {
namespace {

const std::string DesignPhase = "\x90\xDD\x8C\x76";                                 // 設計
const std::string CodingPhase = "\x83\x52\x81\x5B\x83\x66\x83\x42\x83\x93\x83\x4F"; // コーディング

struct StarterEntry {
    const char* title; // UTF-8
    const char* hint;  // UTF-8
};

// The PSP's standard design review items.
const std::vector<StarterEntry> DesignStarter = {
    {"完全性", "要求のすべてが設計にあるか。出力、入力、処理のどれかが抜けていないか"},
    {"論理", "処理の順序、ループの始まりと終わり、条件の分かれ目が正しいか"},
    {"特殊ケース", "空、0、最大値、誤った入力のときにどう動くか決めてあるか"},
    {"機能の利用", "使うクラスやメソッドが何をするか確かめてあるか"},
    {"名前と型", "名前と型が設計の中で一貫しているか"},
};

// The PSP's standard code review items, written for C# and Visual Basic.
const std::vector<StarterEntry> CodeStarter = {
    {"完全性", "設計のすべての機能がコードにあるか"},
    {"初期化", "変数やフィールドを使う前に値を入れているか(VB の既定値 Nothing や 0 に頼らない)"},
    {"呼び出し", "引数の数、型、順序。ref/out と ByRef/ByVal の使い分け"},
    {"名前", "名前のつづりと大文字小文字、宣言の有効範囲"},
    {"null 参照", "null や Nothing を参照する前に確かめているか"},
    {"境界とループ", "配列の添え字の範囲、for や For...Next の上限(1 つずれ)、ループが必ず終わるか"},
    {"ブロックの対応", "{ } の対応、If...End If や Sub...End Sub の対応"},
    {"論理演算子", "== と =、&& と &、AndAlso と OrElse、! と Not の使い分け"},
    {"文字列と書式", "書式指定、文字列の比較と連結"},
    {"ファイルと例外", "using や Dispose、Close。try/catch/finally で後始末しているか"},
    {"標準", "コーディング標準に従っているか"},
};

struct Counted {
    int type = 0;
    std::int32_t count = 0;
    std::int64_t fixMinutes = 0;
    std::int32_t timedFixes = 0;
    // (time, order in the history) of each non-empty comment; the largest are the latest.
    std::vector<std::pair<std::pair<std::int32_t, std::int64_t>, std::string>> comments;
};

bool FoundWhereItCosts(const std::string& phase)
{
    return phase == CompilePhase || phase == TestPhase;
}

void CountProject(const ProjectRecord& project, const std::string& injectedIn, std::map<int, Counted>& counts,
                  std::int64_t& order)
{
    for (const DefectEntry& entry : project.defectLog.entries) {
        ++order;
        if (!FoundWhereItCosts(entry.phase)) {
            continue;
        }
        DefectDetails details = DetailsOf(entry);
        if (!details.type || details.injected != injectedIn) {
            continue;
        }
        Counted& counted = counts[*details.type];
        counted.type = *details.type;
        ++counted.count;
        if (details.fixMinutes) {
            counted.fixMinutes += *details.fixMinutes;
            ++counted.timedFixes;
        }
        if (!details.comment.empty()) {
            counted.comments.push_back({{entry.time.Seconds(), order}, details.comment});
        }
    }
}

ChecklistItem ItemOf(Counted& counted, std::int32_t total)
{
    ChecklistItem item;
    item.key = std::to_string(counted.type);
    item.title = DefectTypeText(counted.type);
    item.count = counted.count;
    item.share = total > 0 ? 100.0 * counted.count / total : 0.0;
    if (counted.timedFixes > 0) {
        item.averageFixMinutes = static_cast<double>(counted.fixMinutes) / counted.timedFixes;
    }
    std::sort(counted.comments.begin(), counted.comments.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = 0; i < counted.comments.size() && i < 2; ++i) {
        item.comments.push_back(counted.comments[i].second);
    }
    return item;
}

std::vector<ChecklistItem> StarterItems(ReviewKind kind)
{
    std::vector<ChecklistItem> items;
    const auto& entries = kind == ReviewKind::Design ? DesignStarter : CodeStarter;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ChecklistItem item;
        // Appended rather than "S" + ...: GCC 12 warns falsely (-Wrestrict) on that form.
        item.key = "S";
        item.key += std::to_string(i + 1);
        item.title = Utf8ToCp932(entries[i].title);
        item.hint = Utf8ToCp932(entries[i].hint);
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace

std::optional<ReviewKind> ReviewKindOfPhase(const std::string& phase)
{
    if (phase == DesignReviewPhase) {
        return ReviewKind::Design;
    }
    if (phase == CodeReviewPhase) {
        return ReviewKind::Code;
    }
    return std::nullopt;
}

const std::string& ReviewPhaseName(ReviewKind kind)
{
    return kind == ReviewKind::Design ? DesignReviewPhase : CodeReviewPhase;
}

ReviewChecklist BuildReviewChecklist(ReviewKind kind, const std::vector<ProjectRecord>& history,
                                     const ProjectRecord& current)
{
    ReviewChecklist list;
    list.kind = kind;
    const std::string& injectedIn = kind == ReviewKind::Design ? DesignPhase : CodingPhase;
    std::map<int, Counted> counts;
    std::int64_t order = 0;
    for (const ProjectRecord& project : history) {
        if (!IsFinishedProject(project)) {
            continue;
        }
        ++list.projects;
        CountProject(project, injectedIn, counts, order);
    }
    ++list.projects;
    CountProject(current, injectedIn, counts, order);

    std::vector<Counted*> ranked;
    for (auto& [type, counted] : counts) {
        list.defects += counted.count;
        ranked.push_back(&counted);
    }
    std::sort(ranked.begin(), ranked.end(), [](const Counted* a, const Counted* b) {
        if (a->count != b->count) {
            return a->count > b->count;
        }
        if (a->fixMinutes != b->fixMinutes) {
            return a->fixMinutes > b->fixMinutes;
        }
        return a->type < b->type;
    });
    for (Counted* counted : ranked) {
        list.items.push_back(ItemOf(*counted, list.defects));
    }
    if (list.items.empty()) {
        list.starter = true;
        list.items = StarterItems(kind);
    }
    return list;
}

ReviewChecklist LoadReviewChecklist(ReviewKind kind, const ProjectRecord& current,
                                    const std::string& excludedName)
{
    std::vector<ProjectRecord> history;
    ForEachScannedProject(excludedName, [&history](const std::string&, const ProjectRecord& project) {
        if (IsFinishedProject(project)) {
            history.push_back(project);
        }
    });
    return BuildReviewChecklist(kind, history, current);
}

const char* StarterNote()
{
    return "まだ種別つきの欠陥の記録がないため、PSP の標準の項目を示します。"
           "コンパイルとテストで見つけた欠陥に種別と混入工程を記録すると、"
           "このリストはあなたの欠陥に合わせて変わります。";
}

} // namespace quilvane
