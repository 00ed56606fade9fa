#include "mainwindow/PrintPainter.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QTextLayout>
#include <algorithm>
#include <span>

#include "mainwindow/PrintQualityPage.h"
#include "platform/TimeText.h"
#include "ui/DialogFont.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

constexpr int HeaderHeight = 72;
constexpr int FormBodyHeight = 96;
constexpr int TitleHeight = 144;
constexpr int MemoHeight = 72;
constexpr int LogBodyHeight = 72;
constexpr int LogCellHeight = 104;

// A text position names the top-left corner of the text's cell. The form's face has a cell as
// high as the font with the baseline 220/256 of that below the top; using these proportions
// rather than the installed face's keeps every line where the form puts it, whichever
// substitute face is drawing.
constexpr qreal AscentShare = 220.0 / 256.0;

enum class Align { Left, Right };
// What happens to a text wider than its room: cut at the edge; first narrowed to fit (and cut
// only what is still too wide at the narrowest); or narrowed and, where that is not enough,
// wrapped onto lines of a smaller size that share the cell's height, so that names and
// comments are read whole.
enum class Overflow { Clip, Narrow, Fit };

// The substitute faces set digits and Latin letters wider than the face the form was laid out
// for, so numbers and times that would run over the next ruling are narrowed instead, never
// below half their width.
constexpr int MinStretch = 50;
// Room kept free before the next column's ruling.
constexpr int RulingGap = 20;
// A cell holds at most this many wrapped lines; below that size a print is hard to read.
constexpr int MaxWrappedLines = 3;
constexpr int StretchStep = 5;

qreal Baseline(const QPainter& painter, qreal top)
{
    return top + AscentShare * painter.font().pixelSize();
}

void Line(QPainter& painter, int x1, std::int64_t y1, int x2, std::int64_t y2)
{
    painter.drawLine(QPointF(x1, static_cast<qreal>(y1)), QPointF(x2, static_cast<qreal>(y2)));
}

qreal Advance(const QPainter& painter, const QString& text)
{
    return QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
}

void TextAt(QPainter& painter, qreal x, qreal top, const QString& text)
{
    painter.drawText(QPointF(x, Baseline(painter, top)), text);
}

// Narrows the painter's font so that `text` is at most `width` wide; false when it fits as is.
bool NarrowToFit(QPainter& painter, const QString& text, qreal width)
{
    qreal advance = Advance(painter, text);
    if (advance <= width || advance <= 0) {
        return false;
    }
    QFont narrow = painter.font();
    narrow.setStretch(std::max(MinStretch, static_cast<int>(100 * width / advance)));
    painter.setFont(narrow);
    return true;
}

// A text at (x, top) that must end before `right`.
void TextBefore(QPainter& painter, qreal x, qreal top, qreal right, const QString& text)
{
    const QFont font = painter.font();
    NarrowToFit(painter, text, right - RulingGap - x);
    TextAt(painter, x, top, text);
    painter.setFont(font);
}

