#include "ProgressPage.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "DirectoryScan.h"

namespace tessaline {

namespace {

// "PSP 進捗状況" in code page 932; the meta element declares Shift_JIS.
constexpr std::string_view PageTitle = "PSP \x90\x69\x92\xBB\x8F\xF3\x8B\xB5";

std::string PageHeader()
{
    std::string header;
    header += "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html;charset=Shift_JIS\"><title>";
    header += PageTitle;
    header += "</title>\n"
              "<style type=\"text/css\">\n"
              "<!--td\n"
              "{\n"
              " border-left:   1px white   solid;\n"
              " border-top:    1px white   solid;\n"
              " border-bottom: 1px dimgray solid;\n"
              " border-right:  1px dimgray solid;\n"
              " background: #fff8dc;\n"
              "}\n"
              "-->\n"
              "</style>\n"
              "</head>\n"
              "<body bgcolor=\"#80ff99\">\n"
              "<h1>";
    header += PageTitle;
    header += "</h1>\n"
              "<table border>\n"
              "<tr><td></td>";
    return header;
}

constexpr std::string_view PageFooter = "</table>\n</body>\n</html>\n";

// Finds the files linked from a cell. The user and project names come from the result files, and
// the original file system matched them ignoring case; listings of the registration folder and of
// the user folders are kept, since every cell looks into them again.
class ProjectFileFinder {
public:
    explicit ProjectFileFinder(std::string folder) : folder_(std::move(folder)) {}

    std::vector<std::string> Find(const std::string& userName, const std::string& projectName)
    {
        const auto userDir = FindIgnoringCase(Entries(folder_), userName);
        if (!userDir) {
            return {};
        }
        const std::string userPath = JoinPath(folder_, *userDir);
        const auto projectDir = FindIgnoringCase(Entries(userPath), projectName);
        if (!projectDir) {
            return {};
        }
        const auto files = ListDirectory(JoinPath(userPath, *projectDir));
        if (!files) {
            return {};
        }
        const std::string prefix = projectName + ".";
        std::vector<std::string> matches;
        for (const std::string& name : *files) {
            if (StartsWithIgnoringCase(name, prefix)) {
                matches.push_back(name);
            }
        }
        return matches;
    }

private:
    const std::vector<std::string>& Entries(const std::string& path)
    {
        auto it = cache_.find(path);
        if (it == cache_.end()) {
            it = cache_.emplace(path, ListDirectory(path).value_or(std::vector<std::string>{})).first;
        }
        return it->second;
    }

    std::string folder_;
    std::map<std::string, std::vector<std::string>> cache_;
};

void AppendDate(std::string& page, std::time_t stamp, CalendarDateFn toDate)
{
    std::tm date{};
    if (!toDate(stamp, date)) {
        page += "?/?/?"; // a stamp beyond the calendar's range; the cell stays readable
        return;
    }
    page += std::to_string(date.tm_year + 1900);
    page += '/';
    page += std::to_string(date.tm_mon + 1);
    page += '/';
    page += std::to_string(date.tm_mday);
}

void AppendCell(std::string& page, const ProgressCell& cell, const std::string& userName,
                const std::string& projectName, CalendarDateFn toDate, ProjectFileFinder& finder)
{
    const std::string user = EscapeHtml(userName);
    const std::string project = EscapeHtml(projectName);
    page += "<td>";
    AppendDate(page, cell.stamp, toDate);
    page += "<br>";
    page += std::to_string(cell.percentage);
    page += " %<br> &nbsp; <a href=\"";
    page += user + "\\" + project + "\\work.psp\">PSP</a> ";
    for (const std::string& file : finder.Find(userName, projectName)) {
        const std::string name = EscapeHtml(file);
        page += " &nbsp; <a href=\"" + user + "\\" + project + "\\" + name + "\">" + name + "</a>";
    }
    page += "</td>";
}

} // namespace

bool LocalCalendarDate(std::time_t stamp, std::tm& date)
{
    return ::localtime_r(&stamp, &date) != nullptr;
}

std::string BuildProgressPage(const ProgressTables& tables, const std::string& folder, CalendarDateFn toDate)
{
    ProjectFileFinder finder(folder);
    std::string page = PageHeader();
    for (const auto& [projectName, projectNumber] : tables.Projects()) {
        page += "<td>" + EscapeHtml(projectName) + "</td>";
    }
    page += "</tr>\n";
    for (const auto& [userName, userNumber] : tables.Users()) {
        page += "<tr><td>" + EscapeHtml(userName) + "</td>";
        for (const auto& [projectName, projectNumber] : tables.Projects()) {
            const ProgressCell* cell = tables.FindCell(userNumber, projectNumber);
            if (cell == nullptr) {
                page += "<td></td>";
            } else {
                AppendCell(page, *cell, userName, projectName, toDate, finder);
            }
        }
        page += "</tr>\n";
    }
    page += PageFooter;
    return page;
}

std::string ToCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

std::string EscapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

} // namespace tessaline
