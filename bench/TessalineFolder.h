#pragma once
// A registration folder shaped like a class's: users × projects, each project holding its
// result.txt, work.psp, the solution and project files and a source file.
#include <string>

namespace tessaline::bench {

inline constexpr int ClassUsers = 300;
inline constexpr int ClassProjects = 50;

// Fills `folder` (which must exist); false when a file cannot be written.
bool WriteClassFolder(const std::string& folder, int users = ClassUsers, int projects = ClassProjects);

} // namespace tessaline::bench
