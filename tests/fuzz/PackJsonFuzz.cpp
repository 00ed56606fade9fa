#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string_view>

#include "cli/ProjectJson.h"
#include "project/ProjectFile.h"
#include "tests/fuzz/FuzzTargets.h"

namespace quilvane::fuzz {

int FuzzPackJson(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded()) {
        return 0;
    }
    ProjectRecord project;
    if (!ProjectFromJson(json, project).Ok()) {
        return 0;
    }
    // pack(show(x)) == x: what packs shows as JSON that packs to the same bytes.
    std::string bytes = SerializeToBytes(project);
    ProjectRecord again;
    if (!ProjectFromJson(nlohmann::json::parse(ProjectToJson(project).dump()), again).Ok() ||
        SerializeToBytes(again) != bytes) {
        std::abort();
    }
    return 0;
}

} // namespace quilvane::fuzz
