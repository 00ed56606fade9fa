#include "project/Settings.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "platform/DecimalText.h"
#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"

namespace quilvane {
namespace {

// The format number of both files; ignored when read.
const std::string FormatNumber = "100";

std::string LineOrEmpty(const std::vector<std::string>& lines, std::size_t index)
{
    return index < lines.size() ? lines[index] : std::string();
}

// The count on line 4 as C atoi reads it; a negative count is none, and a huge one is cut so
// that it cannot exhaust memory.
std::size_t ParseCount(const std::string& line)
{
    constexpr std::int32_t Limit = 100000;
    return static_cast<std::size_t>(std::clamp(AtoiLike(line), 0, Limit));
}

} // namespace

Settings ParseSettingsText(const std::string& text)
{
    auto lines = SplitLines(text);
    Settings settings;
    settings.userName = LineOrEmpty(lines, 1);
    settings.registrationFolder = LineOrEmpty(lines, 2);
    std::size_t count = ParseCount(LineOrEmpty(lines, 3));
    // Names beyond the lines present read as empty strings.
    settings.phaseNames.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        settings.phaseNames[i] = LineOrEmpty(lines, 4 + i);
    }
    return settings;
}

std::string FormatSettingsText(const Settings& settings)
{
    std::vector<std::string> lines{FormatNumber, settings.userName, settings.registrationFolder,
                                   std::to_string(settings.phaseNames.size())};
    lines.insert(lines.end(), settings.phaseNames.begin(), settings.phaseNames.end());
    return JoinLinesCrLf(lines);
}

Status LoadSettings(Settings& settings)
{
    const std::string path = ProgramPath(SettingsFile);
    std::string text;
    if (Status read = ReadRegularFile(path, text); !read) {
        return read;
    }
    try {
        settings = ParseSettingsText(text);
    } catch (const std::bad_alloc&) {
        // Its lines are copied out of the text; a huge file can need more than is left.
        return Status::Failure(path + " を読めません: " + ErrorText(ENOMEM));
    }
    return Status::Success();
}

Status SaveSettings(const Settings& settings)
{
    return WriteFileAtomically(ProgramPath(SettingsFile), FormatSettingsText(settings));
}

Status ReadLastProject(std::string& name)
{
    const std::string path = ProgramPath(LastProjectFile);
    std::string text;
    if (Status read = ReadRegularFile(path, text); !read) {
        return read;
    }
    try {
        name = LineOrEmpty(SplitLines(text), 1);
    } catch (const std::bad_alloc&) {
        return Status::Failure(path + " を読めません: " + ErrorText(ENOMEM));
    }
    return Status::Success();
}

Status WriteLastProject(const std::string& name)
{
    return WriteFileAtomically(ProgramPath(LastProjectFile), JoinLinesCrLf({FormatNumber, name}));
}

void RememberLastProject(const std::string& name)
{
    // The file is read first as the workbench always has; what it held is not needed.
    std::string previous;
    (void)ReadLastProject(previous);
    // Not remembering the project only means the next start offers a new one instead.
    (void)WriteLastProject(name);
}

void ApplySettings(OverviewFields& overview, std::vector<PhaseRecord>& phases, const Settings& settings)
{
    overview.userName = settings.userName;
    overview.registrationFolder = settings.registrationFolder;
    phases.resize(settings.phaseNames.size());
    for (std::size_t i = 0; i < phases.size(); ++i) {
        phases[i].name = settings.phaseNames[i];
    }
}

} // namespace quilvane
