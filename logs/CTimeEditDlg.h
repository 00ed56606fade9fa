#pragma once
// Edits one time log entry: its phase as free text, its span and its start by the adjuster
// buttons. On OK the entry gets the phase, the start, and start + span as its end; Cancel
// leaves it untouched.
#include <QDialog>

#include "logs/TimeAdjust.h"

class QHBoxLayout;
class QLineEdit;

namespace quilvane {

class CTimeEditDlg : public QDialog {
    Q_OBJECT
public:
    CTimeEditDlg(TimeLogEntry& entry, QWidget* parent = nullptr);

    void accept() override;
    // One press of an adjuster of the span or of the start.
    void OnAdjustSpan(Adjuster button);
    void OnAdjustStart(Adjuster button);

private:
    // The four adjusters of one row ("++", "+", "-", "--"), each calling `onAdjust`.
    QHBoxLayout* AddAdjusters(const int (&ids)[4], void (CTimeEditDlg::*onAdjust)(Adjuster));
    // The controls' contents into the working values (only the phase is typed) and back.
    void TakeFields();
    void ShowFields();

    TimeLogEntry& entry_;
    TimeEntryEdit values_;
    QLineEdit* phase_ = nullptr;
    QLineEdit* span_ = nullptr;
    QLineEdit* start_ = nullptr;
};

} // namespace quilvane
