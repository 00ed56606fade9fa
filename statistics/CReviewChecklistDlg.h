#pragma once
// The review checklist window: one tab for the design review and one for the code review, each
// item with a tick box, its figures and the student's latest comments of that type. It is not
// modal, so the student keeps it open beside the editor while reviewing. Every tick is written
// to "work.psp.checklist" at once, so neither a restart nor a killed workbench loses one; before
// the project's first save the ticks are held here and written once the project has a file.
#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "statistics/ChecklistTicks.h"
#include "statistics/ReviewChecklist.h"

class QCheckBox;
class QLabel;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace quilvane {

class CommandContext;

class CReviewChecklistDlg : public QDialog {
    Q_OBJECT
public:
    explicit CReviewChecklistDlg(CommandContext& context, QWidget* parent = nullptr);

    // Builds both lists afresh from the history and the open project, reads the ticks of the
    // project's file and brings `kind`'s tab to the front.
    void ShowReview(ReviewKind kind);

    ReviewKind CurrentReview() const;
    QTreeWidget* List(ReviewKind kind) const { return lists_[Index(kind)]; }
    const ReviewChecklist& Checklist(ReviewKind kind) const { return checklists_[Index(kind)]; }
    const std::vector<ChecklistTick>& Ticks() const { return ticks_; }
    // The status line under the lists: empty, or why the ticks could not be written.
    QString StatusText() const;

    // Prints the shown review's list on one page, after the print dialog.
    void OnPrint();

private:
    static std::size_t Index(ReviewKind kind) { return kind == ReviewKind::Design ? 0 : 1; }
    QTreeWidget* MakeList(int id);
    void Fill(ReviewKind kind);
    void OnItemChanged(ReviewKind kind, QTreeWidgetItem* item);
    void LoadTicks();
    void SaveTicks();

    CommandContext& context_;
    QTabWidget* tabs_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* status_ = nullptr;
    QCheckBox* autoShow_ = nullptr;
    std::array<QTreeWidget*, 2> lists_{};
    std::array<ReviewChecklist, 2> checklists_{};
    std::vector<ChecklistTick> ticks_;
    std::string ticksPath_; // where ticks_ were read from; empty for a project without a file
    bool filling_ = false;
};

} // namespace quilvane
