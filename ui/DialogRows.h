#pragma once
// Lays dialogs out row by row, so that a row is added or taken out with one line and every row
// after it follows:
//  - GridRows fills a grid layout: each Add puts its cells on the next row, from column 0.
//  - FixedRows places label + field rows at fixed positions in design units, one pitch apart,
//    for dialogs whose every control sits where it was designed.
//  - ButtonColumn stacks push buttons at fixed positions, one pitch apart.
#include <QRect>
#include <Qt>
#include <initializer_list>
#include <vector>

class QGridLayout;
class QLabel;
class QLayout;
class QPushButton;
class QString;
class QWidget;

namespace quilvane {

// A label with `utf8Text`, owned by `parent`.
QLabel* MakeLabel(QWidget* parent, const char* utf8Text);

class GridRows {
public:
    // One cell of a row: a widget or a layout over `span` columns, or nothing (the column is
    // skipped).
    struct Cell {
        Cell() = default;
        Cell(QWidget* cellWidget, int columns = 1, Qt::Alignment cellAlignment = {})
            : widget(cellWidget), span(columns), alignment(cellAlignment)
        {
        }
        Cell(QLayout* cellLayout, int columns = 1) : layout(cellLayout), span(columns) {}
        QWidget* widget = nullptr;
        QLayout* layout = nullptr;
        int span = 1;
        Qt::Alignment alignment = {};
    };

    explicit GridRows(QGridLayout* grid) : grid_(grid) {}

    // Adds the next row; returns its index.
    int Add(std::initializer_list<Cell> cells);
    // The same for a row whose cells are counted at run time.
    int Add(const std::vector<Cell>& cells);
    // Adds the next row and gives it the height the dialog has to spare, so that text growing in
    // it takes room of its own and never moves the rows above it.
    int AddGrowing(std::initializer_list<Cell> cells);
    int Count() const { return next_; }

private:
    int Add(const Cell* first, const Cell* last);

    QGridLayout* grid_;
    int next_ = 0;
};

// Where the rows of a fixed layout go, in design units.
struct FixedRowGrid {
    int labelLeft;
    int labelWidth;
    int fieldLeft;
    int top;    // of the first row
    int pitch;  // from one row to the next
    int height; // of a row's controls
};

class FixedRows {
public:
    FixedRows(QWidget* dialog, const FixedRowGrid& grid) : dialog_(dialog), grid_(grid) {}

    // Starts the next row with its label; returns the label.
    QLabel* Next(const char* utf8Label);
    // The place of a control `width` wide in the current row: beside the label, or at `left`.
    QRect Field(int width) const { return At(grid_.fieldLeft, width); }
    QRect At(int left, int width) const { return {left, Top(), width, grid_.height}; }
    // The top of the current row, and of the row after it.
    int Top() const { return grid_.top + grid_.pitch * row_; }
    int NextTop() const { return Top() + grid_.pitch; }

private:
    QWidget* dialog_;
    FixedRowGrid grid_;
    int row_ = -1;
};

class ButtonColumn {
public:
    // Buttons `size` large from `topLeft` down, `pitch` apart.
    ButtonColumn(QWidget* dialog, QPoint topLeft, QSize size, int pitch)
        : dialog_(dialog), topLeft_(topLeft), size_(size), pitch_(pitch)
    {
    }

    // The next button, made by MakeButton.
    QPushButton* Add(int id, const QString& text);

private:
    QWidget* dialog_;
    QPoint topLeft_;
    QSize size_;
    int pitch_;
    int count_ = 0;
};

} // namespace quilvane
