#include "statistics/ChecklistTicks.h"

#include <algorithm>

#include "platform/FileIo.h"
#include "platform/TimeText.h"

namespace quilvane {
namespace {

const std::string FormatLine = "Quilvane review checklist 1";
// Two checklists of a few dozen items each never come near this; anything larger is not ours.
constexpr std::size_t MaxFileBytes = 256 * 1024;

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

} // namespace

std::string ChecklistPathFor(const std::string& projectPath)
{
    return projectPath + ".checklist";
}

std::string FormatTicks(const std::vector<ChecklistTick>& ticks)
{
    std::vector<std::string> lines = {FormatLine};
    for (const ChecklistTick& tick : ticks) {
        std::string title = tick.title;
        // A title never breaks the line it is on.
        std::replace_if(
            title.begin(), title.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
        lines.push_back(ReviewPhaseName(tick.review) + "\t" + tick.key + "\t" + tick.time + "\t" + title);
    }
    return JoinLinesCrLf(lines);
}

std::vector<ChecklistTick> ParseTicks(std::string_view text)
{
    std::vector<ChecklistTick> ticks;
    std::vector<std::string> lines = SplitLines(text);
    if (lines.empty() || lines.front() != FormatLine) {
        return ticks;
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> fields = SplitTabs(lines[i]);
        if (fields.size() != 4 || fields[1].empty()) {
            continue;
        }
        std::optional<ReviewKind> review = ReviewKindOfPhase(fields[0]);
        if (!review || FindTick(ticks, *review, fields[1]) != nullptr) {
            continue;
        }
        ticks.push_back({*review, fields[1], fields[2], fields[3]});
    }
    return ticks;
}

std::vector<ChecklistTick> ReadTicks(const std::string& path)
{
    std::string bytes;
    std::uint64_t size = 0;
    if (!ReadRegularFileStart(path, MaxFileBytes + 1, bytes, size).Ok() || size > MaxFileBytes) {
        return {};
    }
    return ParseTicks(bytes);
}

Status WriteTicks(const std::string& path, const std::vector<ChecklistTick>& ticks)
{
    return WriteFileAtomically(path, FormatTicks(ticks));
}

void SetTick(std::vector<ChecklistTick>& ticks, ReviewKind review, const std::string& key,
             const std::string& title, bool ticked, std::int32_t now)
{
    auto it = std::find_if(ticks.begin(), ticks.end(), [&](const ChecklistTick& tick) {
        return tick.review == review && tick.key == key;
    });
    if (!ticked) {
        if (it != ticks.end()) {
            ticks.erase(it);
        }
        return;
    }
    if (it == ticks.end()) {
        ticks.push_back({review, key, FormatMoment(now), title});
    }
}

const ChecklistTick* FindTick(const std::vector<ChecklistTick>& ticks, ReviewKind review,
                              const std::string& key)
{
    for (const ChecklistTick& tick : ticks) {
        if (tick.review == review && tick.key == key) {
            return &tick;
        }
    }
    return nullptr;
}

} // namespace quilvane
