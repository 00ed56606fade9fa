#pragma once
// The history charted inside the workbench: the statistics list's projects as bar charts of
// productivity, estimation accuracy, defect density and phase shares, with the defect types by
// count and where defects were injected and removed. The view shows the rows it
// was last given, so the statistics dialog hands it the list after every change; it can save what
// it shows as a PNG image.
#include <QDialog>
#include <QImage>
#include <string>
#include <vector>

#include "statistics/ChartFigures.h"
#include "statistics/ChartPainter.h"

namespace quilvane {

class ChartCanvas;

class CChartView : public QDialog {
    Q_OBJECT
public:
    // `seconds`, `phaseOrder`, `defects` and `quality` as ComputeChartFigures takes them; they do
    // not change while the view is open, unlike the rows.
    CChartView(PhaseSeconds seconds, std::vector<std::string> phaseOrder, ProjectDefectLogs defects = {},
               QWidget* parent = nullptr, ProjectQualities quality = {});

    void SetRows(const std::vector<StatRow>& rows);
    const ChartFigures& Figures() const { return figures_; }
    // What the last paint on screen drew.
    const std::vector<DrawnPanel>& LastDrawing() const;

    // The charts drawn into an image of `size`.
    QImage Render(QSize size) const;
    // Asks for a file and writes the charts there as PNG; false when cancelled or not written
    // (the user has been told why).
    bool OnSavePng();

private:
    PhaseSeconds seconds_;
    std::vector<std::string> phaseOrder_;
    ProjectDefectLogs defects_;
    ProjectQualities quality_;
    ChartFigures figures_;
    ChartCanvas* canvas_ = nullptr;
};

} // namespace quilvane
