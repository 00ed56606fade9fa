#include "statistics/ChartPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/QtText.h"

namespace quilvane {
namespace {

constexpr double Margin = 8.0;
const QColor BarColor(70, 120, 190);
const QColor ReferenceColor(200, 60, 60);
const QColor FrameColor(150, 150, 150);
const QColor CumulativeColor(230, 130, 30);

QString TitleText(const std::string& title, const std::string& unit)
{
    return QString::fromStdString(title) + QStringLiteral(" (") + QString::fromStdString(unit) +
           QStringLiteral(")");
}

// Every panel's frame and its title on the first line; returns where the title went.
QRectF PaintFrameAndTitle(QPainter& painter, const QRectF& area, const QString& title)
{
    const QFontMetricsF metrics(painter.font());
    painter.setPen(FrameColor);
    painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setPen(Qt::black);
    const QRectF titleRect(area.left() + Margin, area.top() + 2, area.width() - 2 * Margin,
                           metrics.height() + 2);
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(title, Qt::ElideRight, titleRect.width()));
    return titleRect;
}

// A panel with nothing to draw says so in its middle; ends the painting begun with save().
DrawnPanel EndAsEmpty(QPainter& painter, DrawnPanel drawn, const QString& text)
{
    drawn.emptyText = text;
    painter.setPen(FrameColor);
    painter.drawText(drawn.area, Qt::AlignCenter, drawn.emptyText);
    painter.restore();
    return drawn;
}

} // namespace

