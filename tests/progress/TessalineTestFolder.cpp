#include "tests/progress/TessalineTestFolder.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "platform/Cp932.h"
#include "platform/PathNames.h"

namespace tessaline::test {

namespace fs = std::filesystem;

TestFolder::TestFolder()
{
    std::string pattern = (fs::temp_directory_path() / "tessaline-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TestFolder::~TestFolder()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TestFolder::WriteFile(const std::string& relative, std::string_view bytes, std::time_t stamp) const
{
    const fs::path file = PathOf(relative);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const timespec times[2] = {{stamp, 0}, {stamp, 0}};
    if (::utimensat(AT_FDCWD, file.c_str(), times, 0) != 0) {
        throw std::runtime_error("cannot set the modification time of " + file.string());
    }
}

void TestFolder::WriteResult(const std::string& dir, std::string_view line, std::time_t stamp) const
{
    WriteFile(dir + "/result.txt", std::string(line) + "\r\n", stamp);
}

void TestFolder::MakeDirectory(const std::string& relative) const
{
    fs::create_directories(PathOf(relative));
}

void TestFolder::MakeSymlink(const std::string& relative, const std::string& target) const
{
    const fs::path link = PathOf(relative);
    fs::create_directories(link.parent_path());
    fs::create_symlink(target, link);
}

void TestFolder::MakeFifo(const std::string& relative) const
{
    const fs::path fifo = PathOf(relative);
    fs::create_directories(fifo.parent_path());
    if (::mkfifo(fifo.c_str(), 0644) != 0) {
        throw std::runtime_error("cannot make the FIFO " + fifo.string());
    }
}

bool TestFolder::MakeZeroDevice(const std::string& relative) const
{
    const fs::path device = PathOf(relative);
    fs::create_directories(device.parent_path());
    return ::mknod(device.c_str(), S_IFCHR | 0644, ::makedev(1, 5)) == 0;
}

std::string TestFolder::ReadFile(const std::string& relative) const
{
    std::ifstream in(PathOf(relative), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool TestFolder::Exists(const std::string& relative) const
{
    return fs::exists(PathOf(relative));
}

int TestFolder::CountEntries() const
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(path_)) {
        ++count;
    }
    return count;
}

std::string Disk(std::string_view stored)
{
    const auto disk = quilvane::StoredToDiskPath(stored);
    if (!disk) {
        throw std::runtime_error("not a code-page-932 name");
    }
    return *disk;
}

std::vector<std::string> ResolveLinksLikeABrowser(const std::string& page, const std::string& folder)
{
    static const std::regex href("href=\"([^\"]*)\"");
    static const std::pair<std::string, std::string> references[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    std::vector<std::string> paths;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), href); it != std::sregex_iterator(); ++it) {
        auto text = quilvane::Cp932ToUtf8Strict((*it)[1].str());
        if (!text) {
            paths.emplace_back();
            continue;
        }
        for (const auto& [reference, character] : references) {
            for (std::size_t pos = 0; (pos = text->find(reference, pos)) != std::string::npos; ++pos) {
                text->replace(pos, reference.size(), character);
            }
        }
        std::erase_if(*text, [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
        std::replace(text->begin(), text->end(), '\\', '/');
        text->resize(std::min({text->size(), text->find('#'), text->find('?')}));
        std::string path;
        for (std::size_t pos = 0; pos < text->size(); ++pos) {
            if ((*text)[pos] == '%' && pos + 2 < text->size() &&
                std::isxdigit(static_cast<unsigned char>((*text)[pos + 1])) != 0 &&
                std::isxdigit(static_cast<unsigned char>((*text)[pos + 2])) != 0) {
                path += static_cast<char>(std::stoi(text->substr(pos + 1, 2), nullptr, 16));
                pos += 2;
            } else {
                path += (*text)[pos];
            }
        }
        paths.push_back(folder + "/" + path);
    }
    return paths;
}

std::string ExpectedHeader()
{
    // "PSP 進捗状況" in Shift_JIS.
    const std::string title = "PSP \x90\x69\x92\xBB\x8F\xF3\x8B\xB5";
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html;charset=Shift_JIS\">"
           "<title>" +
           title +
           "</title>\r\n"
           "<style type=\"text/css\">\r\n"
           "<!--td\r\n"
           "{\r\n"
           " border-left:   1px white   solid;\r\n"
           " border-top:    1px white   solid;\r\n"
           " border-bottom: 1px dimgray solid;\r\n"
           " border-right:  1px dimgray solid;\r\n"
           " background: #fff8dc;\r\n"
           "}\r\n"
           "-->\r\n"
           "</style>\r\n"
           "</head>\r\n"
           "<body bgcolor=\"#80ff99\">\r\n"
           "<h1>" +
           title +
           "</h1>\r\n"
           "<table border>\r\n"
           "<tr><td></td>";
}

std::string ExpectedFooter()
{
    return "</table>\r\n</body>\r\n</html>\r\n";
}

std::string ExpectedCell(const std::string& date, const std::string& percentage, const std::string& user,
                         const std::string& project, const std::string& links)
{
    return "<td>" + date + "<br>" + percentage + " %<br> &nbsp; <a href=\"" + user + "\\" + project +
           "\\work.psp\">PSP</a> " + links + "</td>";
}

bool UtcDate(std::time_t stamp, std::tm& date)
{
    return ::gmtime_r(&stamp, &date) != nullptr;
}

} // namespace tessaline::test
