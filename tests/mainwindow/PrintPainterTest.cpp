#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

#include "mainwindow/PrintPainter.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/TimeText.h"
#include "project/DefectDetails.h"
#include "tests/TempFolder.h"
#include "tests/mainwindow/PrintRecorder.h"
#include "tests/project/SampleProjects.h"
#include "ui/QtText.h"

using namespace quilvane;

namespace {

// The baseline of a text whose cell top is `top` at `height` units.
double BaselineOf(double top, int height)
{
    return top + height * 220.0 / 256.0;
}

// QPainter hands one drawn text over in runs, one per font that supplies its glyphs (Latin
// and Japanese may come from different faces). Runs that continue one another on the same
// baseline are joined back into the text that was drawn.
std::vector<RecordedText> JoinRuns(const std::vector<RecordedText>& runs)
{
    std::vector<RecordedText> texts;
    qreal end = 0;
    for (const auto& run : runs) {
        QFont font = PrintPainter::PrintFont(run.pixelSize);
        font.setStretch(run.stretch);
        QFontMetricsF metrics(font);
        if (!texts.empty() && texts.back().baseline.y() == run.baseline.y() &&
            texts.back().pixelSize == run.pixelSize && texts.back().stretch == run.stretch &&
            std::abs(end - run.baseline.x()) < 0.5) {
            texts.back().text += run.text;
        } else {
            texts.push_back(run);
        }
        end = run.baseline.x() + metrics.horizontalAdvance(run.text);
    }
    return texts;
}

int PdfPageCount(const std::string& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

} // namespace

class PrintPainterTest : public ::testing::Test {
protected:
    struct Page {
        std::vector<QLineF> lines;
        std::vector<QRectF> rects;
        std::vector<RecordedText> texts;
        QTransform transform;

        const RecordedText* Find(const QString& text) const
        {
            for (const auto& t : texts) {
                if (t.text == text) {
                    return &t;
                }
            }
            return nullptr;
        }
        bool HasLine(double x1, double y1, double x2, double y2) const
        {
            for (const auto& l : lines) {
                if (l == QLineF(x1, y1, x2, y2)) {
                    return true;
                }
            }
            return false;
        }
        std::vector<QLineF> HorizontalLinesFrom(double x1, double x2) const
        {
            std::vector<QLineF> found;
            for (const auto& l : lines) {
                if (l.y1() == l.y2() && l.x1() == x1 && l.x2() == x2) {
                    found.push_back(l);
                }
            }
            return found;
        }
    };

    Page Record(int page, int width = 4760, int height = 6814)
    {
        PrintPainter painter(project_, PhaseTableTextsOf(project_), clock_);
        RecordingDevice device(width, height);
        {
            QPainter p(&device);
            painter.PaintPage(p, page);
        }
        auto& e = device.Engine();
        return Page{e.lines, e.rects, JoinRuns(e.texts), e.drawingTransform};
    }

    static void AddTimeEntries(ProjectRecord& p, int count)
    {
        for (int i = 0; i < count; ++i) {
            p.timeLog.entries.push_back({"A", Moment(1796585780 + 100 * i), Moment(1796585840 + 100 * i)});
        }
    }
    static void AddDefects(ProjectRecord& p, int count)
    {
        for (int i = 0; i < count; ++i) {
            p.defectLog.entries.push_back({"B", "c" + std::to_string(i), Moment(1796590050 + i)});
        }
    }