DrawnPanel PaintBarPanel(QPainter& painter, const QRectF& area, const ChartPanel& panel)
{
    DrawnPanel drawn;
    drawn.area = area;
    drawn.title = TitleText(panel.title, panel.unit);
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height();

    painter.save();
    const QRectF titleRect = PaintFrameAndTitle(painter, area, drawn.title);

    // Room above the bars for their values and below for their names.
    const QRectF plot(area.left() + Margin, titleRect.bottom() + line + 2, area.width() - 2 * Margin,
                      area.height() - titleRect.height() - 3 * line - 8);
    if (panel.bars.empty() || plot.width() <= 0 || plot.height() <= 0) {
        return EndAsEmpty(painter, std::move(drawn), QString::fromStdString(panel.emptyText));
    }

    // The value axis runs from 0 (or, on a signed axis, the lowest value) to the highest value
    // or the reference: an estimating error below the plan is a bar hanging under the zero line.
    double top = panel.reference.value_or(0.0);
    double bottom = 0.0;
    for (const ChartBar& bar : panel.bars) {
        if (std::isfinite(bar.value)) {
            top = std::max(top, bar.value);
            bottom = panel.signedAxis ? std::min(bottom, bar.value) : bottom;
        }
    }
    if (top - bottom <= 0.0) {
        top = bottom + 1.0;
    }
    if (bottom < 0.0) {
        // Room under the lowest bar for its label, as the highest has room above it.
        bottom -= 0.12 * (top - bottom);
    }
    auto levelY = [&](double value) {
        return plot.bottom() - std::clamp((value - bottom) / (top - bottom), 0.0, 1.0) * plot.height();
    };
    const double zeroY = levelY(0.0);
    const double slot = plot.width() / static_cast<double>(panel.bars.size());
    const double barWidth = std::max(1.0, slot * 0.7);
    painter.setPen(FrameColor);
    painter.drawLine(QPointF(plot.left(), plot.bottom()), QPointF(plot.right(), plot.bottom()));
    if (bottom < 0.0) {
        painter.drawLine(QPointF(plot.left(), zeroY), QPointF(plot.right(), zeroY));
    }

    drawn.bars.reserve(panel.bars.size());
    for (std::size_t i = 0; i < panel.bars.size(); ++i) {
        const ChartBar& bar = panel.bars[i];
        const double valueY = std::isfinite(bar.value) ? levelY(bar.value) : zeroY;
        const double x = plot.left() + slot * static_cast<double>(i) + (slot - barWidth) / 2;
        DrawnBar out;
        out.value = bar.value;
        out.rect = QRectF(x, std::min(valueY, zeroY), barWidth, std::abs(zeroY - valueY));
        painter.fillRect(out.rect, BarColor);

        // Labels only where they fit their slot: with hundreds of projects the bars speak alone.
        const QString value = QString::fromStdString(ChartValueText(bar.value, panel.decimals));
        if (metrics.horizontalAdvance(value) <= slot) {
            out.valueText = value;
            painter.setPen(Qt::black);
            // Above a bar that rises from the zero line, below one that hangs from it.
            const bool hanging = valueY > zeroY;
            const double labelTop =
                hanging ? std::min(out.rect.bottom() + 1, plot.bottom() - line) : out.rect.top() - line - 1;
            painter.drawText(QRectF(x - (slot - barWidth) / 2, labelTop, slot, line),
                             Qt::AlignHCenter | (hanging ? Qt::AlignTop : Qt::AlignBottom), value);
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

    if (panel.cumulative.size() == panel.bars.size()) {
        QPen pen(CumulativeColor);
        pen.setWidthF(2.0);
        QPointF previous;
        for (std::size_t i = 0; i < drawn.bars.size(); ++i) {
            DrawnBar& out = drawn.bars[i];
            const double percent = panel.cumulative[i];
            out.cumulative = percent;
            const QPointF point(out.rect.center().x(),
                                plot.bottom() - std::clamp(percent / 100.0, 0.0, 1.0) * plot.height());
            painter.setPen(pen);
            if (i > 0) {
                painter.drawLine(previous, point);
            }
            painter.drawEllipse(point, 2.5, 2.5);
            previous = point;
            const QString text = QString::fromStdString(ChartValueText(percent, 0)) + QStringLiteral("%");
            if (metrics.horizontalAdvance(text) <= slot) {
                out.cumulativeText = text;
                painter.setPen(CumulativeColor);
                // Above the point on a light ground, so that it stays readable over a bar; below
                // it where it would hide the bar's own value.
                const double width = metrics.horizontalAdvance(text) + 4;
                QRectF box(point.x() - width / 2, point.y() - line - 4, width, line);
                const double valueWidth = metrics.horizontalAdvance(out.valueText);
                const QRectF valueBox(out.rect.center().x() - valueWidth / 2, out.rect.top() - line - 1,
                                      valueWidth, line);
                if (!out.valueText.isEmpty() && box.intersects(valueBox)) {
                    box.moveTop(point.y() + 4);
                }
                painter.fillRect(box, QColor(255, 255, 255, 210));
                painter.drawText(box, Qt::AlignCenter, text);
            }
        }
    }

    if (panel.reference) {
        const double y = levelY(*panel.reference);
        QPen pen(ReferenceColor);
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.restore();
    return drawn;
}

DrawnPanel PaintDefectMatrix(QPainter& painter, const QRectF& area, const DefectMatrixFigure& matrix)
{
    DrawnPanel drawn;
    drawn.area = area;
    drawn.title = TitleText(matrix.title, matrix.unit);
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height();

    painter.save();
    const QRectF titleRect = PaintFrameAndTitle(painter, area, drawn.title);

    const QRectF table(area.left() + Margin, titleRect.bottom() + 4, area.width() - 2 * Margin,
                       area.bottom() - titleRect.bottom() - 4 - Margin);
    if (matrix.injected.empty() || matrix.removed.empty() || table.width() <= 0 || table.height() <= 0) {
        return EndAsEmpty(painter, std::move(drawn), QStringLiteral("欠陥の記録がありません"));
    }

    for (const std::string& name : matrix.injected) {
        drawn.rowHeaders.push_back(ToQ(name));
    }
    for (const std::string& name : matrix.removed) {
        drawn.columnHeaders.push_back(ToQ(name));
    }
    // The header column as wide as its longest phase name, but never more than a third.
    double headerWidth = metrics.horizontalAdvance(QStringLiteral("MMMM"));
    for (const QString& name : drawn.rowHeaders) {
        headerWidth = std::max(headerWidth, metrics.horizontalAdvance(name) + 8);
    }
    headerWidth = std::min(headerWidth, table.width() / 3);
    const double columnWidth = (table.width() - headerWidth) / static_cast<double>(matrix.removed.size());
    const double rowHeight =
        std::min(line + 6, table.height() / static_cast<double>(matrix.injected.size() + 1));

    painter.setPen(Qt::black);
    for (std::size_t c = 0; c < drawn.columnHeaders.size(); ++c) {
        const QRectF cell(table.left() + headerWidth + columnWidth * static_cast<double>(c), table.top(),
                          columnWidth, rowHeight);
        painter.drawText(cell, Qt::AlignCenter,
                         metrics.elidedText(drawn.columnHeaders[c], Qt::ElideRight, columnWidth - 4));
    }
    for (std::size_t r = 0; r < drawn.rowHeaders.size(); ++r) {
        const double y = table.top() + rowHeight * static_cast<double>(r + 1);
        painter.setPen(FrameColor);
        painter.drawLine(
            QPointF(table.left(), y),
            QPointF(table.left() + headerWidth + columnWidth * static_cast<double>(matrix.removed.size()),
                    y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(table.left(), y, headerWidth - 4, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(drawn.rowHeaders[r], Qt::ElideRight, headerWidth - 4));
        std::vector<QString> texts;
        for (std::size_t c = 0; c < drawn.columnHeaders.size(); ++c) {
            const std::int32_t count =
                r < matrix.counts.size() && c < matrix.counts[r].size() ? matrix.counts[r][c] : 0;
            const QString text = count != 0 ? QString::number(count) : QString();
            painter.drawText(QRectF(table.left() + headerWidth + columnWidth * static_cast<double>(c), y,
                                    columnWidth, rowHeight),
                             Qt::AlignCenter, text);
            texts.push_back(text);
        }
        drawn.cells.push_back(std::move(texts));
    }
    painter.setPen(FrameColor);
    painter.drawLine(QPointF(table.left() + headerWidth - 2, table.top()),
                     QPointF(table.left() + headerWidth - 2,
                             table.top() + rowHeight * static_cast<double>(matrix.injected.size() + 1)));
    painter.restore();
    return drawn;
}

std::vector<DrawnPanel> PaintChartFigures(QPainter& painter, const QRectF& area, const ChartFigures& figures)
{
    painter.fillRect(area, Qt::white);
    std::vector<DrawnPanel> drawn;
    if (figures.panels.empty()) {
        return drawn;
    }
    // The bar panels, then the matrix.
    const std::size_t count = figures.panels.size() + 1;
    const std::size_t rows = (count + 1) / 2;
    const double height = area.height() / static_cast<double>(rows);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t row = i / 2;
        // A last panel alone in its row takes the whole width.
        const bool alone = i + 1 == count && count % 2 == 1;
        const double width = alone ? area.width() : area.width() / 2;
        const double x = area.left() + (alone ? 0.0 : static_cast<double>(i % 2) * width);
        const QRectF cell(x, area.top() + static_cast<double>(row) * height, width, height);
        const QRectF inner = cell.adjusted(4, 4, -4, -4);
        drawn.push_back(i < figures.panels.size() ? PaintBarPanel(painter, inner, figures.panels[i])
                                                  : PaintDefectMatrix(painter, inner, figures.defectMatrix));
    }
    return drawn;
}

} // namespace quilvane
