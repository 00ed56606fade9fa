#include <gtest/gtest.h>

#include "project/DefectDetails.h"
#include "project/ProjectRecord.h"

using namespace quilvane;

TEST(TimeLogAddEntry, AppendsOnlyKnownForwardIntervals)
{
    TimeLog log;
    EXPECT_EQ(log.AddEntry("A", 0, 100), TimeLogAddition::NoStart);
    EXPECT_EQ(log.AddEntry("A", 100, 100), TimeLogAddition::NoDuration);
    EXPECT_EQ(log.AddEntry("A", 200, 100), TimeLogAddition::Backward);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(log.AddEntry("A", 1000, 1090), TimeLogAddition::Appended);
    EXPECT_EQ(log.AddEntry("B", 2000, 2030), TimeLogAddition::Appended);
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[1].phase, "B");
    EXPECT_EQ(log.entries[0].Duration(), 90);
    EXPECT_FALSE(log.entries[0].start.IsDuration());
}

TEST(TimeLogSumByPhase, AddsDurationsUnderExactNames)
{
    TimeLog log;
    log.entries = {{"A", Moment(1000), Moment(1100)},
                   {"B", Moment(1100), Moment(1130)},
                   {"A", Moment(2000), Moment(2050)},
                   {"a", Moment(3000), Moment(3001)}};
    PhaseSeconds sums{{"A", 10}};
    log.SumByPhase(sums);
    EXPECT_EQ(sums.at("A"), 160);
    EXPECT_EQ(sums.at("B"), 30);
    EXPECT_EQ(sums.at("a"), 1);
    EXPECT_EQ(sums.size(), 3u);
}

TEST(TimeValueText, KeptInStepBySet)
{
    TimeValue span(3725, true);
    EXPECT_EQ(span.Text(), "00 01:02:05");
    span.Set(0);
    EXPECT_EQ(span.Text(), "00 00:00:00");
    EXPECT_TRUE(span.IsDuration());
}

TEST(Minutes, RoundHalfUp)
{
    EXPECT_EQ(SecondsToMinutes(89), 1);
    EXPECT_EQ(SecondsToMinutes(90), 2);
    EXPECT_EQ(SecondsToMinutes(29), 0);
    EXPECT_EQ(SecondsToMinutes(30), 1);
}

TEST(NewProjectDefaults, MatchTheFreshRecord)
{
    ProjectRecord p;
    EXPECT_EQ(p.estimate.availablePercent, 50);
    EXPECT_EQ(p.estimate.totalMinutes, 0);
    EXPECT_EQ(p.estimate.constant, 0.0);
    EXPECT_EQ(p.timeLog.width, 500);
    EXPECT_EQ(p.timeLog.columnWidths[2], 130);
    EXPECT_EQ(p.defectLog.columnWidths[2], 200);
}

namespace {

// CP932 texts of the header's words and of a phase name holding a blank and a bracket.
const std::string Type = "\x8E\xED\x95\xCA";     // 種別
const std::string Fix = "\x8F\x43\x90\xB3";      // 修正
const std::string Injected = "\x8D\xAC\x93\xFC"; // 混入
const std::string Minute = "\x95\xAA";           // 分
const std::string Design = "\x90\xDD\x8C\x76";   // 設計
// "ゾ" is 0x83 0x5D: its trail byte is the byte of "]".
const std::string Zo = "\x83\x5D";

} // namespace

