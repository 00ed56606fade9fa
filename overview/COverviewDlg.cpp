#include "overview/COverviewDlg.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>
#include <utility>

#include "overview/OverviewLogic.h"
#include "overview/ProblemPageBrowser.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/Settings.h"
#include "ui/ControlIds.h"
#include "ui/DialogRows.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace quilvane {
namespace {

constexpr int DesignWidth = 520;
constexpr int DesignHeight = 460;
constexpr int BrowserTop = 170;

// Where every control sits, in design units, as the dialog was designed; the problem page fills
// the rest below BrowserTop.
constexpr struct {
    QRect nameLabel{10, 12, 50, 20};
    QRect name{64, 10, 200, 22};
    QRect exerciseLabel{276, 12, 40, 20};
    QRect exercise{318, 10, 110, 22};
    QRect phasesLabel{10, 42, 50, 20};
    QRect phases{64, 40, 250, 90};
    QRect folderLabel{10, 141, 80, 20};
    QRect folder{94, 139, 330, 22};
    QRect browse{432, 138, 80, 24};
    QRect ok{440, 10, 72, 24};
    QRect cancel{440, 38, 72, 24};
    QRect reset{330, 72, 100, 24};
    QRect save{330, 102, 100, 24};
} Places;

} // namespace

COverviewDlg::COverviewDlg(bool settingsOnly, const std::string& projectName,
                           std::vector<PhaseRecord>& phases, QWidget* parent)
    : QDialog(parent), settingsOnly_(settingsOnly), projectName_(projectName), phases_(phases)
{
    setObjectName(QString::number(ControlId::OverviewDialog));
    setWindowTitle(QStringLiteral("概要"));
    setAcceptDrops(true);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    resize(DesignWidth, DesignHeight);

    AddFields();
    AddButtons();
    browser_ = new ProblemPageBrowser(this);
    browser_->setObjectName(QString::number(ControlId::OverviewBrowser));
    browser_->setGeometry(10, BrowserTop, DesignWidth - 20, DesignHeight - BrowserTop - 10);

    for (QWidget* target :
         {static_cast<QWidget*>(nameEdit_), static_cast<QWidget*>(exerciseEdit_),
          static_cast<QWidget*>(folderEdit_), phasesEdit_->viewport(), browser_->viewport()}) {
        target->installEventFilter(this);
    }

    connect(browse_, &QPushButton::clicked, this, &COverviewDlg::Browse);
    connect(reset_, &QPushButton::clicked, this, &COverviewDlg::Reset);
    connect(save_, &QPushButton::clicked, this, [this] { SaveAsDefaults(); });
    connect(ok_, &QPushButton::clicked, this, &COverviewDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &COverviewDlg::reject);
}

void COverviewDlg::AddFields()
{
    MakeLabel(this, "氏名")->setGeometry(Places.nameLabel);
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QString::number(ControlId::OverviewUserName));
    nameEdit_->setGeometry(Places.name);
    exerciseLabel_ = new QLabel(QStringLiteral("---"), this);
    exerciseLabel_->setObjectName(QString::number(ControlId::OverviewExerciseLabel));
    exerciseLabel_->setGeometry(Places.exerciseLabel);
    exerciseEdit_ = new QLineEdit(this);
    exerciseEdit_->setObjectName(QString::number(ControlId::OverviewExercise));
    exerciseEdit_->setReadOnly(true);
    exerciseEdit_->setGeometry(Places.exercise);

    MakeLabel(this, "工程")->setGeometry(Places.phasesLabel);
    phasesEdit_ = new QPlainTextEdit(this);
    phasesEdit_->setObjectName(QString::number(ControlId::OverviewPhases));
    phasesEdit_->setGeometry(Places.phases);

    MakeLabel(this, "データ登録先")->setGeometry(Places.folderLabel);
    folderEdit_ = new QLineEdit(this);
    folderEdit_->setObjectName(QString::number(ControlId::OverviewFolder));
    folderEdit_->setGeometry(Places.folder);
}

