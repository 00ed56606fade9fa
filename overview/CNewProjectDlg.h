#pragma once
// "新規プロジェクト": which exercise the new project is for, and which earlier project it builds
// on. Both lists are editable; the exercise after the open project's is proposed.
#include <QDialog>
#include <string>

#include "overview/OverviewLogic.h"

class QComboBox;

namespace quilvane {

class CNewProjectDlg : public QDialog {
    Q_OBJECT
public:
    // `exercise` and `base` receive the choice on OK.
    CNewProjectDlg(const std::string& currentExercise, std::string& exercise, std::string& base,
                   QWidget* parent = nullptr);

    void OnInitDialog();
    void OnExerciseChange();
    void accept() override;
    int exec() override;

    QComboBox* ExerciseList() const { return exerciseList_; }
    QComboBox* BaseList() const { return baseList_; }

private:
    std::string current_;
    std::string& exercise_;
    std::string& base_;
    QComboBox* exerciseList_;
    QComboBox* baseList_;
};

} // namespace quilvane
