#include "mainwindow/PrintQualityPage.h"

#include <QPainter>
#include <QString>
#include <array>

#include "mainwindow/PrintPainter.h"
#include "statistics/QualitySheet.h"

namespace quilvane {
namespace {

constexpr int TitleHeight = 144;
constexpr int BodyHeight = 64;
constexpr int FormulaHeight = 46;
constexpr int Left = 300;
constexpr int Right = 2600;
constexpr int RowPitch = 220;
constexpr int PhasePitch = 110;
// The measures' columns: caption, figure, formula.
constexpr std::array<int, 4> MeasureX{Left, 850, 1200, Right};
// The phases' columns: the phase, then one per figure.
constexpr std::array<int, 8> PhaseX{Left, 900, 1150, 1350, 1550, 1850, 2150, Right};

QString Q(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

void Cell(QPainter& painter, int left, int right, int top, int height, const QString& text, bool numeric,
          bool wrap = false)
{
    int flags =
        static_cast<int>(Qt::AlignVCenter) | static_cast<int>(numeric ? Qt::AlignRight : Qt::AlignLeft);
    if (wrap) {
        flags |= static_cast<int>(Qt::TextWordWrap);
    }
    painter.drawText(QRect(left + 10, top, right - left - 30, height), flags, text);
}

} // namespace

void PaintQualityPage(QPainter& painter, const ProjectRecord& project)
{
    const ProjectQualityPage page = MakeProjectQualityPage(ComputeProjectQuality(project));
    painter.setFont(PrintPainter::PrintFont(TitleHeight));
    painter.drawText(QPoint(Left + 50, 320 + TitleHeight), QStringLiteral("品質の指標"));

    int y = 650;
    painter.drawLine(Left, y, Right, y);
    for (const std::vector<QualityCell>& row : page.measures) {
        painter.setFont(PrintPainter::PrintFont(BodyHeight));
        Cell(painter, MeasureX[0], MeasureX[1], y, RowPitch, Q(row[0].text), false);
        Cell(painter, MeasureX[1], MeasureX[2], y, RowPitch, Q(row[1].text), true);
        painter.setFont(PrintPainter::PrintFont(FormulaHeight));
        Cell(painter, MeasureX[2], MeasureX[3], y, RowPitch, Q(row[2].text), false, true);
        y += RowPitch;
        painter.drawLine(Left, y, Right, y);
    }

    y += 200;
    const int tableTop = y;
    painter.setFont(PrintPainter::PrintFont(FormulaHeight));
    painter.drawLine(Left, y, Right, y);
    for (std::size_t i = 0; i < page.phaseGroups.size() && i + 1 < PhaseX.size(); ++i) {
        Cell(painter, PhaseX[i], PhaseX[i + 1], y, PhasePitch, Q(page.phaseGroups[i]), i > 0, true);
    }
    y += PhasePitch;
    painter.drawLine(Left, y, Right, y);
    painter.setFont(PrintPainter::PrintFont(BodyHeight));
    for (const std::vector<QualityCell>& row : page.phases) {
        if (y + PhasePitch > PrintPageHeight - 200) {
            break; // more phases than a page holds: the rest are in the view and the command
        }
        for (std::size_t i = 0; i < row.size() && i + 1 < PhaseX.size(); ++i) {
            Cell(painter, PhaseX[i], PhaseX[i + 1], y, PhasePitch, Q(row[i].text), row[i].numeric);
        }
        y += PhasePitch;
        painter.drawLine(Left, y, Right, y);
    }
    for (int x : PhaseX) {
        painter.drawLine(x, tableTop, x, y);
    }
    y += 100;
    for (const std::string& note : page.notes) {
        Cell(painter, Left, Right, y, PhasePitch, Q(note), false);
        y += PhasePitch;
    }
}

} // namespace quilvane
