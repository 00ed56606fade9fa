#pragma once
// One read of the registration folder: every user folder and every project folder in it, listed
// once, with each project's result file. The collection and the page both work from this, so a
// project folder is opened once per run. On a file server every call is a round trip; user
// folders are therefore read by several threads at once, and put together in name order.
#include <optional>
#include <string>
#include <vector>

#include "progress/DirectoryScan.h"
#include "progress/ResultFile.h"

namespace tessaline {

// A folder or result file that is there but could not be read: its path relative to the
// registration folder, on disk, and the errno.
struct UnreadableEntry {
    std::string path;
    int error = 0;
};

// A project folder R/U/P: its names, its entries in name order, and its result file when one
// could be read.
struct ProjectListing {
    std::string stored;
    std::string disk;
    std::vector<NamedEntry> entries;
    std::optional<ResultFile> result;
};

// A user folder R/U with its project folders in name order.
struct UserListing {
    std::string stored;
    std::string disk;
    std::vector<ProjectListing> projects;
};

// The folders of R that could be named in the page and read: real directories (no links),
// not hidden, whose names convert to stored text; users and projects in on-disk name order.
struct RegistrationListing {
    std::vector<UserListing> users;
    std::vector<UnreadableEntry> unreadable; // in the order a serial walk meets them
};

// The threads that read user folders when the environment does not say otherwise.
inline constexpr unsigned DefaultReadThreads = 8;

// TESSALINE_THREADS when it holds a whole number from 1 to 64, else DefaultReadThreads.
unsigned ReadThreadsFromEnvironment();

// Reads R, open as `root`, with up to `threads` threads; the result does not depend on their
// number. Nothing when R itself cannot be listed.
std::optional<RegistrationListing> ReadRegistrationFolder(const Folder& root, unsigned threads);

} // namespace tessaline
