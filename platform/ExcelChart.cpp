#include "platform/ExcelChart.h"

#include <xlsxwriter.h>

#include "platform/Cp932.h"
#include "platform/FileIo.h"

namespace quilvane {

struct ExcelChart::Book {
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    std::string path;
    // libxlsxwriter writes to a path of its own; it gets the atomic writer's temporary file,
    // which replaces the target only once the whole workbook is on disk.
    AtomicFileWriter file;

    ~Book()
    {
        if (workbook) {
            lxw_workbook_free(workbook);
        }
    }
};

namespace {

// libxlsxwriter counts from 0 and keeps rows and columns unsigned.
bool InSheet(int row, int column)
{
    return row >= 1 && row <= LXW_ROW_MAX && column >= 1 && column <= LXW_COL_MAX;
}

void AddChart(lxw_workbook* workbook, lxw_worksheet* sheet, const char* sheetName,
              const ExcelChartDesign& design)
{
    if (!InSheet(design.firstRow, design.categoryColumn) || !InSheet(design.lastRow, design.categoryColumn) ||
        !InSheet(design.anchorRow, design.anchorColumn)) {
        return;
    }
    lxw_chart* chart = workbook_add_chart(workbook, LXW_CHART_COLUMN);
    if (!chart) {
        return;
    }
    const auto first = static_cast<lxw_row_t>(design.firstRow - 1);
    const auto last = static_cast<lxw_row_t>(design.lastRow - 1);
    const auto categories = static_cast<lxw_col_t>(design.categoryColumn - 1);
    for (int column : design.valueColumns) {
        if (!InSheet(design.firstRow, column)) {
            continue;
        }
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        if (!series) {
            continue;
        }
        const auto values = static_cast<lxw_col_t>(column - 1);
        chart_series_set_categories(series, sheetName, first, categories, last, categories);
        chart_series_set_values(series, sheetName, first, values, last, values);
        if (InSheet(design.nameRow, column)) {
            chart_series_set_name_range(series, sheetName, static_cast<lxw_row_t>(design.nameRow - 1),
                                        values);
        }
    }
    if (!design.title.empty()) {
        chart_title_set_name(chart, design.title.c_str());
    }
    if (!design.valueTitle.empty()) {
        chart_axis_set_name(chart->y_axis, design.valueTitle.c_str());
    }
    if (design.valueColumns.size() < 2) {
        // One series needs no legend; the title names it.
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    }
    worksheet_insert_chart(sheet, static_cast<lxw_row_t>(design.anchorRow - 1),
                           static_cast<lxw_col_t>(design.anchorColumn - 1), chart);
}

} // namespace

ExcelChart::ExcelChart() = default;
ExcelChart::~ExcelChart() = default;

Status ExcelChart::Open(const std::string& path, const ExcelTemplate& layout)
{
    book_.reset();
    auto book = std::make_unique<Book>();
    book->path = path;
    if (Status begun = book->file.Begin(path); !begun) {
        return begun;
    }
    book->workbook = workbook_new(book->file.TempPath().c_str());
    if (!book->workbook) {
        return Status::Failure("ブックを作れませんでした: " + path);
    }
    const char* sheetName = layout.sheetName.empty() ? nullptr : layout.sheetName.c_str();
    book->sheet = workbook_add_worksheet(book->workbook, sheetName);
    if (!book->sheet) {
        return Status::Failure("シートを作れませんでした: " + path);
    }
    // Charts name the sheet in their ranges; the default name is the one libxlsxwriter gave it.
    const char* rangeSheet = book->sheet->name;
    for (const ExcelLabel& label : layout.labels) {
        if (InSheet(label.row, label.column)) {
            worksheet_write_string(book->sheet, static_cast<lxw_row_t>(label.row - 1),
                                   static_cast<lxw_col_t>(label.column - 1), label.text.c_str(), nullptr);
        }
    }
    for (const auto& [column, width] : layout.columnWidths) {
        if (InSheet(1, column)) {
            const auto col = static_cast<lxw_col_t>(column - 1);
            worksheet_set_column(book->sheet, col, col, width, nullptr);
        }
    }
    if (layout.onePage) {
        worksheet_set_landscape(book->sheet);
        worksheet_fit_to_pages(book->sheet, 1, 1);
    }
    for (const ExcelChartDesign& design : layout.charts) {
        AddChart(book->workbook, book->sheet, rangeSheet, design);
    }
    book_ = std::move(book);
    return Status::Success();
}

bool ExcelChart::IsOpen() const
{
    return book_ != nullptr;
}

void ExcelChart::SetCell(int row, int column, std::int32_t value)
{
    SetCell(row, column, static_cast<double>(value));
}

void ExcelChart::SetCell(int row, int column, double value)
{
    if (!book_ || !InSheet(row, column)) {
        return;
    }
    worksheet_write_number(book_->sheet, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1),
                           value, nullptr);
}

void ExcelChart::SetCell(int row, int column, const std::string& cp932)
{
    if (!book_ || !InSheet(row, column)) {
        return;
    }
    // An empty string clears the cell; libxlsxwriter stores no cell for it.
    std::string text = Cp932ToUtf8(cp932);
    worksheet_write_string(book_->sheet, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1),
                           text.c_str(), nullptr);
}

Status ExcelChart::Save()
{
    if (!book_) {
        return Status::Failure("ワークブックが開かれていません");
    }
    std::unique_ptr<Book> book = std::move(book_);
    lxw_error error = workbook_close(book->workbook);
    // workbook_close frees the workbook whatever it returns.
    book->workbook = nullptr;
    if (error != LXW_NO_ERROR) {
        return Status::Failure(book->path + " を書き込めません (" + lxw_strerror(error) + ")");
    }
    return book->file.Commit();
}

} // namespace quilvane
