#include <gtest/gtest.h>

#include <string>

#include "estimate/LocScanners.h"

using namespace quilvane;

namespace {

// All statement marks of a C# text when no line is matched.
std::int64_t CsUnits(const std::string& text)
{
    UnitCounts counts = CountCsStatements(CsImage(text), MatchFlags{});
    EXPECT_EQ(counts.matched, 0);
    return counts.unmatched;
}

std::string WithCrLf(const std::string& text)
{
    std::string raw;
    for (char c : text) {
        raw += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return raw;
}

std::int64_t VbUnits(const std::string& text)
{
    std::int64_t units = CountVbLines(VbImage(text), MatchFlags{}).unmatched;
    // The count without a line table agrees, over text-mode bytes and over raw CR LF bytes.
    EXPECT_EQ(CountVbLines(ByteBuffer(text), Newlines::Text).unmatched, units) << text;
    EXPECT_EQ(CountVbLines(ByteBuffer(WithCrLf(text)), Newlines::Raw).unmatched, units) << text;
    return units;
}

} // namespace

TEST(LocCsStatements, PunctuationRules)
{
    EXPECT_EQ(CsUnits("a::b;"), 1);
    EXPECT_EQ(CsUnits("x ? y : z;"), 2);
    EXPECT_EQ(CsUnits("case 1:"), 1);
    EXPECT_EQ(CsUnits("#region Fields"), 1);
    EXPECT_EQ(CsUnits("##"), 0);
    EXPECT_EQ(CsUnits("for (i = 0; i < n; i++) {"), 3);
    EXPECT_EQ(CsUnits("}"), 0);
    // A third colon after "::" stands alone and counts.
    EXPECT_EQ(CsUnits(":::"), 1);
}

TEST(LocCsStatements, LiteralsAndCommentsHideMarks)
{
    EXPECT_EQ(CsUnits("s = \"a;b{c:d#\";"), 1);
    EXPECT_EQ(CsUnits("c = ';';"), 1);
    EXPECT_EQ(CsUnits("x; // y; {"), 1);
    EXPECT_EQ(CsUnits("x; /* y; { */ z;"), 2);
    EXPECT_EQ(CsUnits("s = \"a\\\";b\";"), 1); // escaped quote stays inside the literal
    EXPECT_EQ(CsUnits("a = b / c;"), 1);       // a lone slash is no comment
}

TEST(LocCsStatements, LiteralEndsAtLineEnd)
{
    // An unterminated literal stops at the LF; the next line is scanned normally.
    EXPECT_EQ(CsUnits("s = \"abc;\nx;"), 1);
}

TEST(LocCsStatements, BackslashOutsideLiteralTakesNextByte)
{
    // The escaped quote opens no literal, so the semicolons after it count.
    EXPECT_EQ(CsUnits("\\\"a;b;"), 2);
    // The escaped byte itself is still read as code.
    EXPECT_EQ(CsUnits("\\;"), 1);
}

TEST(LocCsStatements, DoubleByteBackslashDoesNotEscapeQuote)
{
    // "ソ" is 0x83 0x5C: its trail byte is a backslash, but the quote after it closes the literal.
    EXPECT_EQ(CsUnits("s = \"\x83\x5C\";"), 1);
    // Outside literals the same trail byte does not swallow the following semicolon.
    EXPECT_EQ(CsUnits("\x83\x5C;"), 1);
}

TEST(LocCsStatements, VerbatimStringEndingInBackslashRunsToLineEnd)
{
    // The scanner knows no verbatim strings: the final backslash takes the closing quote, so the
    // literal swallows the rest of the line; the next line counts again.
    EXPECT_EQ(CsUnits("p = @\"C:\\dir\\\"; q = 1;\nr = 2;"), 1);
}

TEST(LocCsStatements, EndMarkStopsScanOutsideLiterals)
{
    EXPECT_EQ(CsUnits("a;\xFF b;"), 1);
    // Inside a literal it only ends the literal.
    EXPECT_EQ(CsUnits("s = \"x\xFF;"), 1);
    // Inside a comment it is an ordinary byte.
    EXPECT_EQ(CsUnits("/* \xFF */ a;"), 1);
}

TEST(LocCsStatements, MarksAreAttributedToTheirLines)
{
    // Lines: 0 "a;", 1 "/* x", 2 "y */ b;", 3 "s = \"q\\", 4 "r\"; c;"
    CsImage image("a;\n/* x\ny */ b;\ns = \"q\\\nr\"; c;");
    ASSERT_EQ(image.LineCount(), 5U);
    MatchFlags flags{0, 0, 1, 0, 1};
    UnitCounts counts = CountCsStatements(image, flags);
    // b; on line 2, and both marks of line 4 (the escaped LF continued the literal) are matched.
    EXPECT_EQ(counts.matched, 3);
    EXPECT_EQ(counts.unmatched, 1);
}

TEST(LocCsImage, LinesEndAtLfOrEndMark)
{
    CsImage image("int a;\nx\xFFy\nlast");
    auto keys = image.LineKeys();
    ASSERT_EQ(keys.size(), 3U);
    EXPECT_EQ(keys[0], "int a;");
    EXPECT_EQ(keys[1], "x");
    EXPECT_EQ(keys[2], "last");
    // n LF bytes make n + 1 entries; the last may be empty.
    EXPECT_EQ(CsImage("a\nb\n").LineCount(), 3U);
    EXPECT_EQ(CsImage("").LineCount(), 1U);
}

TEST(LocTextMode, CrLfBecomesLfAndLoneCrStays)
{
    EXPECT_EQ(TextModeBytes("a\r\nb\rc\r\n\r"), "a\nb\rc\n\r");
    EXPECT_EQ(TextModeBytes("\r\r\n"), "\r\n");
}

TEST(LocTextMode, ChunkBoundariesDoNotChangeTheResult)
{
    const std::string raw = "a\r\nb\r\r\nc\rd\r";
    const std::string expected = "a\nb\r\nc\rd\r";
    for (std::size_t cut1 = 0; cut1 <= raw.size(); ++cut1) {
        for (std::size_t cut2 = cut1; cut2 <= raw.size(); ++cut2) {
            std::string out;
            TextModeDecoder decoder;
            decoder.Append(out, std::string_view(raw).substr(0, cut1));
            decoder.Append(out, std::string_view(raw).substr(cut1, cut2 - cut1));
            decoder.Append(out, std::string_view(raw).substr(cut2));
            decoder.Finish(out);
            ASSERT_EQ(out, expected) << cut1 << " " << cut2;
        }
    }
}

TEST(LocVbLines, BlankAndCommentLinesCountNothing)
{
    EXPECT_EQ(VbUnits("\n   \n\t\f\v\r\n"), 0);
    EXPECT_EQ(VbUnits("  ' comment\n"), 0);
    EXPECT_EQ(VbUnits("Dim a As Integer\n"), 1);
    EXPECT_EQ(VbUnits("REM old style comment\n"), 1);
    EXPECT_EQ(VbUnits("x = 1 ' trailing\nEnd Sub"), 2);
}

TEST(LocVbLines, LongLinesSplitInto1023BytePieces)
{
    std::string longLine(2500, 'x');
    VbImage image(longLine + "\nEnd\n");
    ASSERT_EQ(image.LineCount(), 4U);
    EXPECT_EQ(image.Line(0).size(), 1023U);
    EXPECT_EQ(image.Line(1).size(), 1023U);
    EXPECT_EQ(image.Line(2), std::string(454, 'x') + "\n");
    EXPECT_EQ(image.Line(3), "End\n");
    EXPECT_EQ(CountVbLines(image, MatchFlags{}).unmatched, 4);
    EXPECT_EQ(VbUnits(longLine + "\nEnd\n"), 4);
    EXPECT_EQ(VbUnits(longLine + "\n   \n' x\n"), 3);
    // A piece that is exactly 1023 bytes leaves the LF as an entry of its own.
    VbImage exact(std::string(1023, 'y') + "\n");
    ASSERT_EQ(exact.LineCount(), 2U);
    EXPECT_EQ(exact.Line(1), "\n");
}

TEST(LocVbLines, FlagsSplitMatchedFromUnmatched)
{
    VbImage image("a\n' c\nb\nc");
    UnitCounts counts = CountVbLines(image, MatchFlags{1, 1, 0, 1});
    EXPECT_EQ(counts.matched, 2);
    EXPECT_EQ(counts.unmatched, 1);
    // The LF belongs to the entry: a last line without it differs from one with it.
    auto keys = image.LineKeys();
    EXPECT_EQ(keys[0], "a\n");
    EXPECT_EQ(keys[3], "c");
}
