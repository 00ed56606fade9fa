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

} // namespace

Status ParseSettingsText(const std::string& text, Settings& settings)
{
    auto lines = SplitLines(text);
    Settings parsed;
    parsed.userName = LineOrEmpty(lines, 1);
    parsed.registrationFolder = LineOrEmpty(lines, 2);
    // The count on line 4 as C atoi reads it; a negative count is none.
    const std::int32_t count = std::max(AtoiLike(LineOrEmpty(lines, 3)), 0);
    // Names beyond the lines present read as empty strings, but a file cannot announce more
    // phases than it has bytes: such a count is damage, not a phase table.
    if (static_cast<std::size_t>(count) > text.size()) {
        return Status::Failure("工程の数 " + std::to_string(count) + " がファイルの大きさ (" +
                               std::to_string(text.size()) + " バイト) を超えています");
    }
    parsed.phaseNames.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < parsed.phaseNames.size(); ++i) {
        parsed.phaseNames[i] = LineOrEmpty(lines, 4 + i);
    }
    settings = std::move(parsed);
    return Status::Success();
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
    Status parsed = Status::Success();
    try {
        parsed = ParseSettingsText(text, settings);
    } catch (const std::bad_alloc&) {
        // Its lines are copied out of the text; a huge file can need more than is left.
        return Status::Failure(path + " を読めません: " + ErrorText(ENOMEM));
    }
    if (!parsed) {
        return Status::Failure(path + " を読めません: " + parsed.Message());
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
