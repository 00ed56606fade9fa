#pragma once
// The form that fills the main window: the mode list, the phase table with its totals row, the
// plan adjusters and the column of command buttons. It owns no project data; it shows and edits
// the document's record.
#include <QWidget>
#include <functional>
#include <map>
#include <string>

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QTreeWidget;

namespace quilvane {

class WorkbenchDocument;

class CQuilvaneView : public QWidget {
    Q_OBJECT
public:
    explicit CQuilvaneView(WorkbenchDocument& doc, QWidget* parent = nullptr);

    WorkbenchDocument& GetDocument() { return doc_; }

    // After every new or opened project: columns, neutral mode, table and mode list.
    void OnInitialUpdate();
    // Fills the phase table; with `rebuildModes` the mode list is rebuilt and the clock stopped.
    void RefreshTable(bool rebuildModes);
    // Selects mode list item `index` (neutral when out of range) and switches to it.
    void SelectMode(int index);
    void OnModeChange();
    // Moves the selected phase's plan by `step` minutes (hours with Ctrl).
    void AdjustPlan(int step);
    // A double click on phase row `row` (-1: the empty part of the list).
    void OnPhaseDblClk(int row);
    void OnMemo();
    void OnLaunchIde();

    QComboBox* ModeList() const { return modeList_; }
    QTreeWidget* PhaseList() const { return phaseList_; }
    QPushButton* Button(int id) const;
    // Enables command button `id` and makes it run `handler`; each feature installs its own.
    void SetCommand(int id, std::function<void()> handler);

signals:
    // A project was opened or created and is about to be shown: the window takes its name.
    void ProjectShown(const QString& title);
    // The student entered `mode` (stored text) on the form, after its clock started.
    void ModeEntered(const std::string& mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* AddButton(int id, const char* text);
    QHBoxLayout* AddPlanAdjusters();
    void InsertColumns();

    WorkbenchDocument& doc_;
    QComboBox* modeList_ = nullptr;
    QTreeWidget* phaseList_ = nullptr;
    std::map<int, QPushButton*> buttons_;
};

} // namespace quilvane