    ProjectRecord project_ = RichProject();
    ManualTimeSource clock_{1796601600};
};

TEST_F(PrintPainterTest, LogicalPageIsMappedIsotropicallyFromTheTopLeft)
{
    for (auto [w, h] : {std::pair{4760, 6814}, std::pair{6814, 4760}, std::pair{2840, 4070}}) {
        Page page = Record(1, w, h);
        const QTransform& t = page.transform;
        EXPECT_DOUBLE_EQ(t.m11(), t.m22()) << w << "x" << h;
        EXPECT_EQ(t.map(QPointF(0, 0)), QPointF(0, 0));
        QPointF corner = t.map(QPointF(PrintPageWidth, PrintPageHeight));
        EXPECT_LE(corner.x(), w + 0.5);
        EXPECT_LE(corner.y(), h + 0.5);
        // One dimension is filled exactly (to the pixel).
        EXPECT_TRUE(std::abs(corner.x() - w) < 1.0 || std::abs(corner.y() - h) < 1.0) << w << "x" << h;
    }
}

TEST_F(PrintPainterTest, HeaderOnEveryPageIsTwoRightAlignedLines)
{
    project_.timeLog.entries.clear();
    AddTimeEntries(project_, 30); // 2 + 35 / 25 = 3 pages
    std::string ctime = WindowsCtime(clock_.Now());
    QString timeLine = QString::fromStdString(ctime.substr(0, ctime.size() - 1));
    for (int n = 1; n <= 3; ++n) {
        Page page = Record(n);
        QString who = QStringLiteral("  山田太郎[Prob1] %1/3").arg(n);
        const RecordedText* first = page.Find(timeLine);
        const RecordedText* second = page.Find(who);
        ASSERT_NE(first, nullptr) << n;
        ASSERT_NE(second, nullptr) << n;
        EXPECT_EQ(first->pixelSize, 72);
        EXPECT_NEAR(first->baseline.y(), BaselineOf(140, 72), 0.01);
        EXPECT_NEAR(second->baseline.y(), BaselineOf(212, 72), 0.01);
        QFont font = PrintPainter::PrintFont(72);
        EXPECT_NEAR(first->baseline.x() + QFontMetricsF(font).horizontalAdvance(timeLine), 2600, 2.0);
        EXPECT_NEAR(second->baseline.x() + QFontMetricsF(font).horizontalAdvance(who), 2600, 2.0);
    }
}

TEST_F(PrintPainterTest, FormPageHasTitleHeadingsAndSizeTable)
{
    project_.estimate.baseName = "abc/def";
    Page page = Record(1);
    const RecordedText* title = page.Find(QStringLiteral("PSP演習"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->pixelSize, 144);
    EXPECT_EQ(title->baseline, QPointF(350, BaselineOf(320, 144)));

    const QString headings[] = {QStringLiteral("課題 : Prob1"), QStringLiteral("氏名 : 山田太郎"),
                                QStringLiteral("ベース : def")};
    for (int i = 0; i < 3; ++i) {
        const RecordedText* text = page.Find(headings[i]);
        ASSERT_NE(text, nullptr) << headings[i].toStdString();
        EXPECT_EQ(text->pixelSize, 96);
        EXPECT_EQ(text->baseline, QPointF(350, BaselineOf(560 + 200 * i, 96)));
        EXPECT_TRUE(page.HasLine(300, 680 + 200 * i, 1170, 680 + 200 * i));
    }

    EXPECT_EQ(page.HorizontalLinesFrom(300, 1170).size(), 3u + 6u);
    for (int x : {300, 630, 900, 1170}) {
        EXPECT_TRUE(page.HasLine(x, 1180, x, 2080)) << x;
    }
    // Planned 51/50/60 and actual 48/3/70; totals are new plus reused.
    const std::pair<QString, QString> rows[] = {
        {"   51", "   48"}, {"   50", "    3"}, {"   60", "   70"}, {"  111", "  118"}};
    for (int r = 0; r < 4; ++r) {
        const RecordedText* planned = page.Find(rows[r].first);
        const RecordedText* actual = page.Find(rows[r].second);
        ASSERT_NE(planned, nullptr) << r;
        ASSERT_NE(actual, nullptr) << r;
        EXPECT_EQ(planned->baseline, QPointF(670, BaselineOf(1410 + 180 * r, 96)));
        EXPECT_EQ(actual->baseline, QPointF(940, BaselineOf(1410 + 180 * r, 96)));
    }
}

TEST_F(PrintPainterTest, PhaseTableBottomLineIsAt2080WhateverThePhaseCount)
{
    for (int phases : {0, 3, 8}) {
        project_.phases.clear();
        for (int i = 0; i < phases; ++i) {
            project_.phases.push_back({"P" + std::to_string(i), i, 0, 10});
        }
        Page page = Record(1);
        auto lines = page.HorizontalLinesFrom(1300, 2600);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(phases + 3)) << phases;
        double top = 1e9;
        double bottom = -1e9;
        for (const auto& l : lines) {
            top = std::min(top, l.y1());
            bottom = std::max(bottom, l.y1());
        }
        EXPECT_EQ(bottom, 2080) << phases;
        EXPECT_EQ(top, 1720 - 180 * phases) << phases;
        for (int x : {1300, 1850, 2100, 2350, 2600}) {
            EXPECT_TRUE(page.HasLine(x, top, x, 2080)) << phases << " " << x;
        }
        const RecordedText* heading = page.Find(QStringLiteral("工程 (分)"));
        ASSERT_NE(heading, nullptr);
        EXPECT_EQ(heading->baseline, QPointF(1340, BaselineOf(top + 50, 96)));
        // The totals row is always the band just above the bottom line.
        const RecordedText* totals = page.Find(QStringLiteral("  - 合計 -"));
        ASSERT_NE(totals, nullptr) << phases;
        EXPECT_EQ(totals->baseline, QPointF(1340, BaselineOf(1940, 96)));
        EXPECT_TRUE(totals->clipped);
    }
}

TEST_F(PrintPainterTest, PhaseNumbersAreRightAlignedAndNarrowedToTheirCells)
{
    project_.phases[0].plan = 1234;
    project_.phases[1].plan = 123456789;
    Page page = Record(1);
    for (const char* number : {"100", "1234"}) {
        const RecordedText* text = page.Find(QString::fromLatin1(number));
        ASSERT_NE(text, nullptr) << number;
        QFont font = PrintPainter::PrintFont(96);
        font.setStretch(text->stretch);
        const double right = std::string(number) == "100" ? 2550 : 2050;
        const double width = QFontMetricsF(font).horizontalAdvance(QString::fromLatin1(number));
        EXPECT_NEAR(text->baseline.x() + width, right, 2.0) << number;
        EXPECT_GE(text->baseline.x(), right - 160 - 2.0) << number; // narrowed into the cell
    }
    EXPECT_LT(page.Find(QStringLiteral("1234"))->stretch, 100);
    // What does not fit even at half width is cut at the cell's edge.
    const RecordedText* huge = page.Find(QStringLiteral("123456789"));
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->stretch, 50);
    EXPECT_TRUE(huge->clipped);
    const RecordedText* name = page.Find(ToQ("\x90\xDD\x8C\x76")); // 設計, row 1 of three
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->baseline, QPointF(1340, BaselineOf(1540 + 40, 96)));
}

