#pragma once
// A registration folder built in a temporary directory for Tessaline's tests.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tessaline::test {

// 2003-07-05 00:00:00 UTC and 2003-12-25 12:00:00 UTC.
inline constexpr std::time_t July5th2003 = 1057363200;
inline constexpr std::time_t Christmas2003 = 1072353600;

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string PathOf(const std::string& relative) const { return path_ + "/" + relative; }

    // Creates the file and its parent folders, and gives it the modification time `stamp`.
    void WriteFile(const std::string& relative, std::string_view bytes,
                   std::time_t stamp = July5th2003) const;
    // Writes dir/result.txt holding `line` followed by CR LF.
    void WriteResult(const std::string& dir, std::string_view line, std::time_t stamp = July5th2003) const;
    void MakeDirectory(const std::string& relative) const;
    // A symbolic link at `relative` (parent folders created) pointing to `target`.
    void MakeSymlink(const std::string& relative, const std::string& target) const;
    // A FIFO at `relative` (parent folders created).
    void MakeFifo(const std::string& relative) const;
    // A character device like /dev/zero at `relative`; false when this process may not make one.
    bool MakeZeroDevice(const std::string& relative) const;
    std::string ReadFile(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    // Names in the folder itself that are not "." or "..", for checking that nothing is left over.
    int CountEntries() const;

private:
    std::string path_;
};

// A stored (code-page-932) name or relative path as it lies on disk (UTF-8, '/' as separator).
std::string Disk(std::string_view stored);

// Every href of the page resolved as a browser does: the Shift_JIS text decoded, character
// references replaced, tabs and line ends dropped, '\' taken as '/', a fragment or query cut off, percent
// escapes decoded, relative to the page's folder. The paths are on-disk (UTF-8) paths below `folder`; an href
// that does not decode gives an empty path.
std::vector<std::string> ResolveLinksLikeABrowser(const std::string& page, const std::string& folder);

// The fixed beginning of every page, up to and including the corner cell, with CR LF line ends.
std::string ExpectedHeader();
// The end of every page.
std::string ExpectedFooter();
// A filled cell as the page shows it, without links besides the PSP link unless given.
std::string ExpectedCell(const std::string& date, const std::string& percentage, const std::string& user,
                         const std::string& project, const std::string& links = "");

// The UTC calendar date, so that expectations hold in every time zone.
bool UtcDate(std::time_t stamp, std::tm& date);

} // namespace tessaline::test
