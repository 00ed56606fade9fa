#include "progress/ProgressPage.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/HtmlText.h"
#include "platform/MbString.h"
#include "platform/PathNames.h"

namespace tessaline {

using quilvane::EscapeHtml;

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

// The folder names a cell's links go through and the files they name, all as stored text.
struct CellLinks {
    std::string user;
    std::string project;
    std::vector<std::string> files;
};

// Finds the files linked from a cell. The user and project names come from the result files, and
// the original file system matched them ignoring case; the links then use the folders' own
// spelling, so that they also resolve where names are case-sensitive. Only folders the run has
// read are linked, from what was read: nothing is opened again.
class ProjectFileFinder {
public:
    explicit ProjectFileFinder(const RegistrationListing& listing) : listing_(listing) {}

    // The links of a cell: through the folders its names find, or, where they find none, through
    // the folders its result file lies in, so that no link is dead.
    CellLinks Find(const std::string& userName, const std::string& projectName,
                   const ResultSource& source) const
    {
        if (auto links = FindIn(userName, projectName, projectName)) {
            return *std::move(links);
        }
        if (!source.userFolder.empty()) {
            if (auto links = FindIn(source.userFolder, source.projectFolder, projectName)) {
                return *std::move(links);
            }
        }
        return {userName, projectName, {}};
    }

private:
    // The files `filePrefix`.* of the folder user/project.
    std::optional<CellLinks> FindIn(const std::string& userName, const std::string& projectName,
                                    const std::string& filePrefix) const
    {
        const UserListing* user = Matching(listing_.users, userName);
        if (user == nullptr) {
            return std::nullopt;
        }
        const ProjectListing* project = Matching(user->projects, projectName);
        if (project == nullptr) {
            return std::nullopt;
        }
        const std::string prefix = filePrefix + ".";
        CellLinks links{user->stored, project->stored, {}};
        for (const NamedEntry& entry : project->entries) {
            if (entry.kind == EntryKind::RegularFile && quilvane::MbsIStartsWith(entry.stored, prefix)) {
                links.files.push_back(entry.stored);
            }
        }
        return links;
    }

    // The folder named `storedName`: the one bearing that very name on disk first, then the first
    // in name order that matches it ignoring case. `folders` are in on-disk name order.
    template <typename Listed>
    static const Listed* Matching(const std::vector<Listed>& folders, const std::string& storedName)
    {
        if (const auto disk = quilvane::StoredToDiskPath(storedName)) {
            const auto exact = std::lower_bound(
                folders.begin(), folders.end(), *disk,
                [](const Listed& folder, const std::string& name) { return folder.disk < name; });
            if (exact != folders.end() && exact->disk == *disk) {
                return &*exact;
            }
        }
        const auto other = std::find_if(folders.begin(), folders.end(), [&storedName](const Listed& folder) {
            return quilvane::MbsICmp(folder.stored, storedName) == 0;
        });
        return other == folders.end() ? nullptr : &*other;
    }

    const RegistrationListing& listing_;
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
                const std::string& projectName, CalendarDateFn toDate, const ProjectFileFinder& finder)
{
    const CellLinks links = finder.Find(userName, projectName, cell.source);
    const std::string user = EscapeLinkPath(links.user);
    const std::string project = EscapeLinkPath(links.project);
    page += "<td>";
    AppendDate(page, cell.stamp, toDate);
    page += "<br>";
    page += std::to_string(cell.percentage);
    page += " %<br> &nbsp; <a href=\"";
    page += user + "\\" + project + "\\work.psp\">PSP</a> ";
    for (const std::string& file : links.files) {
        page += " &nbsp; <a href=\"" + user + "\\" + project + "\\" + EscapeLinkPath(file) + "\">" +
                EscapeHtml(file) + "</a>";
    }
    page += "</td>";
}

} // namespace

bool LocalCalendarDate(std::time_t stamp, std::tm& date)
{
    return ::localtime_r(&stamp, &date) != nullptr;
}

std::string BuildProgressPage(const ProgressTables& tables, const RegistrationListing& listing,
                              CalendarDateFn toDate)
{
    const ProjectFileFinder finder(listing);
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
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos) {
            out.append(text.substr(from));
            break;
        }
        out.append(text.substr(from, end - from));
        out += "\r\n";
        from = end + 1;
    }
    return out;
}

std::string EscapeLinkPath(std::string_view name)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    // Most names are plain ASCII without any of these bytes; they need no walk by characters.
    if (std::all_of(name.begin(), name.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 0x20 && u < 0x7F && c != '%' && c != '#' && c != '?' && c != '\\';
        })) {
        return EscapeHtml(name);
    }
    std::string escaped;
    escaped.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t length = quilvane::Cp932CharLength(name, pos);
        const auto c = static_cast<unsigned char>(name[pos]);
        // A browser takes '\' for '/', and drops tabs and line ends from a link, so either could
        // turn one name into steps through other folders.
        const bool special = c == '%' || c == '#' || c == '?' || c == '\\' || c < 0x20 || c == 0x7F;
        if (length == 1 && special) {
            escaped += '%';
            escaped += Hex[c >> 4];
            escaped += Hex[c & 0x0F];
        } else {
            escaped.append(name.substr(pos, length));
        }
        pos += length;
    }
    return EscapeHtml(escaped);
}

} // namespace tessaline
