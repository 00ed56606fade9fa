#pragma once
// A registration folder shaped like a class's: users × projects, each project holding its
// result.txt, work.psp, the solution and project files and a source file.
#include <functional>
#include <string>

namespace tessaline::bench {

inline constexpr int ClassUsers = 300;
inline constexpr int ClassProjects = 50;

// The bytes of the work.psp of `user`'s `project`, named as the folders are.
using WorkFileBytes = std::function<std::string(const std::string& user, const std::string& project)>;

// Fills `folder` (which must exist); false when a file cannot be written. Without `workFile`
// each work.psp is a stand-in (Tessaline only links to it); the class report's benchmark writes
// real project files.
bool WriteClassFolder(const std::string& folder, int users = ClassUsers, int projects = ClassProjects,
                      const WorkFileBytes& workFile = {});

} // namespace tessaline::bench
