// The text files in init/ come from disk, so their targets go through the very readers the
// programs use: the bytes are written to a program folder of their own and read back.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/ProgramFolder.h"
#include "project/Settings.h"
#include "statistics/StatStore.h"
#include "tests/fuzz/FuzzTargets.h"

namespace quilvane::fuzz {
namespace {

// One folder per process, made on first use, with an init/ folder inside; removed at exit.
struct FuzzFolder {
    std::string path;

    FuzzFolder()
    {
        // Memory-backed when the system has such a folder: a disk file system flushes a file
        // rewritten in place on every close, which would slow the runs down to the disk's pace.
        std::error_code ec;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::string pattern = (base / "quilvane-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        std::filesystem::create_directory(pattern + "/init");
        path = pattern + "/";
    }
    ~FuzzFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::string& FuzzProgramFolder()
{
    static const FuzzFolder folder;
    return folder.path;
}

// Puts `bytes` in the program folder's `file` and runs `read` with that folder in use.
template <typename Read>
void WithFile(const char* file, const std::uint8_t* data, std::size_t size, Read&& read)
{
    const std::string saved = ProgramFolder();
    SetProgramFolder(FuzzProgramFolder());
    // A plain write: the atomic writer's fsync would slow every run down.
    std::FILE* f = std::fopen(ProgramPath(file).c_str(), "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) {
        std::abort();
    }
    read();
    SetProgramFolder(saved);
}

} // namespace

int FuzzSettingsFile(const std::uint8_t* data, std::size_t size)
{
    WithFile(SettingsFile, data, size, [] {
        // Any bytes are read, except a phase count larger than the file: that is refused as
        // damage, and by that reason only.
        Settings settings;
        Status loaded = LoadSettings(settings);
        if (!loaded && loaded.Message().find("工程の数") == std::string::npos) {
            std::abort();
        }
    });
    return 0;
}

int FuzzLastProjectFile(const std::uint8_t* data, std::size_t size)
{
    WithFile(LastProjectFile, data, size, [] {
        std::string name;
        if (!ReadLastProject(name)) {
            std::abort();
        }
    });
    return 0;
}

int FuzzStatInfoFile(const std::uint8_t* data, std::size_t size)
{
    WithFile(StatInfoFile, data, size, [] {
        StatStore store;
        if (!LoadStatInfo(store)) {
            std::abort();
        }
        // What was read must format; the text is what the next save writes.
        (void)FormatStatInfoText(store);
    });
    return 0;
}

} // namespace quilvane::fuzz