void COverviewDlg::AddButtons()
{
    browse_ = MakeButton(this, ControlId::OverviewBrowse, QStringLiteral("参照...(&F)"), Places.browse);
    ok_ = MakeButton(this, ControlId::Ok, QStringLiteral("OK"), Places.ok);
    ok_->setDefault(true);
    cancel_ = MakeButton(this, ControlId::Cancel, QStringLiteral("ｷｬﾝｾﾙ"), Places.cancel);
    reset_ = MakeButton(this, ControlId::OverviewReset, QStringLiteral("リセット(&R)&&"), Places.reset);
    save_ = MakeButton(this, ControlId::OverviewSave, QStringLiteral("設定保存(&S)*"), Places.save);
}

QPushButton* COverviewDlg::Button(int id) const
{
    return findChild<QPushButton*>(QString::number(id));
}

void COverviewDlg::OnInitDialog()
{
    if (!settingsOnly_) {
        layout_.Register(reset_, ControlLayout::Move, ControlLayout::Keep);
        layout_.Register(save_, ControlLayout::Move, ControlLayout::Keep);
        layout_.Register(browser_, ControlLayout::Stretch, ControlLayout::Stretch);
        auto address = ProblemPageAddress(ProgramFolder(), projectName_);
        browser_->Navigate(address ? QString::fromStdString(*address) : QString());
        exerciseLabel_->setText(QStringLiteral("課題"));
    } else {
        for (QWidget* w :
             {static_cast<QWidget*>(exerciseLabel_), static_cast<QWidget*>(exerciseEdit_),
              static_cast<QWidget*>(reset_), static_cast<QWidget*>(save_), static_cast<QWidget*>(browser_)}) {
            w->hide();
        }
        // The window ends where the problem page would begin.
        resize(width(), BrowserTop);
        fields.windowRect = {0, 0, 0, 0};
    }
    layout_.Register(ok_, ControlLayout::Move, ControlLayout::Keep);
    layout_.Register(cancel_, ControlLayout::Move, ControlLayout::Keep);
    layout_.Register(browse_, ControlLayout::Move, ControlLayout::Keep);
    layout_.Register(folderEdit_, ControlLayout::Stretch, ControlLayout::Keep);
    layout_.RecordMargins();
    rectPending_ = HasWindowRect();
    ApplyWindowRect();
    phasesText = PhasesToText(phases_);
    ShowValues();
}

bool COverviewDlg::HasWindowRect() const
{
    const auto& r = fields.windowRect;
    return r[0] != 0 || r[1] != 0 || r[2] != 0 || r[3] != 0;
}

void COverviewDlg::ApplyWindowRect()
{
    if (!HasWindowRect()) {
        return;
    }
    // The rectangle is the whole window, frame included, as OK stores it (and as older project
    // files hold it); Qt sizes the inner area, so the frame's share is taken off.
    const auto& r = fields.windowRect;
    QSize frameExtra = frameGeometry().size() - size();
    move(r[0], r[1]);
    resize(std::max(1, r[2] - r[0] - frameExtra.width()), std::max(1, r[3] - r[1] - frameExtra.height()));
    layout_.Relayout();
}

void COverviewDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The frame's thickness is known only once the window is shown.
    if (rectPending_) {
        rectPending_ = false;
        ApplyWindowRect();
    }
}

int COverviewDlg::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void COverviewDlg::ShowValues()
{
    nameEdit_->setText(ToQ(fields.userName));
    exerciseEdit_->setText(ToQ(projectName_));
    phasesEdit_->setPlainText(ToQLines(phasesText));
    folderEdit_->setText(ToQ(fields.registrationFolder));
}

