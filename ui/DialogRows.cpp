#include "ui/DialogRows.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/WidgetHelpers.h"

namespace quilvane {

QLabel* MakeLabel(QWidget* parent, const char* utf8Text)
{
    return new QLabel(QString::fromUtf8(utf8Text), parent);
}

int GridRows::Add(std::initializer_list<Cell> cells)
{
    return Add(cells.begin(), cells.end());
}

int GridRows::Add(const std::vector<Cell>& cells)
{
    return Add(cells.data(), cells.data() + cells.size());
}

int GridRows::Add(const Cell* first, const Cell* last)
{
    const int row = next_++;
    int column = 0;
    for (const Cell* at = first; at != last; ++at) {
        const Cell& cell = *at;
        if (cell.widget != nullptr) {
            grid_->addWidget(cell.widget, row, column, 1, cell.span, cell.alignment);
        } else if (cell.layout != nullptr) {
            grid_->addLayout(cell.layout, row, column, 1, cell.span);
        }
        column += cell.span;
    }
    return row;
}

int GridRows::AddGrowing(std::initializer_list<Cell> cells)
{
    const int row = Add(cells);
    grid_->setRowStretch(row, 1);
    return row;
}

QLabel* FixedRows::Next(const char* utf8Label)
{
    ++row_;
    QLabel* label = MakeLabel(dialog_, utf8Label);
    label->setGeometry(grid_.labelLeft, Top(), grid_.labelWidth, grid_.height);
    return label;
}

QPushButton* ButtonColumn::Add(int id, const QString& text)
{
    const QRect where(topLeft_ + QPoint(0, pitch_ * count_++), size_);
    return MakeButton(dialog_, id, text, where);
}

} // namespace quilvane
