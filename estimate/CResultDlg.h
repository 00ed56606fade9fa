#pragma once
// "結果": the measured size beside the plan, with the actual time and the defect count. The
// dialog edits a copy of the project's result and base name; the caller takes them on OK.
#include <QDialog>
#include <string>

#include "estimate/IntegerFields.h"
#include "project/SubRecords.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quilvane {

class GridRows;

class CResultDlg : public QDialog {
    Q_OBJECT
public:
    // `projectName` is the folder measured; `plan` is shown in the plan column.
    CResultDlg(const std::string& projectName, const PlanEstimate& plan, QWidget* parent = nullptr);

    ProjectResult result;
    std::string baseName;

    int exec() override;
    void ShowFields();
    bool TakeFields();
    // "計算(&C)&&": measures the project against its base.
    void OnMeasure();

    // The control with the given ControlId, as tests and scripted runs find it.
    QLineEdit* Edit(int id) const;
    QPushButton* Button(int id) const;

private:
    void AddFigureRows(GridRows& rows);

    std::string projectName_;
    const PlanEstimate& plan_;
    IntegerFields integers_;
    QLineEdit* baseEdit_ = nullptr;
    QLineEdit* planReuse_ = nullptr;
    QLineEdit* planDelete_ = nullptr;
    QLineEdit* planNew_ = nullptr;
    QLineEdit* planTotal_ = nullptr;
    QLineEdit* planMinutes_ = nullptr;
    QLineEdit* actualReuse_ = nullptr;
    QLineEdit* actualDelete_ = nullptr;
    QLineEdit* actualNew_ = nullptr;
    QLineEdit* actualTotal_ = nullptr;
    QLineEdit* actualMinutes_ = nullptr;
    QLineEdit* bugCount_ = nullptr;
    QLabel* unreadableNote_ = nullptr;
};

} // namespace quilvane
