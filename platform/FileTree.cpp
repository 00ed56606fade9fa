#include "platform/FileTree.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileIo.h"
#include "platform/MbString.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"

namespace quilvane {
namespace {

namespace fs = std::filesystem;

// '\' becomes '/', and trailing separators go so that "a/b/" and "a/b" mean one directory.
std::string DiskPath(const std::string& path)
{
    std::string p = ToSlashes(path);
    while (p.size() > 1 && p.back() == '/') {
        p.pop_back();
    }
    return p;
}

std::string Join(const std::string& dir, const std::string& name)
{
    return dir.empty() ? name : dir + "/" + name;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return MbsICmp(a, b) == 0;
}

// The extension from the last '.', empty when there is none ('.' is never a CP932 trail byte).
std::string_view Extension(std::string_view name)
{
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string_view Stem(std::string_view name)
{
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

class TreeCopier {
public:
    TreeCopier(const std::optional<TreeTemplate>& templateMode, const std::string& dstDir)
        : templateMode_(templateMode)
    {
        if (templateMode_) {
            std::string name = DiskPath(templateMode_->templateName);
            size_t slash = name.rfind('/');
            templateBase_ = slash == std::string::npos ? name : name.substr(slash + 1);
            // File names on disk are in the system's encoding, file contents stay CP932.
            diskTemplateBase_ = StoredToDiskPath(templateBase_).value_or(templateBase_);
            diskNewName_ = StoredToDiskPath(templateMode_->newName).value_or(templateMode_->newName);
        }
        std::error_code ec;
        destination_ = fs::canonical(dstDir, ec);
    }

    void CopyDirectory(const std::string& src, const std::string& dst, const std::string& relative)
    {
        auto names = ListFolder(src);
        if (!names) {
            Fail(relative.empty() ? src : relative, CopyProblem::Failed);
            return;
        }
        for (const auto& name : *names) {
            if (!LeftOut(name)) {
                CopyEntry(src + "/" + name, dst + "/" + name, dst, Join(relative, name), name);
            }
        }
    }

    std::vector<CopyIssue> TakeIssues() { return std::move(issues_); }

private:
    void Fail(const std::string& relative, CopyProblem problem) { issues_.push_back({relative, problem}); }

    bool LeftOut(const std::string& name) const
    {
        if (EqualsIgnoringCase(name, "bin") || EqualsIgnoringCase(name, "obj")) {
            return true;
        }
        if (templateMode_ && EqualsIgnoringCase(name, "result.txt")) {
            return true;
        }
        return EqualsIgnoringCase(Extension(name), ".suo");
    }

    void CopyEntry(const std::string& from, const std::string& to, const std::string& dst,
                   const std::string& relative, const std::string& name)
    {
        std::error_code ec;
        fs::file_status linkStatus = fs::symlink_status(from, ec);
        if (fs::is_directory(linkStatus)) {
            // A destination inside the source would otherwise be copied into itself without end.
            if (!destination_.empty() && fs::equivalent(from, destination_, ec)) {
                return;
            }
            // The folder may be there already (the copy goes over existing files); one that cannot
            // be made shows as its entries failing to copy.
            (void)mkdir(to.c_str(), 0777);
            CopyDirectory(from, to, relative);
            return;
        }
        // A link to a file is copied as the file; a link to a directory is not followed, as it
        // may lead back into the tree.
        // A link to a folder, a dangling link, a FIFO or a socket has no contents to copy.
        if (!fs::is_regular_file(fs::status(from, ec))) {
            Fail(relative, CopyProblem::NotCopyable);
            return;
        }
        if (templateMode_) {
            CopyTemplateFile(from, dst, relative, name);
            return;
        }
        if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec)) {
            Fail(relative, CopyProblem::Failed);
        }
    }

    void CopyTemplateFile(const std::string& from, const std::string& dst, const std::string& relative,
                          const std::string& name)
    {
        std::string_view extension = Extension(name);
        bool renamed = EqualsIgnoringCase(Stem(name), diskTemplateBase_);
        bool projectFile =
            EqualsIgnoringCase(extension, ".csproj") || EqualsIgnoringCase(extension, ".vbproj");
        std::string to = dst + "/" + (renamed ? diskNewName_ + std::string(extension) : name);
        std::error_code ec;
        if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec)) {
            Fail(relative, CopyProblem::Failed);
            return;
        }
        if (!renamed && !projectFile) {
            return;
        }
        bool edited = ReplaceInFile(to, templateBase_, templateMode_->newName).Ok();
        edited = ReplaceInFile(to, "USERNAME", templateMode_->userName).Ok() && edited;
        edited = ReplaceInFile(to, "VERSION", templateMode_->version).Ok() && edited;
        if (!edited) {
            Fail(relative, CopyProblem::Failed);
        }
    }

    const std::optional<TreeTemplate>& templateMode_;
    std::string templateBase_;
    std::string diskTemplateBase_;
    std::string diskNewName_;
    fs::path destination_;
    std::vector<CopyIssue> issues_;
};