// `text` broken into lines no wider than `width` at the painter's device, breaking between
// words where it can and anywhere else where it must (Japanese has no blanks to break at).
std::vector<QString> WrapLines(const QPainter& painter, const QFont& font, const QString& text, qreal width)
{
    QTextLayout layout(text, font, painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    std::vector<QString> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.push_back(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

struct FittedText {
    QFont font;
    std::vector<QString> lines;
};

// The largest font (by size first, then by width) at which `text` fits a `width` x `height`
// cell on at most MaxWrappedLines lines; the narrowest, smallest try when nothing fits.
FittedText FitText(const QPainter& painter, const QString& text, qreal width, qreal height)
{
    const QFont& base = painter.font();
    FittedText fitted{base, {text}};
    for (int count = 1; count <= MaxWrappedLines; ++count) {
        QFont font = base;
        font.setPixelSize(std::min(base.pixelSize(), static_cast<int>(height / count)));
        for (int stretch = 100; stretch >= MinStretch; stretch -= StretchStep) {
            font.setStretch(stretch);
            if (count == 1) {
                if (QFontMetricsF(font, painter.device()).horizontalAdvance(text) <= width) {
                    return {font, {text}};
                }
                continue;
            }
            std::vector<QString> lines = WrapLines(painter, font, text, width);
            fitted = {font, lines};
            if (static_cast<int>(lines.size()) <= count) {
                return fitted;
            }
        }
    }
    return fitted;
}

// One or more lines in a rectangle, each aligned on its own.
void TextIn(QPainter& painter, const PrintRect& rect, const std::vector<QString>& lines, Align align,
            Overflow overflow)
{
    QRectF box(QPointF(static_cast<qreal>(rect.left), static_cast<qreal>(rect.top)),
               QPointF(static_cast<qreal>(rect.right), static_cast<qreal>(rect.bottom)));
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    const QFont font = painter.font();
    const qreal lineHeight = font.pixelSize();
    qreal top = box.top();
    // A fitted text keeps clear of the ruling that closes its cell.
    if (overflow == Overflow::Fit && lines.size() == 1 &&
        Advance(painter, lines.front()) > box.width() - RulingGap) {
        FittedText fitted = FitText(painter, lines.front(), box.width() - RulingGap, box.height());
        painter.setFont(fitted.font);
        for (const auto& line : fitted.lines) {
            qreal x = align == Align::Left ? box.left() : box.right() - Advance(painter, line);
            TextAt(painter, x, top, line);
            top += fitted.font.pixelSize();
        }
        painter.setFont(font);
        painter.restore();
        return;
    }
    for (const auto& text : lines) {
        if (top >= box.bottom()) {
            break;
        }
        if (overflow == Overflow::Narrow) {
            NarrowToFit(painter, text, box.width());
        }
        qreal x = align == Align::Left ? box.left() : box.right() - Advance(painter, text);
        TextAt(painter, x, top, text);
        painter.setFont(font);
        top += lineHeight;
    }
    painter.restore();
}

void TextIn(QPainter& painter, const PrintRect& rect, const QString& text, Align align, Overflow overflow)
{
    TextIn(painter, rect, std::vector<QString>{text}, align, overflow);
}

std::vector<QString> ToQLineList(const std::string& text)
{
    std::vector<QString> lines;
    for (const auto& line : TextLines(text)) {
        lines.push_back(ToQ(line));
    }
    return lines;
}

} // namespace

PrintPainter::PrintPainter(const ProjectRecord& project, PhaseTableTexts phaseTable, const TimeSource& clock,
                           bool qualityPage)
    : project_(project), phaseTable_(std::move(phaseTable)), clock_(clock), qualityPage_(qualityPage),
      pageCount_(PrintPageCount(project.timeLog.entries.size(), project.defectLog.entries.size()) +
                 (qualityPage ? 1 : 0))
{
}

QFont PrintPainter::PrintFont(int height)
{
    QFont font(QString::fromUtf8(DialogFaceName));
    font.setPixelSize(height);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Outlines scaled exactly with the page mapping; hinting at one size would distort another.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

qreal PrintPainter::PageScale(int width, int height)
{
    // Equal units in x and y: the logical page fills one dimension of the printable area.
    return std::min(static_cast<qreal>(width) / PrintPageWidth, static_cast<qreal>(height) / PrintPageHeight);
}

void PrintPainter::PaintPage(QPainter& painter, int page) const
{
    painter.save();
    const QPaintDevice* device = painter.device();
    // One scale for both axes; integer window and viewport extents would skew it slightly.
    const qreal scale = PageScale(device->width(), device->height());
    painter.scale(scale, scale);
    QPen pen(Qt::black);
    pen.setWidth(0); // one device pixel, as the device's default pen draws
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);

    PaintHeader(painter, page);
    if (page == 1) {
        painter.setFont(PrintFont(FormBodyHeight));
        PaintFormPage(painter);
    } else if (qualityPage_ && page == pageCount_) {
        PaintQualityPage(painter, project_);
    } else if (page >= 2) {
        painter.setFont(PrintFont(LogBodyHeight));
        PaintLogPage(painter, page - 2);
    }
    painter.restore();
}

void PrintPainter::PaintHeader(QPainter& painter, int page) const
{
    painter.setFont(PrintFont(HeaderHeight));
    // The ctime text ends in a line feed, so the header is two right-aligned lines: the time,
    // then the student, project and page.
    std::string text = PrintHeaderText(WindowsCtime(clock_.Now()), project_.overview.userName,
                                       project_.projectName, page, pageCount_);
    TextIn(painter, {300, 140, 2600, 300}, ToQLineList(text), Align::Right, Overflow::Narrow);
}

void PrintPainter::PaintFormPage(QPainter& painter) const
{
    const QFont body = painter.font();
    painter.setFont(PrintFont(TitleHeight));
    TextAt(painter, 350, 320, QStringLiteral("PSP演習"));
    painter.setFont(body);

    const QString headings[] = {
        QStringLiteral("課題 : ") + ToQ(project_.projectName),
        QStringLiteral("氏名 : ") + ToQ(project_.overview.userName),
        QStringLiteral("ベース : ") + ToQ(PrintedBaseName(project_.estimate.baseName)),
    };
    for (int i = 0; i < 3; ++i) {
        int y0 = 680 + 200 * i;
        TextAt(painter, 350, y0 - 120, headings[i]);
        Line(painter, 300, y0, 1170, y0);
    }

    PaintSizeTable(painter);
    PaintPhaseTable(painter);

    TextAt(painter, 1350, 2160,
           QStringLiteral("バグ : ") + QString::fromStdString(FormatSize(
                                           static_cast<std::int64_t>(project_.defectLog.entries.size()))));
    Line(painter, 1300, 2280, 1820, 2280);
    TextAt(painter, 350, 2160, QStringLiteral("メモ"));
    Line(painter, 300, 2280, 600, 2280);

    painter.setFont(PrintFont(MemoHeight));
    TextIn(painter, {340, 2380, 2560, 3820}, ToQLineList(project_.memo), Align::Left, Overflow::Clip);
    painter.drawRect(QRectF(QPointF(300, 2340), QPointF(2600, 3860)));
    painter.setFont(body);
}

void PrintPainter::PaintSizeTable(QPainter& painter) const
{
    for (int y = 1180; y <= 2080; y += 180) {
        Line(painter, 300, y, 1170, y);
    }
    for (int x : {300, 630, 900, 1170}) {
        Line(painter, x, 1180, x, 2080);
    }
    TextAt(painter, 340, 1230, QStringLiteral("(LOC)"));
    TextAt(painter, 670, 1230, QStringLiteral("計画"));
    TextAt(painter, 940, 1230, QStringLiteral("実績"));
    const QString labels[] = {QStringLiteral("再利用"), QStringLiteral("削除"), QStringLiteral("新規"),
                              QStringLiteral("計")};
    const auto values = SizeTableValues(project_.estimate, project_.result);
    for (int row = 0; row < 4; ++row) {
        int y = 1410 + 180 * row;
        TextAt(painter, 340, y, labels[row]);
        TextBefore(painter, 670, y, 900, QString::fromStdString(values[static_cast<std::size_t>(row)][0]));
        TextBefore(painter, 940, y, 1170, QString::fromStdString(values[static_cast<std::size_t>(row)][1]));
    }
}

void PrintPainter::PaintPhaseTable(QPainter& painter) const
{
    // The table shows the texts it was given; without even a totals row it is a bare grid.
    const std::size_t rows = phaseTable_.size();
    const std::size_t phases = rows > 0 ? rows - 1 : 0;
    const std::int64_t top = PhaseTableLineY(phases, 0);
    const std::int64_t bottom = PhaseTableLineY(phases, phases + 2);
    for (std::size_t i = 0; i <= phases + 2; ++i) {
        std::int64_t y = PhaseTableLineY(phases, i);
        Line(painter, PhaseTableColumnX.front(), y, PhaseTableColumnX.back(), y);
    }
    for (int x : PhaseTableColumnX) {
        Line(painter, x, top, x, bottom);
    }
    const qreal headingY = static_cast<qreal>(top + 50);
    TextAt(painter, 1340, headingY, QStringLiteral("工程 (分)"));
    TextAt(painter, 1890, headingY, QStringLiteral("計画"));
    TextAt(painter, 2140, headingY, QStringLiteral("実績"));
    TextAt(painter, 2390, headingY, QStringLiteral("割合"));
    for (std::size_t r = 0; r < rows; ++r) {
        for (int j = 0; j < 4; ++j) {
            TextIn(painter, PhaseTableCell(phases, r, j), ToQ(phaseTable_[r][static_cast<std::size_t>(j)]),
                   j == 0 ? Align::Left : Align::Right, j == 0 ? Overflow::Fit : Overflow::Narrow);
        }
    }
}

void PrintPainter::PaintLogPage(QPainter& painter, int logPage) const
{
    for (const auto& slice :
         LogPageSlices(project_.timeLog.entries.size(), project_.defectLog.entries.size(), logPage)) {
        PaintLogSlice(painter, slice);
    }
}

namespace {

// A log block's rulings from its column table: the entry number's column, one ruling left of
// every printed column in their order, and the right edge.
template <class Entry> std::vector<int> Rulings(const std::vector<const LogColumn<Entry>*>& printed)
{
    std::vector<int> x{PrintedLogLeft};
    for (const auto* column : printed) {
        x.push_back(column->printX);
    }
    x.push_back(PrintedLogRight);
    return x;
}

template <class Entry>
void PaintLogEntry(QPainter& painter, const std::vector<const LogColumn<Entry>*>& printed, const Entry& entry,
                   std::size_t index, int y)
{
    const std::vector<int> x = Rulings(printed);
    TextBefore(painter, x[0] + 30, y, x[1], QString::fromStdString(LogEntryNumber(index)));
    for (std::size_t c = 0; c < printed.size(); ++c) {
        const int left = x[c + 1] + 30;
        const int right = x[c + 2];
        const QString text = ToQ(printed[c]->printCell(entry));
        if (printed[c]->printed == PrintedCell::BeforeRuling) {
            TextBefore(painter, left, y, right, text);
        } else {
            TextIn(painter, {left, y, right, y + LogCellHeight}, text, Align::Left, Overflow::Fit);
        }
    }
}

template <class Entry>
void PaintLogBlock(QPainter& painter, const LogBlockSlice& slice, const LogSlicePlacement& place,
                   std::span<const LogColumn<Entry>> table, const std::vector<Entry>& entries)
{
    const std::vector<const LogColumn<Entry>*> printed = PrintedColumns(table);
    const std::vector<int> columns = Rulings(printed);
    if (place.titleLine) {
        TextAt(painter, 340, LogTitleY(*place.titleLine),
               slice.block == LogBlock::Time ? QStringLiteral("時間記録") : QStringLiteral("バグ記録"));
    }
    for (int line = place.firstRuledLine; line <= place.lastRuledLine; ++line) {
        Line(painter, columns.front(), LogRuleY(line), columns.back(), LogRuleY(line));
    }
    if (place.lastRuledLine > place.firstRuledLine) {
        for (int x : columns) {
            Line(painter, x, LogRuleY(place.firstRuledLine), x, LogRuleY(place.lastRuledLine));
        }
    }
    if (place.headingLine) {
        for (std::size_t j = 0; j < printed.size(); ++j) {
            TextAt(painter, columns[j + 1] + 30, LogTextY(*place.headingLine),
                   QString::fromUtf8(printed[j]->printTitle));
        }
    }
    for (std::int64_t e = 0; e < place.entryCount; ++e) {
        auto index = static_cast<std::size_t>(place.firstEntry + e);
        if (index >= entries.size()) {
            break;
        }
        PaintLogEntry(painter, printed, entries[index], index,
                      LogTextY(place.firstEntryLine + static_cast<int>(e)));
    }
}

} // namespace

void PrintPainter::PaintLogSlice(QPainter& painter, const LogBlockSlice& slice) const
{
    auto place = PlaceLogSlice(slice);
    if (!place) {
        return;
    }
    if (slice.block == LogBlock::Time) {
        PaintLogBlock(painter, slice, *place, TimeLogColumns(), project_.timeLog.entries);
    } else {
        PaintLogBlock(painter, slice, *place, DefectLogColumns(), project_.defectLog.entries);
    }
}

bool PrintPainter::PrintPages(QPagedPaintDevice& device, int first, int last) const
{
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            return false;
        }
        PaintPage(painter, page);
    }
    return painter.end();
}

bool PrintPainter::Print(QPrinter& printer) const
{
    int first = 1;
    int last = pageCount_;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(first, printer.fromPage());
        last = std::min(last, printer.toPage() > 0 ? printer.toPage() : last);
    }
    if (first > last) {
        return true;
    }
    return PrintPages(printer, first, last);
}

} // namespace quilvane
