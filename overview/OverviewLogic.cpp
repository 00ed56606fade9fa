#include "overview/OverviewLogic.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/FileIo.h"
#include "platform/MbString.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/Settings.h"

namespace quilvane {
namespace {

constexpr std::size_t PhasesTextLimit = 1023;
constexpr std::size_t BaseChunkBytes = 127;

// Reads the next chunk as fgets into a 128-byte buffer in text mode does: up to 127 bytes,
// ending after a line feed, with CR LF arriving as LF.
bool NextChunk(std::FILE* f, std::string& chunk)
{
    chunk.clear();
    int c = 0;
    while (chunk.size() < BaseChunkBytes && (c = std::fgetc(f)) != EOF) {
        if (c == '\r') {
            int next = std::fgetc(f);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, f);
            }
        }
        chunk += static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    return !chunk.empty();
}

} // namespace

std::string PhaseNamesToText(const std::vector<std::string>& names)
{
    std::string text;
    for (const auto& name : names) {
        text += name;
        text += "\r\n";
    }
    return text;
}

std::string PhasesToText(const std::vector<PhaseRecord>& phases)
{
    std::vector<std::string> names;
    names.reserve(phases.size());
    for (const auto& p : phases) {
        names.push_back(p.name);
    }
    return PhaseNamesToText(names);
}

std::vector<std::string> ParsePhasesText(const std::string& text)
{
    std::string lf;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lf += text[i];
    }
    if (lf.empty() || lf.back() != '\n') {
        lf += '\n';
    }
    if (lf.size() > PhasesTextLimit) {
        lf.resize(PhasesTextLimit);
    }
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t pos = lf.find('\n'); pos != std::string::npos; pos = lf.find('\n', start)) {
        names.push_back(lf.substr(start, pos - start));
        start = pos + 1;
    }
    return names;
}

std::vector<PhaseRecord> RebuildPhaseTable(const std::vector<PhaseRecord>& current,
                                           const std::vector<std::string>& names)
{
    std::vector<PhaseRecord> table;
    for (const auto& name : names) {
        auto it = std::find_if(current.begin(), current.end(),
                               [&](const PhaseRecord& p) { return p.name == name; });
        table.push_back(it == current.end() ? PhaseRecord{name, 0, 0, 0}
                                            : PhaseRecord{name, it->plan, it->actual, it->ratio});
    }
    return table;
}

bool IsUsableUserName(const std::string& name)
{
    return !name.empty() && name != UnsetUserName;
}

std::string ReadBaseTag(const std::string& path)
{
    // A page is taken only as a regular file: a FIFO placed under the name must not hang the
    // new-project dialog, so the file is opened without blocking and checked before reading.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    struct stat st {};
    std::FILE* f = nullptr;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (f = ::fdopen(fd, "rb")) == nullptr) {
        ::close(fd);
        return {};
    }
    std::string chunk;
    std::string base;
    while (NextChunk(f, chunk)) {
        auto open = chunk.find("<base>");
        if (open == std::string::npos) {
            continue;
        }
        auto close = chunk.find("</base>", open + 6);
        if (close != std::string::npos) {
            base = chunk.substr(open + 6, close - open - 6);
            break;
        }
    }
    std::fclose(f);
    return base;
}

std::optional<std::string> ProblemPageAddress(const std::string& programFolder,
                                              const std::string& projectName)
{
    auto page = ProblemPagePath(programFolder, projectName);
    if (!page) {
        return std::nullopt;
    }
    // The folder is a disk path (UTF-8 never holds 0x5C inside a character), so a plain
    // replacement makes every backslash a slash.
    std::string address = "file://" + *page;
    std::replace(address.begin(), address.end(), '\\', '/');
    return address;
}

std::optional<std::string> ProblemPagePath(const std::string& programFolder, const std::string& exercise)
{
    // Double-byte characters whose second byte is 0x5C are not separators.
    auto name = StoredToDiskPath(exercise);
    if (!name) {
        return std::nullopt;
    }
    return programFolder + "/prob/htm/" + *name + ".htm";
}

std::vector<ProblemPage> ListProblemPages(const std::string& programFolder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<ProblemPage> pages;
    for (const auto& diskName :
         ListFolder(programFolder + "/prob/htm").value_or(std::vector<std::string>{})) {
        // Exercise names are stored text; a page whose name CP932 cannot hold offers nothing.
        auto stored = DiskToStoredName(diskName);
        if (!stored) {
            continue;
        }
        const std::string& name = *stored;
        // "*.htm" as the original matched it: the extension compared without regard to case.
        auto dot = name.rfind('.');
        if (dot == std::string::npos || MbsICmp(name.substr(dot), ".htm") != 0 ||
            MbsICmp(name, "PSP.htm") == 0) {
            continue;
        }
        // The base inside the page is CP932 text naming a folder beside the program.
        std::string base = ReadBaseTag(programFolder + "/prob/htm/" + diskName);
        auto baseFolder = StoredToDiskPath(base);
        if (base.empty() || !baseFolder || !fs::is_directory(programFolder + "/" + *baseFolder, ec)) {
            continue;
        }
        pages.push_back({name.substr(0, name.find('.')), base});
    }
    return pages;
}

std::optional<std::size_t> FindPrefix(const std::vector<std::string>& entries, const std::string& text,
                                      std::size_t start)
{
    std::size_t n = entries.size();
    for (std::size_t k = 1; k <= n; ++k) {
        std::size_t i = (start + k) % n;
        if (MbsIStartsWith(entries[i], text)) {
            return i;
        }
    }
    return std::nullopt;
}

NewProjectChoices BuildNewProjectChoices(const std::vector<ProblemPage>& pages, const std::string& current)
{
    NewProjectChoices choices;
    auto insertSorted = [](std::vector<std::string>& list, const std::string& item) {
        auto at = std::upper_bound(list.begin(), list.end(), item, MbsILess{});
        list.insert(at, item);
    };
    for (const auto& page : pages) {
        insertSorted(choices.exercises, page.exercise);
        if (!FindPrefix(choices.bases, page.base)) {
            insertSorted(choices.bases, page.base);
        }
    }
    if (choices.exercises.empty()) {
        return choices;
    }
    // An empty name would match every entry; a fresh workspace starts with the first exercise.
    auto found = current.empty() ? std::nullopt : FindPrefix(choices.exercises, current, 0);
    if (!found) {
        choices.proposed = 0;
    } else if (*found + 1 < choices.exercises.size()) {
        choices.proposed = *found + 1;
    }
    return choices;
}

} // namespace quilvane
