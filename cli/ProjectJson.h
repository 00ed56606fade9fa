#pragma once
// The project record as JSON (UTF-8), for `quilvane-cli show --json` and `pack`. Strings go
// through the lossless CP932 mapping and doubles keep their exact bits, so pack(show(x)) == x.
#include <nlohmann/json.hpp>

#include "platform/Status.h"
#include "project/ProjectRecord.h"

namespace quilvane {

nlohmann::ordered_json ProjectToJson(const ProjectRecord& project);

// Fills `project` (which starts as a new project's defaults) from `json`; missing keys keep
// their defaults, keys of the wrong type fail with a message naming the key.
Status ProjectFromJson(const nlohmann::json& json, ProjectRecord& project);

} // namespace quilvane
