#pragma once
// A spreadsheet filled cell by cell, as Excel automation filled the chart template on the
// original platform. Here no spreadsheet program can be driven, so the cells go into an .xlsx
// workbook written with libxlsxwriter; the template's labels and charts come in as a
// description, and Save puts the finished workbook in place for the desktop to open.
//
// Open, then SetCell in any order, then Save. When Open failed, SetCell does nothing and Save
// writes nothing, as cell writes did nothing without an Excel to write to.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Status.h"

namespace quilvane {

// Rows and columns are 1-based, as Excel's Cells counts them (column 2 is B).
struct ExcelLabel {
    int row = 0;
    int column = 0;
    std::string text; // UTF-8
};

// A column chart of one or more value columns over the rows first..last, with the categories
// (the bars' names) in `categoryColumn`. Each series is named by its column's cell in `nameRow`.
struct ExcelChartDesign {
    std::string title;      // UTF-8
    std::string valueTitle; // UTF-8, the vertical axis
    int firstRow = 0;
    int lastRow = 0;
    int categoryColumn = 0;
    int nameRow = 0;
    std::vector<int> valueColumns;
    // The cell at the chart's top left corner.
    int anchorRow = 0;
    int anchorColumn = 0;
};

// What a template file held: the sheet's name, its fixed texts and its charts.
struct ExcelTemplate {
    std::string sheetName; // UTF-8
    std::vector<ExcelLabel> labels;
    std::vector<ExcelChartDesign> charts;
    // Widths in characters of chosen columns (column number, width); others keep the default.
    std::vector<std::pair<int, double>> columnWidths;
    // Printed in landscape, scaled to one page.
    bool onePage = false;
};

class ExcelChart {
public:
    ExcelChart();
    ~ExcelChart();
    ExcelChart(const ExcelChart&) = delete;
    ExcelChart& operator=(const ExcelChart&) = delete;

    // Starts a workbook that Save will write to `path`, laid out by `layout`. Fails with the reason
    // when the workbook cannot be created (its folder is missing or not writable); nothing is
    // written then.
    [[nodiscard]] Status Open(const std::string& path, const ExcelTemplate& layout);
    bool IsOpen() const;

    void SetCell(int row, int column, std::int32_t value);
    void SetCell(int row, int column, double value);
    // `cp932` is data-model text; the workbook holds UTF-8. An empty text leaves the cell empty.
    void SetCell(int row, int column, const std::string& cp932);

    // Writes the workbook under a temporary name beside `path` and renames it over `path`, so a
    // failed write leaves the previous workbook as it was. Ends the workbook either way.
    Status Save();

private:
    struct Book;
    std::unique_ptr<Book> book_;
};

} // namespace quilvane
