#pragma once
// Edits one defect, or the new one being added: its phase and comment as free text and its
// moment by the adjuster buttons. On OK the entry gets the three values; Cancel leaves it
// untouched.
#include <QDialog>

#include "logs/TimeAdjust.h"
#include "ui/ControlLayout.h"

class QLineEdit;
class QPlainTextEdit;

namespace quilvane {

class CDefectEditDlg : public QDialog {
    Q_OBJECT
public:
    CDefectEditDlg(DefectEntry& entry, QWidget* parent = nullptr);

    void accept() override;
    // One press of an adjuster of the moment.
    void OnAdjustTime(Adjuster button);
    QPlainTextEdit* Comment() const { return comment_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void TakeFields();
    void ShowFields();

    DefectEntry& entry_;
    DefectEntryEdit values_;
    QLineEdit* phase_ = nullptr;
    QLineEdit* time_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    ControlLayout layout_;
};

} // namespace quilvane
