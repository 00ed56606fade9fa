#pragma once
// A temporary folder for one test, removed with everything in it when the test ends.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/FileIo.h"

namespace quilvane {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quilvane-test-XXXXXX").string();
        root_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

    // Writes `bytes` to `relative` as they are, making the folders on the way.
    void Write(const std::string& relative, const std::string& bytes) const
    {
        const std::filesystem::path path = Path(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // The bytes of `relative`, or "<missing>" when it cannot be read.
    std::string Read(const std::string& relative) const
    {
        return ReadWholeFile(Path(relative)).value_or("<missing>");
    }

private:
    std::string root_;
};

} // namespace quilvane
