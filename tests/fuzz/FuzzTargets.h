#pragma once
// The fuzz targets: one per reader of outside data. Each takes any bytes and must neither crash,
// hang, throw nor allocate far beyond its input. libFuzzer builds each into a binary of its own
// (FuzzEntry.cpp, scripts/fuzz); the test FuzzDriverTest.cpp feeds them mutated seeds.
#include <cstddef>
#include <cstdint>

namespace quilvane::fuzz {

using Target = int (*)(const std::uint8_t* data, std::size_t size);

// A project file (work.psp), through the loader and back through the writer.
int FuzzProjectFile(const std::uint8_t* data, std::size_t size);
// The settings (init/psp.txt), read from a file as the programs read it.
int FuzzSettingsFile(const std::uint8_t* data, std::size_t size);
// The last project (init/lastProj.txt), read from a file.
int FuzzLastProjectFile(const std::uint8_t* data, std::size_t size);
// The statistics history (init/statInfo.txt), read from a file.
int FuzzStatInfoFile(const std::uint8_t* data, std::size_t size);
// The review checklist's ticks (work.psp.checklist), parsed and written back.
int FuzzChecklistTicks(const std::uint8_t* data, std::size_t size);
// The JSON that `pack` turns into a project file.
int FuzzPackJson(const std::uint8_t* data, std::size_t size);

} // namespace quilvane::fuzz
