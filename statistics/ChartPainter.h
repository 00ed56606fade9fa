#pragma once
// Draws the history's chart panels on any QPainter (a widget, an image for PNG, a test's
// image) and tells what it drew, so that callers and tests can check the bars and labels
// without reading pixels. Each panel is a bar chart of its own; further kinds of chart draw
// into a panel's area with PaintBarPanel's conventions.
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "statistics/ChartFigures.h"

class QPainter;

namespace quilvane {

struct DrawnBar {
    QString label;     // the project or phase name under the bar; empty when it did not fit
    QString valueText; // the value above the bar; empty when it did not fit
    double value = 0.0;
    QRectF rect;
    // The running percent at this bar, where the panel has one; its label is empty when it did
    // not fit.
    std::optional<double> cumulative;
    QString cumulativeText;
};

struct DrawnPanel {
    QString title;
    QRectF area;
    // Shown instead of bars when the panel has none.
    QString emptyText;
    std::vector<DrawnBar> bars;
    // A table panel's headers and cell texts ([row][column]), as shown.
    std::vector<QString> rowHeaders;
    std::vector<QString> columnHeaders;
    std::vector<std::vector<QString>> cells;
};

// One panel in `area`: the title with its unit, a frame, the bars left to right in the panel's
// order scaled to the largest value (negative values draw as empty bars), the reference level
// as a dashed line, each bar's value above it and its name below, where there is room. A panel
// with running percents draws them as a line over the bars on a scale of its own, 0 to 100 %.
DrawnPanel PaintBarPanel(QPainter& painter, const QRectF& area, const ChartPanel& panel);

// The defect matrix in `area` as a table: the title, the removal phases across the top, the
// injected phases down the left, and the counts in the cells (empty where none).
DrawnPanel PaintDefectMatrix(QPainter& painter, const QRectF& area, const DefectMatrixFigure& matrix);

// All panels of `figures` and then its defect matrix in a grid of two columns filling `area`, on
// a white background; the last one alone in its row takes the whole width.
std::vector<DrawnPanel> PaintChartFigures(QPainter& painter, const QRectF& area, const ChartFigures& figures);

} // namespace quilvane