bool COverviewDlg::TakeControls()
{
    // The name and the folder become folder names and paths: a character CP932 cannot hold is
    // refused here rather than stored as '?'.
    for (const auto& [edit, stored] :
         {std::pair{nameEdit_, &fields.userName}, std::pair{folderEdit_, &fields.registrationFolder}}) {
        if (edit->text() != ToQ(*stored) && !DiskToStoredName(edit->text().toStdString())) {
            CurrentPrompt().Inform(this,
                                   QString::fromStdString(UnstorableNameMessage(edit->text().toStdString())));
            edit->setFocus();
            return false;
        }
    }
    fields.userName = FieldText(nameEdit_->text(), fields.userName);
    fields.registrationFolder = FieldText(folderEdit_->text(), fields.registrationFolder);
    phasesText = FieldLines(phasesEdit_->toPlainText(), phasesText);
    return true;
}

bool COverviewDlg::NameHasWhiteSpace()
{
    if (!HasWhiteSpace(fields.userName)) {
        return false;
    }
    CurrentPrompt().Inform(this, QStringLiteral("氏名に空白を含めることはできません"));
    nameEdit_->setFocus();
    return true;
}

void COverviewDlg::Browse()
{
    std::string folder = FieldText(folderEdit_->text(), fields.registrationFolder);
    // The chooser opens with an empty title, not the chooser's default one.
    if (auto chosen = ChooseFolder(this, "", folder)) {
        folderEdit_->setText(ToQ(*chosen));
    }
}

void COverviewDlg::DropPaths(const QStringList& paths)
{
    if (paths.size() != 1) {
        return;
    }
    QString path = QFileInfo(paths.front()).absoluteFilePath();
    auto stored = QPathToStored(path);
    if (!stored) {
        CurrentPrompt().Inform(this, QString::fromStdString(UnstorableNameMessage(path.toStdString())));
        return;
    }
    folderEdit_->setText(ToQ(*stored));
}

void COverviewDlg::Reset()
{
    Settings settings;
    if (!LoadSettings(settings)) {
        CurrentPrompt().Inform(this, QStringLiteral("データが見つかりません"));
        return;
    }
    if (!TakeControls()) {
        return;
    }
    fields.userName = settings.userName;
    fields.registrationFolder = settings.registrationFolder;
    phasesText = PhaseNamesToText(settings.phaseNames);
    ShowValues();
}

bool COverviewDlg::SaveAsDefaults()
{
    if (!TakeControls()) {
        return false;
    }
    if (!IsUsableUserName(fields.userName)) {
        CurrentPrompt().Inform(this, QStringLiteral("名前を設定して下さい"));
        return false;
    }
    if (NameHasWhiteSpace()) {
        return false;
    }
    Settings settings{fields.userName, fields.registrationFolder, ParsePhasesText(phasesText)};
    if (!SaveSettings(settings)) {
        CurrentPrompt().Inform(this, QStringLiteral("保存できませんでした"));
        return false;
    }
    if (settingsOnly_) {
        QDialog::accept();
    } else {
        CurrentPrompt().Inform(this, QStringLiteral("保存しました"));
    }
    return true;
}

void COverviewDlg::accept()
{
    if (settingsOnly_) {
        SaveAsDefaults();
        return;
    }
    if (!TakeControls() || NameHasWhiteSpace()) {
        return;
    }
    QRect frame = frameGeometry();
    fields.windowRect = {frame.left(), frame.top(), frame.left() + frame.width(),
                         frame.top() + frame.height()};
    phases_ = RebuildPhaseTable(phases_, ParsePhasesText(phasesText));
    QDialog::accept();
}

void COverviewDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layout_.OnSize(this);
}

void COverviewDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void COverviewDlg::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const auto& url : event->mimeData()->urls()) {
        paths << url.toLocalFile();
    }
    DropPaths(paths);
    event->acceptProposedAction();
}

bool COverviewDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Items dropped on an edit field land in the folder field as on the rest of the dialog,
    // instead of being inserted as "file://" text at the cursor. Dragged text is left alone.
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->hasUrls()) {
            dropEvent(drop);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quilvane
