#include "mainwindow/CMainFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "estimate/EstimateCommands.h"
#include "logs/LogCommands.h"
#include "mainwindow/CAboutDlg.h"
#include "mainwindow/CQuilvaneView.h"
#include "mainwindow/PhaseClock.h"
#include "mainwindow/PrintCommands.h"
#include "mainwindow/WorkbenchDocument.h"
#include "overview/OverviewCommands.h"
#include "platform/ProgramFolder.h"
#include "platform/TimeSource.h"
#include "registration/RegistrationCommands.h"
#include "statistics/ClassReportCommands.h"
#include "statistics/QualityCommands.h"
#include "statistics/ReviewChecklistCommands.h"
#include "statistics/StatisticsCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

constexpr int RecentFileCount = 10;

const std::pair<int, QStyle::StandardPixmap> ToolbarIcons[] = {
    {CommandId::FileNew, QStyle::SP_FileIcon},
    {CommandId::FileOpen, QStyle::SP_DialogOpenButton},
    {CommandId::FileSave, QStyle::SP_DialogSaveButton},
    {CommandId::Print, QStyle::SP_FileDialogDetailedView},
    {CommandId::PrintPreview, QStyle::SP_FileDialogContentsView},
    {CommandId::Memo, QStyle::SP_FileDialogInfoView},
    {CommandId::About, QStyle::SP_MessageBoxQuestion},
};
const QString RecentKey = QStringLiteral("Recent File List");

// Status-bar prompt and tool tip of each command, separated by a line break, in the words the
// Japanese framework gives its own commands.
struct CommandPrompt {
    int id;
    const char* text;
};
const CommandPrompt CommandPrompts[] = {
    {CommandId::FileNew, "新規にﾌｧｲﾙを作成\n新規ﾌｧｲﾙ"},
    {CommandId::FileOpen, "既存のﾌｧｲﾙを開く\n開く"},
    {CommandId::FileSave, "作業中のﾌｧｲﾙを上書きして保存\n上書き保存"},
    {CommandId::FileSaveAs, "作業中のﾌｧｲﾙを新しい名前で保存\n名前を付けて保存"},
    {CommandId::PrintSetup, "ﾌﾟﾘﾝﾀおよびﾌﾟﾘﾝﾀ ｵﾌﾟｼｮﾝの変更\n印刷設定"},
    {CommandId::Print, "作業中のﾌｧｲﾙを印刷\n印刷"},
    {CommandId::PrintPreview, "ﾌﾙ ﾍﾟｰｼﾞ表示\n印刷ﾌﾟﾚﾋﾞｭｰ"},
    {CommandId::About, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示\nﾊﾞｰｼﾞｮﾝ情報"},
    {CommandId::Exit, "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示\n終了"},
    {CommandId::ToolBar, "ﾂｰﾙ ﾊﾞｰの表示/非表示\nﾂｰﾙ ﾊﾞｰの表示切り替え"},
    {CommandId::StatusBar, "ｽﾃｰﾀｽ ﾊﾞｰの表示/非表示\nｽﾃｰﾀｽ ﾊﾞｰの表示切り替え"},
    {CommandId::Memo, "メモ\nメモ"},
    {CommandId::Progress, "進捗\n進捗"},
    {CommandId::Quality, "歩留まり・A/FR・見積り誤差などの品質指標を表示\n品質"},
};
const char* const RecentFilePrompt = "このﾌｧｲﾙを開く";

} // namespace

CMainFrame::CMainFrame(WorkbenchDocument& doc) : doc_(doc)
{
    setWindowTitle(QStringLiteral("Quilvane"));
    setAcceptDrops(true);
    view_ = new CQuilvaneView(doc_, this);
    setCentralWidget(view_);
    // A newly shown project names the window, which then fits the form.
    connect(view_, &CQuilvaneView::ProjectShown, this, [this](const QString& title) {
        setWindowTitle(title);
        ResizeToFitForm();
    });
    doc_.Attach(this, view_);
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &CMainFrame::OnTimer);
    OnCreate();
    // After OnCreate, so that features find the menu commands they enable.
    InstallFeatureCommands();
}

