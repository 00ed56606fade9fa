#include "statistics/ChartPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "ui/QtText.h"

namespace quilvane {
namespace {

constexpr double Margin = 8.0;
const QColor BarColor(70, 120, 190);
const QColor ReferenceColor(200, 60, 60);
const QColor FrameColor(150, 150, 150);

} // namespace

DrawnPanel PaintBarPanel(QPainter& painter, const QRectF& area, const ChartPanel& panel)
{
    DrawnPanel drawn;
    drawn.area = area;
    drawn.title = QString::fromStdString(panel.title) + QStringLiteral(" (") +
                  QString::fromStdString(panel.unit) + QStringLiteral(")");
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height();

    painter.save();
    painter.setPen(FrameColor);
    painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setPen(Qt::black);
    const QRectF titleRect(area.left() + Margin, area.top() + 2, area.width() - 2 * Margin, line + 2);
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(drawn.title, Qt::ElideRight, titleRect.width()));

    // Room above the bars for their values and below for their names.
    const QRectF plot(area.left() + Margin, titleRect.bottom() + line + 2, area.width() - 2 * Margin,
                      area.height() - titleRect.height() - 3 * line - 8);
    if (panel.bars.empty() || plot.width() <= 0 || plot.height() <= 0) {
        drawn.emptyText = QStringLiteral("完了したプロジェクトがありません");
        painter.setPen(FrameColor);
        painter.drawText(area, Qt::AlignCenter, drawn.emptyText);
        painter.restore();
        return drawn;
    }

    double top = panel.reference.value_or(0.0);
    for (const ChartBar& bar : panel.bars) {
        if (std::isfinite(bar.value)) {
            top = std::max(top, bar.value);
        }
    }
    if (top <= 0.0) {
        top = 1.0;
    }
    const double slot = plot.width() / static_cast<double>(panel.bars.size());
    const double barWidth = std::max(1.0, slot * 0.7);
    painter.setPen(FrameColor);
    painter.drawLine(QPointF(plot.left(), plot.bottom()), QPointF(plot.right(), plot.bottom()));

    drawn.bars.reserve(panel.bars.size());
    for (std::size_t i = 0; i < panel.bars.size(); ++i) {
        const ChartBar& bar = panel.bars[i];
        const double share = std::isfinite(bar.value) ? std::clamp(bar.value / top, 0.0, 1.0) : 0.0;
        const double x = plot.left() + slot * static_cast<double>(i) + (slot - barWidth) / 2;
        DrawnBar out;
        out.value = bar.value;
        out.rect = QRectF(x, plot.bottom() - share * plot.height(), barWidth, share * plot.height());
        painter.fillRect(out.rect, BarColor);

        // Labels only where they fit their slot: with hundreds of projects the bars speak alone.
        const QString value = QString::fromStdString(ChartValueText(bar.value, panel.decimals));
        if (metrics.horizontalAdvance(value) <= slot) {
            out.valueText = value;
            painter.setPen(Qt::black);
            painter.drawText(QRectF(x - (slot - barWidth) / 2, out.rect.top() - line - 1, slot, line),
                             Qt::AlignHCenter | Qt::AlignBottom, value);
        }
        const QString name = ToQ(bar.label);
        if (slot >= metrics.horizontalAdvance(QStringLiteral("MM"))) {
            out.label = metrics.elidedText(name, Qt::ElideRight, slot);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(x - (slot - barWidth) / 2, plot.bottom() + 2, slot, line),
                             Qt::AlignHCenter | Qt::AlignTop, out.label);
        }
        drawn.bars.push_back(out);
    }

    if (panel.reference) {
        const double y = plot.bottom() - std::clamp(*panel.reference / top, 0.0, 1.0) * plot.height();
        QPen pen(ReferenceColor);
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.restore();
    return drawn;
}

std::vector<DrawnPanel> PaintChartFigures(QPainter& painter, const QRectF& area, const ChartFigures& figures)
{
    painter.fillRect(area, Qt::white);
    std::vector<DrawnPanel> drawn;
    const std::size_t count = figures.panels.size();
    if (count == 0) {
        return drawn;
    }
    const std::size_t rows = (count + 1) / 2;
    const double height = area.height() / static_cast<double>(rows);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t row = i / 2;
        // A last panel alone in its row takes the whole width.
        const bool alone = i + 1 == count && count % 2 == 1;
        const double width = alone ? area.width() : area.width() / 2;
        const double x = area.left() + (alone ? 0.0 : static_cast<double>(i % 2) * width);
        const QRectF cell(x, area.top() + static_cast<double>(row) * height, width, height);
        drawn.push_back(PaintBarPanel(painter, cell.adjusted(4, 4, -4, -4), figures.panels[i]));
    }
    return drawn;
}

} // namespace quilvane
