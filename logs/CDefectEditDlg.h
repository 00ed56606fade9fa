#pragma once
// Edits one defect, or the new one being added: its phase and comment as free text, its moment
// by the adjuster buttons, and its PSP details: the type from the defect type standard, the
// phase it was injected in and the minutes the fix took, typed or measured by a fix timer that
// runs on the workbench's clock while the dialog stays open. On OK the entry gets the values;
// Cancel leaves it untouched.
#include <QDialog>
#include <string>
#include <vector>

#include "logs/TimeAdjust.h"
#include "platform/TimeSource.h"
#include "ui/ControlLayout.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace quilvane {

class FixedRows;

class CDefectEditDlg : public QDialog {
    Q_OBJECT
public:
    // `phases` are the project's phase names offered for the injected phase.
    CDefectEditDlg(DefectEntry& entry, std::vector<std::string> phases, const TimeSource& clock,
                   QWidget* parent = nullptr);
    // Without the project's phases, on the system clock.
    explicit CDefectEditDlg(DefectEntry& entry, QWidget* parent = nullptr);

    void accept() override;
    // One press of an adjuster of the moment.
    void OnAdjustTime(Adjuster button);
    // Starts the fix timer, or stops it and puts the minutes measured into the field.
    void OnFixTimer();
    // Shows the time the fix timer has counted; the one-second tick calls it while it runs.
    void ShowElapsed();

    QPlainTextEdit* Comment() const { return comment_; }
    QComboBox* Type() const { return type_; }
    QComboBox* Injected() const { return injected_; }
    QLineEdit* FixMinutes() const { return fixMinutes_; }
    QPushButton* FixTimerButton() const { return fixTimer_; }
    QLabel* FixElapsed() const { return fixElapsed_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The rows of the time, the type, the injected phase and the fix time.
    void AddTimeRow(const FixedRows& rows);
    void AddTypeField(const FixedRows& rows);
    void AddInjectedField(const FixedRows& rows, std::vector<std::string> phases);
    void AddFixRow(const FixedRows& rows);
    void TakeFields();
    void ShowFields();

    DefectEntry& entry_;
    DefectEntryEdit values_;
    const TimeSource& clock_;
    FixTimer timer_;
    std::vector<std::string> injectedNames_;
    QLineEdit* phase_ = nullptr;
    QLineEdit* time_ = nullptr;
    QComboBox* type_ = nullptr;
    QComboBox* injected_ = nullptr;
    QLineEdit* fixMinutes_ = nullptr;
    QPushButton* fixTimer_ = nullptr;
    QLabel* fixElapsed_ = nullptr;
    QTimer* tick_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    ControlLayout layout_;
};

} // namespace quilvane
