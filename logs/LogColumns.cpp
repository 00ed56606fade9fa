#include "logs/LogColumns.h"

#include "platform/TimeText.h"
#include "project/DefectDetails.h"

namespace quilvane {
namespace {

std::string Phase(const TimeLogEntry& entry)
{
    return entry.phase;
}
std::string Span(const TimeLogEntry& entry)
{
    return FormatSpanBetween(entry.start.Seconds(), entry.end.Seconds());
}
std::string Start(const TimeLogEntry& entry)
{
    return entry.start.Text();
}
std::string End(const TimeLogEntry& entry)
{
    return entry.end.Text();
}

const TimeLogColumn TimeColumns[] = {
    {"工程", false, "", 0, 70, false, Phase, "工程", 420, PrintedCell::ShrunkToFit, Phase},
    {"時間", true, "000 00:00:00", 1, 70, false, Span, "時間", 840, PrintedCell::BeforeRuling, Span},
    {"開始", true, "0000/00/00  00:00:00", 2, 130, false, Start, "開始", 1240, PrintedCell::BeforeRuling,
     Start},
    {"終了", true, "0000/00/00  00:00:00", 3, 130, false, End, "終了", 1940, PrintedCell::BeforeRuling, End},
};

std::string DefectPhase(const DefectEntry& entry)
{
    return entry.phase;
}
std::string Moment(const DefectEntry& entry)
{
    return entry.time.Text();
}
// The comment column shows the student's text, never the header that carries the details; the
// printed form puts it on one line.
std::string Comment(const DefectEntry& entry)
{
    return DetailsOf(entry).comment;
}
std::string PrintedComment(const DefectEntry& entry)
{
    return OneLineComment(DetailsOf(entry).comment);
}
std::string Type(const DefectEntry& entry)
{
    return DefectTypeText(DetailsOf(entry).type);
}
std::string TypeCode(const DefectEntry& entry)
{
    const DefectDetails details = DetailsOf(entry);
    return details.type ? std::to_string(*details.type) : std::string();
}
std::string Injected(const DefectEntry& entry)
{
    return DetailsOf(entry).injected.value_or(std::string());
}
std::string FixMinutes(const DefectEntry& entry)
{
    return FixMinutesText(DetailsOf(entry).fixMinutes);
}

const DefectLogColumn DefectColumns[] = {
    {"工程", false, "", 0, 70, false, DefectPhase, "工程", 420, PrintedCell::ShrunkToFit, DefectPhase},
    {"時刻", true, "0000/00/00  00:00:00", 1, 130, false, Moment, "時刻", 840, PrintedCell::BeforeRuling,
     Moment},
    {"コメント", false, "", 2, 200, false, Comment, "コメント", 2200, PrintedCell::ShrunkToFit,
     PrintedComment},
    {"種別", false, "", -1, 110, true, Type, "種別", 1540, PrintedCell::BeforeRuling, TypeCode},
    {"混入工程", false, "", -1, 70, false, Injected, "混入", 1740, PrintedCell::ShrunkToFit, Injected},
    {"修正(分)", true, "", -1, 60, true, FixMinutes, "修正", 2000, PrintedCell::BeforeRuling, FixMinutes},
};

} // namespace

std::string OneLineComment(const std::string& comment)
{
    std::string line;
    line.reserve(comment.size());
    for (std::size_t i = 0; i < comment.size(); ++i) {
        char c = comment[i];
        if (c == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') {
            ++i;
        }
        // CR and LF are below 0x40, so they are never the second byte of a CP932 character.
        line += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return line;
}

std::span<const TimeLogColumn> TimeLogColumns()
{
    return TimeColumns;
}

std::span<const DefectLogColumn> DefectLogColumns()
{
    return DefectColumns;
}

} // namespace quilvane
