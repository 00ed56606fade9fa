#include "progress/ProgressPage.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/MbString.h"
#include "platform/PathNames.h"

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

// The folder names a cell's links go through and the files they name, all as stored text.
struct CellLinks {
    std::string user;
    std::string project;
    std::vector<std::string> files;
};

// Finds the files linked from a cell. The user and project names come from the result files, and
// the original file system matched them ignoring case; the links then use the folders' own
// spelling, so that they also resolve where names are case-sensitive. Listings of the
// registration folder and of the user folders are kept, since every cell looks into them again.
class ProjectFileFinder {
public:
    explicit ProjectFileFinder(const Folder& registrationFolder) : root_(registrationFolder) {}

    CellLinks Find(const std::string& userName, const std::string& projectName)
    {
        const ListedFolder* user = UserFolder(userName);
        if (user == nullptr) {
            return {userName, projectName, {}};
        }
        const auto project = OpenMatching(user->folder, user->entries, projectName);
        if (!project) {
            return {user->storedName, projectName, {}};
        }
        const std::string prefix = projectName + ".";
        CellLinks links{user->storedName, project->storedName, {}};
        for (const NamedEntry& entry : project->entries) {
            if (entry.kind == EntryKind::RegularFile && quilvane::MbsIStartsWith(entry.stored, prefix)) {
                links.files.push_back(entry.stored);
            }
        }
        return links;
    }

private:
    struct ListedFolder {
        std::string storedName;
        Folder folder;
        std::vector<NamedEntry> entries;
    };

    const ListedFolder* UserFolder(const std::string& userName)
    {
        if (!rootEntries_) {
            rootEntries_ = StoredEntries(root_.List().value_or(std::vector<FolderEntry>{}));
        }
        auto it = users_.find(userName);
        if (it == users_.end()) {
            it = users_.emplace(userName, OpenMatching(root_, *rootEntries_, userName)).first;
        }
        return it->second ? &*it->second : nullptr;
    }

    // The real subfolder named `storedName`: the folder bearing that very name on disk first, then
    // the others that match it ignoring case, in name order. Links and non-directories are passed
    // over. `entries` are in on-disk name order.
    static std::optional<ListedFolder>
    OpenMatching(const Folder& parent, const std::vector<NamedEntry>& entries, const std::string& storedName)
    {
        if (const auto disk = quilvane::StoredToDiskPath(storedName)) {
            const auto exact = std::lower_bound(
                entries.begin(), entries.end(), *disk,
                [](const NamedEntry& entry, const std::string& name) { return entry.disk < name; });
            if (exact != entries.end() && exact->disk == *disk) {
                if (auto opened = OpenListed(parent, *exact)) {
                    return opened;
                }
            }
        }
        for (const NamedEntry& entry : entries) {
            if (quilvane::MbsICmp(entry.stored, storedName) == 0) {
                if (auto opened = OpenListed(parent, entry)) {
                    return opened;
                }
            }
        }
        return std::nullopt;
    }

    static std::optional<ListedFolder> OpenListed(const Folder& parent, const NamedEntry& entry)
    {
        if (entry.kind != EntryKind::Directory) {
            return std::nullopt;
        }
        auto folder = parent.OpenSubfolder(entry.disk);
        if (!folder) {
            return std::nullopt;
        }
        auto listing = StoredEntries(folder->List().value_or(std::vector<FolderEntry>{}));
        return ListedFolder{entry.stored, std::move(*folder), std::move(listing)};
    }

    const Folder& root_;
    std::optional<std::vector<NamedEntry>> rootEntries_;
    std::map<std::string, std::optional<ListedFolder>> users_;
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
    const CellLinks links = finder.Find(userName, projectName);
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

std::string BuildProgressPage(const ProgressTables& tables, const Folder& registrationFolder,
                              CalendarDateFn toDate)
{
    ProjectFileFinder finder(registrationFolder);
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

std::string EscapeLinkPath(std::string_view name)
{
    std::string escaped;
    escaped.reserve(name.size());
    for (const char c : name) {
        switch (c) {
        case '%':
            escaped += "%25";
            break;
        case '#':
            escaped += "%23";
            break;
        case '?':
            escaped += "%3F";
            break;
        default:
            escaped += c;
            break;
        }
    }
    return EscapeHtml(escaped);
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