TEST_F(PrintPainterTest, PhaseNamesAndCommentsAreReadWholeInTheirCells)
{
    const std::string review = Utf8ToCp932("設計レビュー");
    const std::string codeReview = Utf8ToCp932("コードレビュー");
    const std::string longName = Utf8ToCp932("コードレビューと単体テスト計画の見直し");
    const std::string comment = Utf8ToCp932(
        "入力の最後の行で配列の境界を越えて読んでいたので、ループの終了条件を直して境界の試験を足した");
    project_.phases = {{review, 10, 0, 0}, {codeReview, 10, 0, 0}, {longName, 10, 0, 0}};
    project_.timeLog.entries = {{review, Moment(1796585780), Moment(1796585840)},
                                {codeReview, Moment(1796585880), Moment(1796585940)},
                                {longName, Moment(1796585980), Moment(1796586040)}};
    project_.defectLog.entries = {{codeReview, comment, Moment(1796590050)}};

    struct Cell {
        int page;
        std::string text;
        PrintRect rect;
        bool oneLine; // the form's own phase names fit on one line, only narrowed
    };
    auto logCell = [](int line, int left, int right) {
        return PrintRect{left, LogTextY(line), right, LogTextY(line) + 104};
    };
    const Cell cells[] = {
        {1, review, PhaseTableCell(3, 0, 0), true},    {1, codeReview, PhaseTableCell(3, 1, 0), true},
        {1, longName, PhaseTableCell(3, 2, 0), false}, {2, review, logCell(2, 450, 840), true},
        {2, codeReview, logCell(3, 450, 840), true},   {2, longName, logCell(4, 450, 840), false},
        {2, codeReview, logCell(7, 450, 840), true}, // the defect's phase: title on 5, entry on 7
        {2, comment, logCell(7, 2230, 2640), false},
    };
    for (const auto& cell : cells) {
        Page page = Record(cell.page);
        const QString expected = ToQ(cell.text);
        QString drawn;
        int pieces = 0;
        for (const auto& t : page.texts) {
            const double top = t.baseline.y() - t.pixelSize * 220.0 / 256.0;
            if (t.baseline.x() < cell.rect.left || t.baseline.x() >= cell.rect.right || top < cell.rect.top ||
                top >= cell.rect.bottom) {
                continue;
            }
            ++pieces;
            drawn += t.text;
            QFont font = PrintPainter::PrintFont(t.pixelSize);
            font.setStretch(t.stretch);
            // Measured as the form's face sets it: the piece ends before the closing ruling and
            // its line stays inside the cell.
            const double advance = QFontMetricsF(font).horizontalAdvance(t.text);
            EXPECT_LE(t.baseline.x() + advance, cell.rect.right - 19.0) << t.text.toStdString();
            EXPECT_LE(top + t.pixelSize, cell.rect.bottom + 0.5) << t.text.toStdString();
        }
        EXPECT_EQ(drawn, expected) << cell.page << " " << expected.toStdString();
        if (cell.oneLine) {
            EXPECT_EQ(pieces, 1) << expected.toStdString();
        } else {
            EXPECT_GE(pieces, 2) << expected.toStdString();
        }
    }
}