CMainFrame::~CMainFrame()
{
    // A run that ends before its event loop (printing from the desktop) still records what it
    // opened.
    SaveHeldRecentFiles();
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& keys)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setObjectName(QString::number(id));
    if (!keys.isEmpty()) {
        action->setShortcut(keys);
    }
    if (menu) {
        menu->addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    actions_[id] = action;
    return action;
}

QAction* CMainFrame::Action(int id) const
{
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

// Each feature connects its buttons and menu commands to the form here.
void CMainFrame::InstallFeatureCommands()
{
    InstallPrintCommands(doc_);
    InstallRegistrationCommands(doc_);
    InstallLogCommands(doc_);
    InstallOverviewCommands(doc_);
    InstallStatisticsCommands(doc_);
    InstallClassReportCommands(doc_);
    InstallQualityCommands(doc_);
    InstallEstimateCommands(doc_);
    InstallReviewChecklistCommands(doc_);
}

void CMainFrame::OnCreate()
{
    using namespace CommandId;
    fileMenu_ = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    AddCommand(fileMenu_, FileNew, QStringLiteral("新規作成(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N));
    AddCommand(fileMenu_, FileOpen, QStringLiteral("開く(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(fileMenu_, FileSave, QStringLiteral("上書き保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    fileMenu_->addSeparator();
    AddCommand(fileMenu_, Print, QStringLiteral("印刷(&P)..."), QKeySequence(Qt::CTRL | Qt::Key_P))
        ->setEnabled(false);
    AddCommand(fileMenu_, PrintPreview, QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ(&V)"))->setEnabled(false);
    AddCommand(fileMenu_, PrintSetup, QStringLiteral("ﾌﾟﾘﾝﾀの設定(&R)..."))->setEnabled(false);
    fileMenu_->addSeparator();
    auto* placeholder = AddCommand(fileMenu_, RecentFirst, QStringLiteral("最近使ったﾌｧｲﾙ"));
    placeholder->setEnabled(false);
    recentSeparator_ = fileMenu_->addSeparator();
    AddCommand(fileMenu_, Exit, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));

    auto* viewMenu = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    AddCommand(viewMenu, Memo, QStringLiteral("メモ...(&M)"));
    AddCommand(viewMenu, Progress, QStringLiteral("進捗...(&R)"))->setEnabled(false);
    AddCommand(viewMenu, DataCheck, QStringLiteral("データ確認...(&D)"));
    AddCommand(viewMenu, ClassReport, QStringLiteral("クラスレポート...(&C)"))->setVisible(false);
    AddCommand(viewMenu, ReviewChecklist, QStringLiteral("レビューチェックリスト...(&K)"))->setEnabled(false);
    AddCommand(viewMenu, Quality, QStringLiteral("品質...(&Q)"))->setEnabled(false);
    viewMenu->addSeparator();
    AddCommand(viewMenu, ToolBar, QStringLiteral("ﾂｰﾙ ﾊﾞｰ(&T)"))->setCheckable(true);
    AddCommand(viewMenu, StatusBar, QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ(&S)"))->setCheckable(true);
    Action(ToolBar)->setChecked(true);
    Action(StatusBar)->setChecked(true);

    auto* helpMenu = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    AddCommand(helpMenu, About, QStringLiteral("Quilvane のﾊﾞｰｼﾞｮﾝ情報(&A)..."));

    // The mode commands, Save As and printing without a dialog have no menu item; they are
    // reachable by id only.
    for (int id = SelectModeFirst; id <= SelectModeLast; ++id) {
        AddCommand(nullptr, id, QString());
    }
    AddCommand(nullptr, FileSaveAs, QString());
    AddCommand(nullptr, PrintDirect, QString())->setEnabled(false);
    for (const auto& prompt : CommandPrompts) {
        QStringList parts = QString::fromUtf8(prompt.text).split(QLatin1Char('\n'));
        Action(prompt.id)->setStatusTip(parts.value(0));
        Action(prompt.id)->setToolTip(parts.value(1));
    }

    auto* toolBar = addToolBar(QStringLiteral("ﾂｰﾙ ﾊﾞｰ"));
    toolBar_ = toolBar;
    toolBar->setObjectName(QStringLiteral("toolbar"));
    toolBar->setMovable(true);
    // Finding the icons in the desktop's theme reads the theme's index and image files. The
    // window comes up with blank icons of the same size, which FinishStartup fills in at once.
    QPixmap blank(toolBar->iconSize());
    blank.fill(Qt::transparent);
    for (const auto& [id, icon] : ToolbarIcons) {
        Action(id)->setIcon(QIcon(blank));
    }
    for (int id : {FileNew, FileOpen, FileSave}) {
        toolBar->addAction(Action(id));
    }
    toolBar->addSeparator();
    toolBar->addAction(Action(Print));
    toolBar->addAction(Action(PrintPreview));
    toolBar->addSeparator();
    toolBar->addAction(Action(Memo));
    toolBar->addAction(Action(About));

    // A toolbar closed from its own context menu still shows in the check mark.
    connect(toolBar, &QToolBar::visibilityChanged, this,
            [this](bool) { Action(CommandId::ToolBar)->setChecked(!toolBar_->isHidden()); });

    for (const char* indicator : {"ｶﾅ", "CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromUtf8(indicator), this);
        pane->setEnabled(false);
        statusBar()->addPermanentWidget(pane);
    }
    statusBar()->showMessage(QStringLiteral("ﾚﾃﾞｨ"));
    // The settings are read and written once the event loop runs, after the window is up; a
    // file menu opened before that still lists what it should.
    QTimer::singleShot(0, this, &CMainFrame::FinishStartup);
    connect(fileMenu_, &QMenu::aboutToShow, this, &CMainFrame::FinishStartup);
}

void CMainFrame::SetMenuCommand(int id, std::function<void()> handler)
{
    if (QAction* action = Action(id)) {
        action->setEnabled(true);
    }
    featureCommands_[id] = std::move(handler);
}

bool CMainFrame::OnCommand(int id)
{
    using namespace CommandId;
    if (auto it = featureCommands_.find(id); it != featureCommands_.end()) {
        it->second();
        return true;
    }
    if (id >= SelectModeFirst && id <= SelectModeLast) {
        view_->SelectMode(id - SelectModeFirst);
        return true;
    }
    switch (id) {
    case FileNew: {
        const int running = doc_.EndRunningPhase();
        // A cancelled or failed new project has been reported and left the open one as it was,
        // its phase running on from now.
        if (!doc_.SaveModified() || !doc_.OnNewDocument()) {
            doc_.ResumePhase(running);
        }
        return true;
    }
    case FileOpen:
        OnFileOpen();
        return true;
    case FileSave:
        // A failed save has been reported; the project stays modified.
        (void)doc_.DoFileSave();
        return true;
    case FileSaveAs:
        OnFileSaveAs();
        return true;
    case ToolBar:
        toolBar_->setHidden(!toolBar_->isHidden());
        Action(ToolBar)->setChecked(!toolBar_->isHidden());
        return true;
    case StatusBar:
        statusBar()->setHidden(!statusBar()->isHidden());
        Action(StatusBar)->setChecked(!statusBar()->isHidden());
        return true;
    case Memo:
        view_->OnMemo();
        return true;
    case About:
        OnAppAbout();
        return true;
    case Exit:
        close();
        return true;
    default:
        return false;
    }
}

void CMainFrame::OnFileOpen()
{
    auto chosen = CurrentPrompt().ChooseFile(this, QStringLiteral("開く"), DiskPathToQ(ProgramFolder()),
                                             QStringLiteral("Quilvane ﾌｧｲﾙ (*.psp)"), false);
    if (chosen) {
        OpenProject(*chosen);
    }
}

void CMainFrame::OnFileSaveAs()
{
    QString proposed = doc_.PathName().empty() ? QString::fromStdString(ProgramPath("work.psp"))
                                               : QString::fromStdString(doc_.PathName());
    auto chosen = CurrentPrompt().ChooseFile(this, QStringLiteral("名前を付けて保存"), proposed,
                                             QStringLiteral("Quilvane ﾌｧｲﾙ (*.psp)"), true);
    if (!chosen) {
        return;
    }
    Status status = doc_.SaveTo(chosen->toStdString());
    if (!status) {
        CurrentPrompt().Inform(
            this, QStringLiteral("保存できませんでした。\n%1").arg(QString::fromStdString(status.Message())));
    }
}

void CMainFrame::OpenProject(const QString& path)
{
    // The running phase is logged before the question to save, so that the saved file holds
    // it. A file that cannot be opened has been reported; the open project stays, its phase
    // running on from now.
    const int running = doc_.EndRunningPhase();
    if (!doc_.SaveModified() || !doc_.OnOpenDocument(QToDiskPath(path))) {
        doc_.ResumePhase(running);
    }
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::ResizeToFitForm()
{
    resize(size().boundedTo(sizeHint()));
}

void CMainFrame::StartPhaseTimer()
{
    timer_->start();
}

void CMainFrame::StopPhaseTimer()
{
    timer_->stop();
    statusBar()->clearMessage();
}

bool CMainFrame::PhaseTimerActive() const
{
    return timer_->isActive();
}

void CMainFrame::OnTimer()
{
    std::string text = ClockStatusText(doc_.ClockState().modeStart, doc_.Clock().Now());
    statusBar()->showMessage(QString::fromStdString(text));
    doc_.KeepJournal(false);
}

namespace {

void PutFirst(QStringList& files, const QString& absolute)
{
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > RecentFileCount) {
        files.removeLast();
    }
}

} // namespace

QStringList CMainFrame::RecentFiles() const
{
    QStringList files = QSettings().value(RecentKey).toStringList();
    for (const QString& held : heldRecentFiles_) {
        PutFirst(files, held);
    }
    return files;
}

void CMainFrame::AddToRecentFileList(const QString& path)
{
    QString absolute = QFileInfo(path).absoluteFilePath();
    if (startingUp_) {
        heldRecentFiles_.append(absolute);
        return;
    }
    QStringList files = RecentFiles();
    PutFirst(files, absolute);
    QSettings().setValue(RecentKey, files);
    RebuildRecentMenu();
}

void CMainFrame::SaveHeldRecentFiles()
{
    startingUp_ = false;
    if (!heldRecentFiles_.isEmpty()) {
        QSettings().setValue(RecentKey, RecentFiles());
        heldRecentFiles_.clear();
    }
}

void CMainFrame::FinishStartup()
{
    if (startingUp_) {
        SaveHeldRecentFiles();
        RebuildRecentMenu();
        for (const auto& [id, icon] : ToolbarIcons) {
            Action(id)->setIcon(style()->standardIcon(icon));
        }
    }
}

void CMainFrame::RebuildRecentMenu()
{
    for (auto* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    QStringList files = RecentFiles();
    Action(CommandId::RecentFirst)->setVisible(files.isEmpty());
    int n = 1;
    for (const auto& file : files) {
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(n % 10).arg(file), this);
        a->setStatusTip(QString::fromUtf8(RecentFilePrompt));
        connect(a, &QAction::triggered, this, [this, file] { OpenProject(file); });
        fileMenu_->insertAction(recentSeparator_, a);
        recentActions_.append(a);
        ++n;
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (doc_.CanCloseFrame()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    if (OpenDroppedFiles(event->mimeData()->urls())) {
        event->acceptProposedAction();
    }
}

bool CMainFrame::OpenDroppedFiles(const QList<QUrl>& urls)
{
    // One project at a time: the first dropped ".psp" file is opened.
    for (const auto& url : urls) {
        QString path = url.toLocalFile();
        if (path.endsWith(QStringLiteral(".psp"), Qt::CaseInsensitive)) {
            OpenProject(path);
            return true;
        }
    }
    return false;
}

} // namespace quilvane
