#pragma once
// The program folder: every relative path of the system ("init", "prob", the project folders)
// is resolved against the folder that holds the running program.
#include <optional>
#include <string>
#include <string_view>

namespace quilvane {

// The folder of the running program, without a trailing '/'. Tests and the command-line tool
// may point it elsewhere with SetProgramFolder.
const std::string& ProgramFolder();
void SetProgramFolder(std::string folder);

// The folder that holds the running program's file, whatever SetProgramFolder was told (the
// current directory when the system cannot say): where the programs that come with it lie.
std::string ExecutableFolder();

// `relative` joined to the program folder, with '\' as a separator too. For the system's own
// fixed ASCII paths ("init/psp.txt"); a stored name goes through ProgramPathFor.
std::string ProgramPath(std::string_view relative);

// A stored (CP932) relative name such as a project folder joined to the program folder as a
// disk path. Nothing when the name is not valid CP932: it would name some other folder.
std::optional<std::string> ProgramPathFor(std::string_view stored);

// Makes the program folder the current directory (for child processes that expect it).
[[nodiscard]] bool GoToProgramFolder();

// Replaces every '\' by '/'. CP932 trail bytes can be 0x5C, so double-byte characters are
// stepped over as units.
std::string ToSlashes(std::string_view path);

} // namespace quilvane
