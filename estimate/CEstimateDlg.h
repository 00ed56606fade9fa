#pragma once
// "計画見積り": the size and time plan. The dialog edits a copy of the project's estimate; every
// button takes the edits in first and shows the whole record again at the end.
#include <QDialog>
#include <functional>
#include <vector>

#include "estimate/IntegerFields.h"
#include "estimate/ProbeFit.h"
#include "project/ProjectRecord.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quilvane {

class GridRows;

class CEstimateDlg : public QDialog {
    Q_OBJECT
public:
    CEstimateDlg(const ProjectRecord& project, QWidget* parent = nullptr);

    PlanEstimate estimate;

    // Where the history comes from; the statistics file and the other project folders unless a
    // test supplies its own.
    std::function<std::vector<HistoryPoint>()> loadHistory;

    int exec() override;
    void ShowFields();
    bool TakeFields();

    void OnBaseSize();
    void OnSplit();
    void OnRefit();
    void OnPredict();
    void OnSetFromActuals();

    // The control with the given ControlId, as tests and scripted runs find it.
    QLineEdit* Edit(int id) const;
    QPlainTextEdit* NewLocEdit() const { return newLocText_; }
    QPushButton* Button(int id) const;
    // The explanation under the interval: what the figures rest on and what is missing.
    QLabel* Diagnostics() const { return diagnostics_; }
    // Explains the coefficients and sizes on screen over `history`.
    void ShowDiagnostics(const std::vector<HistoryPoint>& history);

private:
    // The dialog's rows: sizes, coefficients, time and its interval, the buttons.
    void AddSizeRows(GridRows& rows);
    void AddCoefficientRows(GridRows& rows);
    void AddTimeRows(GridRows& rows);
    void AddButtonRow(GridRows& rows);
    double ConfidenceLevel() const;

    const ProjectRecord& project_;
    IntegerFields integers_;
    QLineEdit* baseName_ = nullptr;
    QPlainTextEdit* newLocText_ = nullptr;
    QLabel* rangeCaption_ = nullptr;
    QLineEdit* constant_ = nullptr;
    QLineEdit* reuseCoef_ = nullptr;
    QLineEdit* deleteCoef_ = nullptr;
    QLineEdit* newCoef_ = nullptr;
    QLineEdit* rangeText_ = nullptr;
    QLabel* diagnostics_ = nullptr;
    QLabel* unreadableNote_ = nullptr;
    // The history last read, so that size changes are explained again without a new scan.
    std::vector<HistoryPoint> lastHistory_;
};

} // namespace quilvane
