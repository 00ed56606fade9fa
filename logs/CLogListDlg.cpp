#include "logs/CLogListDlg.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTreeView>
#include <QWindow>
#include <algorithm>
#include <functional>

#include "ui/ColumnScale.h"
#include "ui/ControlIds.h"
#include "ui/DialogRows.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace quilvane {

// The rows are read from the dialog's copy of the log when shown, so a fill of many thousand
// entries costs one model reset, not one item per cell.
class LogListModel final : public QAbstractTableModel {
public:
    using CountFn = std::function<std::size_t()>;
    using CellFn = std::function<std::string(std::size_t, int)>;

    LogListModel(std::vector<CLogListDlg::Column> columns, CountFn count, CellFn cell, QObject* parent)
        : QAbstractTableModel(parent), columns_(std::move(columns)), count_(std::move(count)),
          cell_(std::move(cell))
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(count_());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            // A row is one line: a comment's line breaks show as blanks.
            QString text = ToQ(cell_(static_cast<std::size_t>(index.row()), index.column()));
            text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            return text;
        }
        if (role == Qt::TextAlignmentRole) {
            return Alignment(index.column());
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            return columns_[static_cast<std::size_t>(section)].heading;
        }
        if (role == Qt::TextAlignmentRole) {
            return Alignment(section);
        }
        return {};
    }
    void Reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    QVariant Alignment(int column) const
    {
        bool right = columns_[static_cast<std::size_t>(column)].rightAligned;
        return QVariant::fromValue(
            Qt::Alignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }

    std::vector<CLogListDlg::Column> columns_;
    CountFn count_;
    CellFn cell_;
};

namespace {

// The designed size of the list dialogs; the anchoring keeps these distances to the edges.
constexpr int DesignWidth = 420;
constexpr int DesignHeight = 240;

} // namespace

CLogListDlg::CLogListDlg(const ControlIds& ids, const QString& caption, std::vector<Column> columns,
                         QWidget* parent)
    : QDialog(parent), directions_(columns.size()), columns_(columns)
{
    setObjectName(QString::number(ids.dialog));
    setWindowTitle(caption);
    // A window of its own rather than a dialog of the frame, so that the log gets its own
    // taskbar entry and can be found again behind other programs while it stays open.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    resize(DesignWidth, DesignHeight);

    SetUpList(ids.list, std::move(columns));
    AddButtons(ids);
    layout_.Register(list_, ControlLayout::Stretch, ControlLayout::Stretch);
}

void CLogListDlg::SetUpList(int id, std::vector<Column> columns)
{
    list_ = new QTreeView(this);
    list_->setObjectName(QString::number(id));
    list_->setGeometry(8, 8, 320, DesignHeight - 16);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setAllColumnsShowFocus(true);
    model_ = new LogListModel(
        std::move(columns), [this] { return EntryCount(); },
        [this](std::size_t row, int column) { return EntryCell(row, column); }, this);
    list_->setModel(model_);
    QHeaderView* header = list_->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &CLogListDlg::OnSort);
    list_->viewport()->installEventFilter(this);
}

// OK and Cancel at the top of the right edge, Edit and Delete below them after a gap; all four
// keep their distance to the right edge.
void CLogListDlg::AddButtons(const ControlIds& ids)
{
    ButtonColumn closing(this, {DesignWidth - 80, 8}, {72, 24}, 30);
    auto* ok = closing.Add(ControlId::Ok, QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = closing.Add(ControlId::Cancel, QStringLiteral("ｷｬﾝｾﾙ"));
    ButtonColumn entries(this, {DesignWidth - 80, 84}, {72, 24}, 30);
    auto* edit = entries.Add(ids.edit, QStringLiteral("編集(&E)"));
    auto* remove = entries.Add(ids.remove, QStringLiteral("削除(&D)"));
    for (QPushButton* b : {ok, cancel, edit, remove}) {
        layout_.Register(b, ControlLayout::Move, ControlLayout::Keep);
    }
    connect(ok, &QPushButton::clicked, this, &CLogListDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CLogListDlg::reject);
    connect(edit, &QPushButton::clicked, this, &CLogListDlg::OnEdit);
    connect(remove, &QPushButton::clicked, this, &CLogListDlg::OnDelete);
}

CLogListDlg::~CLogListDlg() = default;

void CLogListDlg::showEvent(QShowEvent* event)
{
    // Window managers list a window that is transient for the frame under the frame's entry;
    // the log stays modal, but is shown as a top-level window of its own.
    if (QWindow* window = windowHandle()) {
        window->setTransientParent(nullptr);
    }
    QDialog::showEvent(event);
}

void CLogListDlg::OnInitDialog(const Layout& layout)
{
    // The margins come from the designed size, before the stored size is applied.
    layout_.RecordMargins();
    move(layout.left, layout.top);
    resize(layout.width, layout.height);
    layout_.OnSize(this);
    // The stored widths are those of the narrower Windows face: scaled to this one, and never
    // so narrow that a moment or a span would be cut.
    const ColumnScale scale(list_->fontMetrics());
    storedWidths_ = layout.columnWidths;
    shownWidths_.clear();
    for (std::size_t i = 0; i < layout.columnWidths.size(); ++i) {
        int shown = std::max(scale.ToScreen(layout.columnWidths[i]), FitWidth(static_cast<int>(i)));
        list_->setColumnWidth(static_cast<int>(i), shown);
        shownWidths_.push_back(list_->columnWidth(static_cast<int>(i)));
    }
    // The widened columns would leave the last ones behind a scroll bar in a dialog of the
    // stored size: it grows, as far as the screen allows, until every column shows.
    storedSize_ = QSize(layout.width, layout.height);
    int columnsWidth = 0;
    for (int w : shownWidths_) {
        columnsWidth += w;
    }
    const int chrome =
        2 * list_->frameWidth() + list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_) + 2;
    if (int missing = columnsWidth + chrome - list_->width(); missing > 0) {
        int widest = width() + missing;
        if (const QScreen* screen = this->screen()) {
            widest = std::min(widest, screen->availableGeometry().width());
        }
        if (widest > width()) {
            resize(widest, height());
            layout_.OnSize(this);
        }
    }
    shownSize_ = size();
    Fill();
    if (int rows = RowCount(); rows > 0) {
        SelectRows({rows - 1});
    }
}