TEST_F(PrintPainterTest, DefectCountAndMemoBox)
{
    Page page = Record(1);
    const RecordedText* bugs = page.Find(QStringLiteral("バグ :     2"));
    ASSERT_NE(bugs, nullptr);
    EXPECT_EQ(bugs->baseline, QPointF(1350, BaselineOf(2160, 96)));
    EXPECT_TRUE(page.HasLine(1300, 2280, 1820, 2280));
    EXPECT_TRUE(page.HasLine(300, 2280, 600, 2280));
    ASSERT_NE(page.Find(QStringLiteral("メモ")), nullptr);

    // The memo breaks at its own line breaks only, one 72-unit line after the other.
    const RecordedText* first = page.Find(QStringLiteral("Quilvane バージョン 1.03"));
    const RecordedText* second = page.Find(QStringLiteral("Mon Dec 07 04:36:20 2026 作成"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->pixelSize, 72);
    EXPECT_EQ(first->baseline, QPointF(340, BaselineOf(2380, 72)));
    EXPECT_EQ(second->baseline, QPointF(340, BaselineOf(2452, 72)));
    EXPECT_TRUE(first->clipped);
    ASSERT_EQ(page.rects.size(), 1u);
    EXPECT_EQ(page.rects[0], QRectF(QPointF(300, 2340), QPointF(2600, 3860)));
}

TEST_F(PrintPainterTest, MemoLinesBelowTheBoxAreNotDrawn)
{
    project_.memo.clear();
    for (int i = 0; i < 40; ++i) {
        project_.memo += "m" + std::to_string(i) + "\r\n";
    }
    Page page = Record(1);
    EXPECT_NE(page.Find(QStringLiteral("m19")), nullptr);
    EXPECT_EQ(page.Find(QStringLiteral("m20")), nullptr); // 20 lines of 72 fill 1440 units
}

TEST_F(PrintPainterTest, EmptyLogsGiveTwoEmptyBlocksOnPageTwo)
{
    project_.timeLog.entries.clear();
    project_.defectLog.entries.clear();
    Page page = Record(2);
    const RecordedText* time = page.Find(QStringLiteral("時間記録"));
    const RecordedText* defect = page.Find(QStringLiteral("バグ記録"));
    ASSERT_NE(time, nullptr);
    ASSERT_NE(defect, nullptr);
    EXPECT_EQ(time->baseline, QPointF(340, BaselineOf(350, 72)));
    EXPECT_EQ(defect->baseline, QPointF(340, BaselineOf(144 * 2 + 350, 72)));
    // Heading rulings and closing rulings of both blocks.
    auto rulings = page.HorizontalLinesFrom(300, 2640);
    EXPECT_EQ(rulings.size(), 4u);
    for (int line : {1, 2, 3, 4}) {
        EXPECT_TRUE(page.HasLine(300, 300 + 144 * line, 2640, 300 + 144 * line)) << line;
    }
    for (int x : {300, 420, 840, 1240, 1940, 2640}) {
        EXPECT_TRUE(page.HasLine(x, 444, x, 588)) << x;
    }
    for (int x : {300, 420, 840, 1540, 1740, 2000, 2200, 2640}) {
        EXPECT_TRUE(page.HasLine(x, 732, x, 876)) << x;
    }
    for (const char* heading : {"工程", "時間", "開始", "終了", "時刻", "種別", "混入", "修正", "コメント"}) {
        EXPECT_NE(page.Find(QString::fromUtf8(heading)), nullptr) << heading;
    }
    EXPECT_EQ(page.Find(QStringLiteral("開始"))->baseline, QPointF(1270, BaselineOf(484, 72)));
    EXPECT_EQ(page.Find(QStringLiteral("コメント"))->baseline, QPointF(2230, BaselineOf(772, 72)));
    EXPECT_EQ(page.Find(QStringLiteral("種別"))->baseline, QPointF(1570, BaselineOf(772, 72)));
    // Every heading ends before the next ruling.
    const QFontMetricsF metrics(PrintPainter::PrintFont(72));
    for (auto [heading, right] :
         {std::pair{"種別", 1740}, {"混入", 2000}, {"修正", 2200}, {"コメント", 2640}}) {
        const RecordedText* drawn = page.Find(QString::fromUtf8(heading));
        EXPECT_LE(drawn->baseline.x() + metrics.horizontalAdvance(drawn->text), right - 19.0) << heading;
    }
}

TEST_F(PrintPainterTest, TimeEntryCellsSitInTheirColumns)
{
    Page page = Record(2);
    const double y = BaselineOf(144 * 2 + 340, 72); // entry 0 on line 2
    const RecordedText* number = page.Find(QStringLiteral("01"));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->baseline, QPointF(330, y));
    const RecordedText* phase = page.Find(ToQ("\x8C\x76\x89\xE6")); // 計画
    ASSERT_NE(phase, nullptr);
    EXPECT_EQ(phase->baseline, QPointF(450, y));
    EXPECT_TRUE(phase->clipped);
    const RecordedText* span = page.Find(QStringLiteral("00 00:25:00"));
    ASSERT_NE(span, nullptr);
    EXPECT_EQ(span->baseline, QPointF(870, y));
    const RecordedText* start = page.Find(QString::fromStdString(FormatMoment(1796585780)));
    const RecordedText* end = page.Find(QString::fromStdString(FormatMoment(1796587280)));
    ASSERT_NE(start, nullptr);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(start->baseline, QPointF(1270, y));
    EXPECT_EQ(end->baseline, QPointF(1970, y));
    // The substitute face's digits are wide: the moment is narrowed to end before the ruling.
    QFont font = PrintPainter::PrintFont(72);
    font.setStretch(start->stretch);
    EXPECT_LE(1270 + QFontMetricsF(font).horizontalAdvance(start->text), 1940 - 19);
}

