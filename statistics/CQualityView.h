#pragma once
// The 品質 window: the open project's quality and estimating measures beside the figures to date,
// phase by phase, each figure with a tooltip saying how it was computed. It stays open beside the
// form and follows the project: no command tells the features when the defect log changes, so the
// window reads the record again on the same one-second beat as the phase clock and redraws only
// when a figure changed. The history is scanned once per open project (the other projects do not
// change while it is open).
#include <QWidget>
#include <string>

#include "statistics/QualityMeasures.h"
#include "statistics/QualitySheet.h"

class QGridLayout;
class QTimer;

namespace quilvane {

class CommandContext;

class CQualityView : public QWidget {
    Q_OBJECT
public:
    // A window of its own, owned by `owner`.
    CQualityView(CommandContext& context, QWidget* owner);

    // Reads the open project again (and the history when another project was opened); redraws
    // when anything shown changed.
    void Refresh();
    // Forgets the history, so that the next Refresh scans it again.
    void ReloadHistory() { historyFor_.reset(); }

    const QualitySheet& Sheet() const { return sheet_; }

private:
    void Rebuild();

    CommandContext& context_;
    QTimer* timer_ = nullptr;
    QWidget* body_ = nullptr;
    QualityHistory history_;
    std::optional<std::string> historyFor_; // the open project's name when history_ was scanned
    QualitySheet sheet_;
    bool shown_ = false;
};

} // namespace quilvane