TEST(DefectComment, ParsesHeadersTolerantlyAndKeepsEverythingElseAsText)
{
    struct Case {
        std::string stored;
        std::optional<int> type;
        std::optional<std::string> injected;
        std::optional<std::int32_t> fixMinutes;
        std::string comment;
    };
    const std::string h = "[PSP ";
    auto plain = [](const std::string& text) { return Case{text, {}, {}, {}, text}; };
    const Case cases[] = {
        plain("plain\r\ntext"),
        plain(""),
        {h + Type + "=20 " + Fix + "=12" + Minute + " " + Injected + "=" + Design + "]\r\nmissing ;", 20,
         Design, 12, "missing ;"},
        {h + Type + "=100]\r\n", 100, {}, {}, ""},
        {"[PSP]\r\n[PSP " + Type + "=20]\r\n", {}, {}, {}, "[PSP " + Type + "=20]\r\n"},
        {h + Fix + "=0" + Minute + "]\r\nx\r\n", {}, {}, 0, "x\r\n"},
        {h + Injected + "=a b] c]\r\nx", {}, "a b] c", {}, "x"},
        {h + Injected + "=]\r\nx", {}, "", {}, "x"},
        {h + Injected + "=" + Zo + "]\r\n", {}, Zo, {}, ""},
        // Damaged or hand-made headers: the whole text is the comment and nothing is known.
        plain(h + Type + "=25]\r\nx"),
        plain(h + Type + "=20\r\nx"),
        plain(h + Type + "=20]"),
        plain(h + Type + "=20 " + Type + "=30]\r\n"),
        plain(h + Type + "=020]\r\n"),
        plain(h + " " + Type + "=20]\r\n"),
        plain(h + Fix + "=1" + Minute + " " + Type + "=20]\r\n"),
        plain(h + Fix + "=12]\r\n"),
        plain(h + Fix + "=-3" + Minute + "]\r\n"),
        plain(h + Fix + "=1000000" + Minute + "]\r\n"),
        plain(h + "color=red]\r\n"),
        plain("[PSP" + Type + "=20]\r\n"),
        plain("[psp " + Type + "=20]\r\n"),
        plain(h + Type + "=20]\nx"),
        plain(h + Type + "=20]\r\r\nx"),
        // The last "]" is the trail byte of a double-byte character, not a closing bracket.
        plain(h + Injected + "=" + Zo + "\r\n"),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        DefectDetails d = ParseDefectComment(c.stored);
        EXPECT_EQ(d.type, c.type);
        EXPECT_EQ(d.injected, c.injected);
        EXPECT_EQ(d.fixMinutes, c.fixMinutes);
        EXPECT_EQ(d.comment, c.comment);
        // Whatever was read is written back byte for byte.
        EXPECT_EQ(ComposeDefectComment(d), c.stored);
    }
}

TEST(DefectComment, ComposesPlainCommentsUnchangedAndEscapesLookAlikes)
{
    struct Case {
        DefectDetails details;
        std::string stored;
    };
    const Case cases[] = {
        {{{}, {}, {}, "line one\r\nline two"}, "line one\r\nline two"},
        {{{}, {}, {}, ""}, ""},
        {{20, Design, 12, "x"},
         "[PSP " + Type + "=20 " + Fix + "=12" + Minute + " " + Injected + "=" + Design + "]\r\nx"},
        {{10, {}, {}, ""}, "[PSP " + Type + "=10]\r\n"},
        {{{}, {}, 0, ""}, "[PSP " + Fix + "=0" + Minute + "]\r\n"},
        {{{}, "", {}, "y"}, "[PSP " + Injected + "=]\r\ny"},
        // A student's text that reads as a header goes behind an empty one; one that does not
        // (damaged, or without its line end) is stored as it stands.
        {{{}, {}, {}, "[PSP " + Type + "=20]\r\nmine"}, "[PSP]\r\n[PSP " + Type + "=20]\r\nmine"},
        {{{}, {}, {}, "[PSP]\r\n"}, "[PSP]\r\n[PSP]\r\n"},
        {{{}, {}, {}, "[PSP]"}, "[PSP]"},
        {{{}, {}, {}, "[PSP " + Type + "=25]\r\nx"}, "[PSP " + Type + "=25]\r\nx"},
        {{{}, "a\r\nb", {}, ""}, "[PSP " + Injected + "=a  b]\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(ComposeDefectComment(c.details), c.stored);
        if (c.details.injected != "a\r\nb") {
            EXPECT_EQ(ParseDefectComment(c.stored), c.details);
        }
    }
}

TEST(DefectComment, TypeStandardHasTenLabelledCodes)
{
    const auto& types = DefectTypeStandard();
    ASSERT_EQ(types.size(), 10u);
    for (std::size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(types[i].code, static_cast<int>(10 * (i + 1)));
        EXPECT_FALSE(std::string(types[i].label).empty());
    }
    EXPECT_EQ(DefectTypeText(20), "20 \x8D\x5C\x95\xB6");
    EXPECT_EQ(DefectTypeText(35), "35");
    EXPECT_EQ(DefectTypeText(std::nullopt), "");
    EXPECT_FALSE(DefectTypeLabel(0));
}