TEST_F(PrintPainterTest, DefectCommentOfSeveralLinesPrintsOnOneLine)
{
    Page page = Record(2);
    // Two time entries: the defect block's title is on line 4, its first entry on line 6.
    const RecordedText* comment = page.Find(QStringLiteral("line one line two"));
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->baseline, QPointF(2230, BaselineOf(144 * 6 + 340, 72)));
    EXPECT_TRUE(comment->clipped);
    for (const auto& t : page.texts) {
        EXPECT_FALSE(t.text.contains('\n') || t.text.contains('\r')) << t.text.toStdString();
    }
}

TEST_F(PrintPainterTest, DefectDetailsPrintInTheirColumnsAndTheHeaderNever)
{
    const std::string design = Utf8ToCp932("設計");
    project_.defectLog.entries = {
        {"x", ComposeDefectComment({70, design, 125, "off by one"}), Moment(1796590050)}};
    Page page = Record(2);
    const double y = BaselineOf(144 * 6 + 340, 72);
    const std::pair<QString, int> cells[] = {{QStringLiteral("70"), 1570},
                                             {ToQ(design), 1770},
                                             {QStringLiteral("125"), 2030},
                                             {QStringLiteral("off by one"), 2230}};
    for (const auto& [text, x] : cells) {
        const RecordedText* drawn = page.Find(text);
        ASSERT_NE(drawn, nullptr) << text.toStdString();
        EXPECT_EQ(drawn->baseline, QPointF(x, y)) << text.toStdString();
    }
    for (const auto& t : page.texts) {
        EXPECT_FALSE(t.text.contains(QStringLiteral("PSP"))) << t.text.toStdString();
    }
}