void CLogListDlg::Fill()
{
    list_->setUpdatesEnabled(false);
    model_->Reset();
    list_->setUpdatesEnabled(true);
}

int CLogListDlg::RowCount() const
{
    return model_->rowCount();
}

QString CLogListDlg::CellText(int row, int column) const
{
    return model_->data(model_->index(row, column), Qt::DisplayRole).toString();
}

std::vector<int> CLogListDlg::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CLogListDlg::SelectRows(const std::vector<int>& rows)
{
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    QItemSelection selection;
    const int lastColumn = model_->columnCount() - 1;
    // One range per run of adjacent rows keeps a large selection cheap.
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] <= sorted[j] + 1) {
            ++j;
        }
        int first = std::max(sorted[i], 0);
        int last = std::min(sorted[j], RowCount() - 1);
        if (first <= last) {
            selection.select(model_->index(first, 0), model_->index(last, lastColumn));
        }
        i = j + 1;
    }
    // Only the selection changes; the current index (and with it the scroll position) stays.
    list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CLogListDlg::OnEdit()
{
    std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        CurrentPrompt().Inform(this, QStringLiteral("行を選択して下さい"));
        return;
    }
    if (EditEntry(static_cast<std::size_t>(rows.front()))) {
        Fill();
    }
}

void CLogListDlg::OnDelete()
{
    std::vector<int> selected = SelectedRows();
    if (selected.empty()) {
        return;
    }
    std::set<std::size_t> rows(selected.begin(), selected.end());
    std::optional<std::size_t> next = DeleteEntries(rows);
    Fill();
    if (next) {
        int row = static_cast<int>(*next);
        SelectRows({row});
        list_->scrollTo(model_->index(row, 0));
    }
}

void CLogListDlg::OnSort(int column)
{
    if (column < 0 || column >= model_->columnCount()) {
        return;
    }
    ScopedWaitCursor wait;
    std::vector<int> selected = SelectedRows();
    std::vector<std::size_t> order = SortEntries(column, directions_.Next(static_cast<std::size_t>(column)));
    Fill();
    // The selected entries stay selected at their new places.
    std::vector<int> moved;
    for (std::size_t row = 0; row < order.size() && moved.size() < selected.size(); ++row) {
        if (std::binary_search(selected.begin(), selected.end(), static_cast<int>(order[row]))) {
            moved.push_back(static_cast<int>(row));
        }
    }
    SelectRows(moved);
}

void CLogListDlg::accept()
{
    QRect frame = frameGeometry();
    // A size nobody changed is stored as it was read, not as opening widened it.
    const QSize kept = size() == shownSize_ ? storedSize_ : size();
    Layout layout{frame.x(), frame.y(), kept.width(), kept.height(), {}};
    const ColumnScale scale(list_->fontMetrics());
    for (int i = 0; i < model_->columnCount(); ++i) {
        const auto c = static_cast<std::size_t>(i);
        const int shown = list_->columnWidth(i);
        const bool unchanged =
            c < shownWidths_.size() && c < storedWidths_.size() && shown == shownWidths_[c];
        layout.columnWidths.push_back(unchanged ? storedWidths_[c] : scale.ToStored(shown));
    }
    StoreLayout(layout);
    QDialog::accept();
}

int CLogListDlg::FitWidth(int column) const
{
    if (column < 0 || static_cast<std::size_t>(column) >= columns_.size()) {
        return 0;
    }
    const QString& pattern = columns_[static_cast<std::size_t>(column)].fitPattern;
    if (pattern.isEmpty()) {
        return 0;
    }
    // As the item delegate measures a cell: the text between a focus-frame margin and one
    // pixel on either side; one pixel more absorbs the rounding of fractional advances.
    const QFontMetrics metrics = list_->fontMetrics();
    const int margin = list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    return metrics.horizontalAdvance(WidestDigits(pattern, metrics)) + 2 * margin + 1;
}

void CLogListDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layout_.OnSize(this);
}

bool CLogListDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A double click anywhere in the list edits the first selected row, as the Edit button does.
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        OnEdit();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quilvane
