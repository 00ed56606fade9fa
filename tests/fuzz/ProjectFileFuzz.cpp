#include <cstdlib>
#include <string_view>

#include "project/ProjectFile.h"
#include "tests/fuzz/FuzzTargets.h"

namespace quilvane::fuzz {

int FuzzProjectFile(const std::uint8_t* data, std::size_t size)
{
    ProjectRecord project;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (LoadProjectBytes(bytes, project).Ok()) {
        // Whatever loads must save and load again to the same bytes.
        std::string again = SerializeToBytes(project);
        ProjectRecord second;
        if (!LoadProjectBytes(again, second).Ok() || SerializeToBytes(second) != again) {
            std::abort();
        }
    }
    return 0;
}

} // namespace quilvane::fuzz
