#pragma once
// The overview ("概要"): the student's name, the phases and the registration folder, above the
// exercise's problem page. The settings-only form, for the first run, edits the settings file's
// values alone. The dialog edits copies; the caller takes them over on OK.
#include <QDialog>
#include <string>
#include <vector>

#include "project/ProjectRecord.h"
#include "ui/ControlLayout.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quilvane {

class ProblemPageBrowser;

class COverviewDlg : public QDialog {
    Q_OBJECT
public:
    COverviewDlg(bool settingsOnly, const std::string& projectName, std::vector<PhaseRecord>& phases,
                 QWidget* parent = nullptr);

    // The values the dialog edits: copied in before it runs, copied out after OK.
    OverviewFields fields;
    std::string phasesText;

    bool SettingsOnly() const { return settingsOnly_; }
    // Puts the values into the controls and places the window; called by exec().
    void OnInitDialog();

    void Browse();
    // One dropped item replaces the folder; several change nothing. A path CP932 cannot hold is
    // refused with a message.
    void DropPaths(const QStringList& paths);
    void Reset();
    // Writes the settings file from the controls; true when written.
    bool SaveAsDefaults();
    void accept() override;
    int exec() override;

    QLineEdit* NameEdit() const { return nameEdit_; }
    QPlainTextEdit* PhasesEdit() const { return phasesEdit_; }
    QLineEdit* FolderEdit() const { return folderEdit_; }
    ProblemPageBrowser* Browser() const { return browser_; }
    QPushButton* Button(int id) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddFields();
    void AddButtons();
    // False (after a message) when a field holds text that cannot be stored.
    bool TakeControls();
    // True (after a message) when the name holds white space.
    bool NameHasWhiteSpace();
    void ShowValues();
    bool HasWindowRect() const;
    // Places the window at `fields.windowRect`, frame included.
    void ApplyWindowRect();

    bool settingsOnly_;
    bool rectPending_ = false;
    const std::string& projectName_;
    std::vector<PhaseRecord>& phases_;
    ControlLayout layout_;
    QLineEdit* nameEdit_ = nullptr;
    QLabel* exerciseLabel_ = nullptr;
    QLineEdit* exerciseEdit_ = nullptr;
    QPlainTextEdit* phasesEdit_ = nullptr;
    QLineEdit* folderEdit_ = nullptr;
    ProblemPageBrowser* browser_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace quilvane
