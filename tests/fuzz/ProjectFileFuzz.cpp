// Fuzz entry for the project file reader: no input may crash it, hang it or make it allocate
// beyond the size of the input. Built with libFuzzer under clang (scripts/fuzz); under other
// compilers the test FuzzDriverTest.cpp feeds it mutated files.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "project/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    quilvane::ProjectRecord project;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (quilvane::LoadProjectBytes(bytes, project).Ok()) {
        // Whatever loads must save and load again to the same record.
        std::string again = quilvane::SerializeToBytes(project);
        quilvane::ProjectRecord second;
        (void)quilvane::LoadProjectBytes(again, second);
    }
    return 0;
}
