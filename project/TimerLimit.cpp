#include "project/TimerLimit.h"

#include <filesystem>

#include "platform/DecimalText.h"
#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"

namespace quilvane {

std::int32_t ParseTimerLimit(std::string_view text)
{
    auto lines = SplitLines(text);
    if (lines.empty()) {
        return DefaultTimerLimitMinutes;
    }
    auto minutes = DigitsOnly(lines.front());
    return minutes && *minutes > 0 ? *minutes : DefaultTimerLimitMinutes;
}

std::int32_t LoadTimerLimit()
{
    // A FIFO or a folder under that name must not block or break the mode switch.
    std::string path = ProgramPath(TimerLimitFile);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return DefaultTimerLimitMinutes;
    }
    auto text = ReadWholeFile(path);
    return text ? ParseTimerLimit(*text) : DefaultTimerLimitMinutes;
}

} // namespace quilvane