TEST_F(PrintPainterTest, WithTwentyThreeTimeEntriesTheDefectBlockOpensTheNextPage)
{
    project_.timeLog.entries.clear();
    AddTimeEntries(project_, 23);
    Page first = Record(2);
    EXPECT_NE(first.Find(QStringLiteral("23")), nullptr);
    EXPECT_EQ(first.Find(QStringLiteral("バグ記録")), nullptr);
    EXPECT_TRUE(first.HasLine(300, 3900, 2640, 3900)); // the time block's closing ruling

    Page next = Record(3);
    EXPECT_EQ(next.Find(QStringLiteral("時間記録")), nullptr);
    const RecordedText* title = next.Find(QStringLiteral("バグ記録"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->baseline, QPointF(340, BaselineOf(350, 72)));
    const RecordedText* firstDefect = next.Find(QStringLiteral("01"));
    ASSERT_NE(firstDefect, nullptr);
    EXPECT_EQ(firstDefect->baseline.y(), BaselineOf(144 * 2 + 340, 72));
}

TEST_F(PrintPainterTest, EntryNumbersWrapToDoubleZeroAfterNinetyNine)
{
    project_.timeLog.entries.clear();
    project_.defectLog.entries.clear();
    AddTimeEntries(project_, 100);
    // Entries 0..22 on log page 0, then 25 a page: entries 98 and 99 open log page 4.
    Page page = Record(6);
    const RecordedText* ninetyNine = page.Find(QStringLiteral("99"));
    const RecordedText* hundred = page.Find(QStringLiteral("00"));
    ASSERT_NE(ninetyNine, nullptr);
    ASSERT_NE(hundred, nullptr);
    EXPECT_EQ(ninetyNine->baseline, QPointF(330, BaselineOf(340, 72)));
    EXPECT_EQ(hundred->baseline, QPointF(330, BaselineOf(144 + 340, 72)));
    EXPECT_EQ(page.Find(QStringLiteral("100")), nullptr);
}

TEST_F(PrintPainterTest, RendersIntoAnImageWithInkInsideThePage)
{
    QImage image(1190, 1703, QImage::Format_RGB32);
    image.fill(Qt::white);
    PrintPainter painter(project_, PhaseTableTextsOf(project_), clock_);
    {
        QPainter p(&image);
        painter.PaintPage(p, 1);
    }
    // The phase table's bottom line at 2080 lands on row 2080 * 1703 / 4070 of the image.
    int row = qRound(2080.0 * 1703 / 4070);
    int dark = 0;
    for (int x = 0; x < image.width(); ++x) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (qGray(image.pixel(x, row + dy)) < 128) {
                ++dark;
                break;
            }
        }
    }
    // Two tables share the line: 300..1170 and 1300..2600 logical, about 908 pixels.
    EXPECT_GT(dark, 880);
    EXPECT_LT(dark, 940);
}

TEST_F(PrintPainterTest, PdfHasOnePagePerPrintedPage)
{
    TempFolder dir;
    AddDefects(project_, 30);
    PrintPainter painter(project_, PhaseTableTextsOf(project_), clock_);
    ASSERT_EQ(painter.PageCount(), 2 + (2 + 32 + 3) / 25);
    {
        QPdfWriter writer(QString::fromStdString(dir.Path("out.pdf")));
        ASSERT_TRUE(painter.PrintPages(writer, 1, painter.PageCount()));
    }
    auto pdf = ReadWholeFile(dir.Path("out.pdf"));
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->substr(0, 4), "%PDF");
    EXPECT_EQ(PdfPageCount(*pdf), painter.PageCount());
}

TEST_F(PrintPainterTest, TheQualityPageFollowsTheLogsOnlyWhenAskedFor)
{
    const PrintPainter plain(project_, PhaseTableTextsOf(project_), clock_);
    const PrintPainter withQuality(project_, PhaseTableTextsOf(project_), clock_, true);
    ASSERT_EQ(withQuality.PageCount(), plain.PageCount() + 1);
    auto texts = [](const PrintPainter& painter, int page) {
        RecordingDevice device(4760, 6814);
        {
            QPainter p(&device);
            painter.PaintPage(p, page);
        }
        std::vector<QString> found;
        for (const RecordedText& t : JoinRuns(device.Engine().texts)) {
            found.push_back(t.text);
        }
        return found;
    };
    auto has = [](const std::vector<QString>& found, const QString& text) {
        return std::find(found.begin(), found.end(), text) != found.end();
    };
    const std::vector<QString> last = texts(withQuality, withQuality.PageCount());
    EXPECT_TRUE(has(last, QStringLiteral("品質の指標")));
    EXPECT_TRUE(has(last, QStringLiteral("歩留まり(%)")));
    EXPECT_TRUE(has(last, QStringLiteral("A/FR")));
    // Off by default: the last page is a log page.
    EXPECT_FALSE(has(texts(plain, plain.PageCount()), QStringLiteral("品質の指標")));
    EXPECT_FALSE(has(texts(withQuality, plain.PageCount()), QStringLiteral("品質の指標")));
}

TEST_F(PrintPainterTest, UnwritablePdfIsReportedAsFailure)
{
    TempFolder dir;
    PrintPainter painter(project_, PhaseTableTextsOf(project_), clock_);
    QPdfWriter writer(QString::fromStdString(dir.Path("missing/out.pdf")));
    EXPECT_FALSE(painter.PrintPages(writer, 1, painter.PageCount()));
}
