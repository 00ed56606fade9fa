#pragma once
// Draws the PSP form and the log pages of a project with a QPainter. It reads the project
// record and the phase table's texts, never widgets, so the workbench, the command-line tool
// and the tests all print the same pages onto whatever device they hold.
#include <QFont>
#include <QString>

#include "mainwindow/PrintLayout.h"
#include "platform/TimeSource.h"
#include "project/ProjectRecord.h"

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace quilvane {

class PrintPainter {
public:
    // `project` and `clock` must outlive the painter. The page count is fixed here, as at the
    // beginning of a print job. With `qualityPage` a page of the project's quality measures
    // follows the logs.
    PrintPainter(const ProjectRecord& project, PhaseTableTexts phaseTable, const TimeSource& clock,
                 bool qualityPage = false);

    int PageCount() const { return pageCount_; }

    // Maps the logical page onto the device of `painter` and draws page `page` (1-based).
    void PaintPage(QPainter& painter, int page) const;

    // Draws pages first .. last onto a paged device, one device page each. False when the device
    // could not be opened (for example an output file that cannot be written).
    bool PrintPages(QPagedPaintDevice& device, int first, int last) const;
    // Draws the range chosen on the printer (all pages when none was chosen).
    bool Print(QPrinter& printer) const;

    // The face of the form at `height` logical units.
    static QFont PrintFont(int height);
    // The isotropic mapping of the logical page onto a printable area of `width` x `height`
    // pixels, anchored at its top-left corner: device pixels per logical unit.
    static qreal PageScale(int width, int height);

private:
    void PaintHeader(QPainter& painter, int page) const;
    void PaintFormPage(QPainter& painter) const;
    void PaintSizeTable(QPainter& painter) const;
    void PaintPhaseTable(QPainter& painter) const;
    void PaintLogPage(QPainter& painter, int logPage) const;
    void PaintLogSlice(QPainter& painter, const LogBlockSlice& slice) const;

    const ProjectRecord& project_;
    PhaseTableTexts phaseTable_;
    const TimeSource& clock_;
    bool qualityPage_;
    int pageCount_;
};

} // namespace quilvane