// Called right after the failed system call, whose errno says why.
Status RemoveFailure(const std::string& path)
{
    const int error = errno;
    return Status::Failure(path + " を削除できません: " + ErrorText(error));
}

Status CreateFailure(const std::string& path)
{
    const int error = errno;
    return Status::Failure(path + " を作成できません: " + ErrorText(error));
}

std::string ReplaceAll(const std::string& line, const std::string& search, const std::string& replacement)
{
    if (search.empty()) {
        return line;
    }
    std::string out;
    size_t from = 0;
    for (size_t at = line.find(search); at != std::string::npos; at = line.find(search, from)) {
        out.append(line, from, at - from);
        out += replacement;
        from = at + search.size();
    }
    out.append(line, from, std::string::npos);
    return out;
}

} // namespace

std::vector<CopyIssue> CopyProjectTreeChecked(const std::string& srcDir, const std::string& dstDir,
                                              const std::optional<TreeTemplate>& templateMode)
{
    std::string src = DiskPath(srcDir);
    std::string dst = DiskPath(dstDir);
    TreeCopier copier(templateMode, dst);
    copier.CopyDirectory(src, dst, "");
    return copier.TakeIssues();
}

std::vector<std::string> CopyProjectTree(const std::string& srcDir, const std::string& dstDir,
                                         const std::optional<TreeTemplate>& templateMode)
{
    std::vector<std::string> failures;
    for (auto& issue : CopyProjectTreeChecked(srcDir, dstDir, templateMode)) {
        failures.push_back(std::move(issue.entry));
    }
    return failures;
}

Status RemoveTree(const std::string& dir)
{
    std::string d = DiskPath(dir);
    struct stat st {};
    if (lstat(d.c_str(), &st) != 0) {
        return RemoveFailure(d);
    }
    if (S_ISLNK(st.st_mode)) {
        return unlink(d.c_str()) == 0 ? Status::Success() : RemoveFailure(d);
    }
    if (!S_ISDIR(st.st_mode)) {
        return Status::Failure(d + " はフォルダではありません");
    }
    // Entries of a directory without owner read, write or search permission cannot be listed or
    // removed; the directory goes anyway, so it is opened up first.
    if ((st.st_mode & S_IRWXU) != S_IRWXU) {
        // Should the mode not change, the entries stay and the removal of d fails below.
        (void)chmod(d.c_str(), (st.st_mode & 07777) | S_IRWXU);
    }
    if (auto names = ListFolder(d)) {
        for (const auto& name : *names) {
            std::string path = d + "/" + name;
            struct stat entry {};
            // An entry that stays makes the removal of d fail below, which is what is reported.
            if (lstat(path.c_str(), &entry) == 0 && S_ISDIR(entry.st_mode)) {
                (void)RemoveTree(path);
            } else {
                (void)ForceRemoveFile(path);
            }
        }
    }
    return rmdir(d.c_str()) == 0 ? Status::Success() : RemoveFailure(d);
}

Status MakeDirectoryPath(const std::string& path)
{
    std::string p = DiskPath(path);
    if (p.empty()) {
        return Status::Failure("フォルダ名がありません");
    }
    if (mkdir(p.c_str(), 0777) == 0) {
        return Status::Success();
    }
    // An existing entry will not be made by creating its parents.
    if (errno == EEXIST) {
        return Status::Failure(p + " は既にあります");
    }
    size_t slash = p.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return CreateFailure(p);
    }
    // A parent that exists already fails here and is just what is needed; whether the parents
    // are there shows in the last mkdir.
    (void)MakeDirectoryPath(p.substr(0, slash));
    return mkdir(p.c_str(), 0777) == 0 ? Status::Success() : CreateFailure(p);
}

Status ForceRemoveFile(const std::string& path)
{
    std::string p = DiskPath(path);
    if (unlink(p.c_str()) == 0) {
        return Status::Success();
    }
    struct stat st {};
    // chmod would act on a link's target, so links and directories get no second try.
    if (lstat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return RemoveFailure(p);
    }
    // Should the mode not change, the second unlink fails and says so.
    (void)chmod(p.c_str(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR);
    return unlink(p.c_str()) == 0 ? Status::Success() : RemoveFailure(p);
}

Status ReplaceInFile(const std::string& path, const std::string& search, const std::string& replacement)
{
    std::string p = DiskPath(path);
    auto text = ReadWholeFile(p);
    if (!text) {
        return Status::Failure(p + " を開けません");
    }
    std::vector<std::string> lines = SplitLines(*text);
    for (auto& line : lines) {
        line = ReplaceAll(line, search, replacement);
    }
    return WriteFileAtomically(p, JoinLinesCrLf(lines));
}

bool IsSafeFolderName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (size_t pos = 0; pos < name.size();) {
        size_t length = Cp932CharLength(name, pos);
        if (length == 1 && (name[pos] == '/' || name[pos] == '\\' || name[pos] == '\0')) {
            return false;
        }
        pos += length;
    }
    return true;
}

} // namespace quilvane
