#include "estimate/SourceWalk.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/FolderListing.h"
#include "platform/MbString.h"

namespace quilvane {
namespace {

constexpr int DirectoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

class Walker {
public:
    Walker(const std::string& root, bool recurse, std::string_view renameSource,
           std::vector<FoundSource>& found, std::vector<std::string>* unreadable)
        : root_(root), recurse_(recurse), renameSource_(renameSource), projectName_(LastPathComponent(root)),
          found_(found), unreadable_(unreadable)
    {
    }

    bool Run() { return Walk(UniqueFd(::open(root_.c_str(), DirectoryFlags))); }

private:
    bool Walk(UniqueFd folder)
    {
        // A folder reached twice (through a symbolic link) would loop forever or count twice.
        struct stat st {};
        if (!folder.Valid() || ::fstat(folder.Get(), &st) != 0) {
            return Unreadable();
        }
        if (!visited_.emplace(st.st_dev, st.st_ino).second) {
            return false;
        }
        const auto entries = ListOpenFolder(folder.Get());
        if (!entries) {
            return Unreadable();
        }
        const std::size_t keyLength = key_.size();
        const std::size_t diskLength = disk_.size();
        const bool topLevel = keyLength == 0;
        if (!topLevel) {
            key_ += '\\';
            disk_ += '/';
        }
        for (const FolderEntry& entry : *entries) {
            key_.resize(keyLength + (topLevel ? 0 : 1));
            disk_.resize(diskLength + (topLevel ? 0 : 1));
            key_ += entry.name;
            disk_ += entry.name;
            // Links are followed: a project may link to shared sources.
            const EntryKind kind = TargetKind(folder.Get(), entry);
            if (kind == EntryKind::Directory && recurse_) {
                Walk(OpenSubfolder(folder.Get(), entry.name));
            } else if (kind == EntryKind::RegularFile) {
                AddFile(entry.name, topLevel);
            }
        }
        key_.resize(keyLength);
        disk_.resize(diskLength);
        return true;
    }

    // A subfolder that cannot be read is passed over and named; the root's own failure is the
    // caller's to report.
    bool Unreadable()
    {
        if (unreadable_ != nullptr && !disk_.empty()) {
            unreadable_->push_back(root_ + "/" + disk_);
        }
        return false;
    }

    // Opened below the open parent, so no path is looked up again from the top. Should a very
    // deep tree use up the descriptors, the subfolder is opened by its path instead.
    UniqueFd OpenSubfolder(int parent, const std::string& name) const
    {
        UniqueFd sub(::openat(parent, name.c_str(), DirectoryFlags));
        if (!sub.Valid() && (errno == EMFILE || errno == ENFILE)) {
            sub = UniqueFd(::open((root_ + "/" + disk_).c_str(), DirectoryFlags));
        }
        return sub;
    }

    void AddFile(const std::string& name, bool topLevel)
    {
        std::size_t dot = name.rfind('.');
        if (dot == std::string::npos) {
            return;
        }
        std::string_view stem = std::string_view(name).substr(0, dot);
        std::string_view extension = std::string_view(name).substr(dot);
        bool isVb = MbsICmp(extension, ".vb") == 0;
        if (!isVb && MbsICmp(extension, ".cs") != 0) {
            return;
        }
        // Only the project folder's own main file is renamed: below the top level the folder
        // name is a subfolder's, and renaming there would pair the file with nothing.
        bool mapped = topLevel && !renameSource_.empty() && MbsICmp(stem, projectName_) == 0;
        std::string key = mapped ? renameSource_ + std::string(extension) : key_;
        found_.push_back({MbsFoldedKey(key), disk_, isVb, mapped});
    }

    std::string root_;
    bool recurse_;
    std::string renameSource_;
    std::string projectName_;
    std::vector<FoundSource>& found_;
    std::vector<std::string>* unreadable_;
    std::string key_;
    std::string disk_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

// Sorts one side by key and keeps one file per key: the first one found, or the first renamed
// one when there is one. The mark of a renamed file stays with the key.
void ChooseOnePerKey(std::vector<FoundSource>& side)
{
    std::stable_sort(side.begin(), side.end(),
                     [](const FoundSource& a, const FoundSource& b) { return a.key < b.key; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < side.size();) {
        std::size_t end = i + 1;
        while (end < side.size() && side[end].key == side[i].key) {
            ++end;
        }
        std::size_t chosen = i;
        for (std::size_t j = i; j < end; ++j) {
            if (side[j].mapped) {
                chosen = j;
                break;
            }
        }
        if (kept != chosen) {
            side[kept] = std::move(side[chosen]);
        }
        ++kept;
        i = end;
    }
    side.resize(kept);
}

} // namespace

std::string_view LastPathComponent(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool WalkSources(const std::string& root, bool recurse, std::string_view renameSource,
                 std::vector<FoundSource>& found, std::vector<std::string>* unreadable)
{
    return Walker(root, recurse, renameSource, found, unreadable).Run();
}

std::vector<SourceFileEntry> PairSources(std::vector<FoundSource>& base, std::vector<FoundSource>& current)
{
    ChooseOnePerKey(base);
    ChooseOnePerKey(current);
    std::vector<SourceFileEntry> pairs;
    pairs.reserve(std::max(base.size(), current.size()));
    std::size_t b = 0;
    std::size_t c = 0;
    while (b < base.size() || c < current.size()) {
        const bool takeBase = b < base.size() && (c == current.size() || base[b].key <= current[c].key);
        const bool takeCurrent = c < current.size() && (b == base.size() || current[c].key <= base[b].key);
        SourceFileEntry entry;
        if (takeBase) {
            entry.isVb = base[b].isVb;
            entry.mappedByName = base[b].mapped;
            entry.baseFile = std::move(base[b++].diskPath);
        }
        if (takeCurrent) {
            entry.isVb = current[c].isVb;
            entry.currentFile = std::move(current[c++].diskPath);
        }
        pairs.push_back(std::move(entry));
    }
    return pairs;
}

} // namespace quilvane
