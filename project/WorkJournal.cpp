#include "project/WorkJournal.h"

#include <charconv>
#include <filesystem>
#include <map>

#include "platform/FileIo.h"
#include "project/ProjectFile.h"

namespace quilvane {
namespace {

namespace fs = std::filesystem;

const std::string FirstLine = "QuilvaneJournal 1";
const std::string JournalSuffix = ".journal";
const std::string AutosaveSuffix = ".autosave";

std::optional<std::int32_t> ParseInt32(std::string_view text)
{
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

void RemoveQuietly(const std::string& path)
{
    std::error_code ec;
    fs::remove(path, ec);
}

} // namespace

std::string JournalPathFor(const std::string& projectPath)
{
    return projectPath + JournalSuffix;
}

std::string AutosavePathFor(const std::string& projectPath)
{
    return projectPath + AutosaveSuffix;
}

std::string FormatJournal(const JournalRecord& record)
{
    return JoinLinesCrLf({FirstLine, "project=" + record.projectPath, "phase=" + record.phase,
                          "start=" + std::to_string(record.start), "moment=" + std::to_string(record.moment),
                          std::string("autosave=") + (record.autosave ? "1" : "0")});
}

std::optional<JournalRecord> ParseJournal(std::string_view text)
{
    std::vector<std::string> lines = SplitLines(text);
    if (lines.size() != 6 || lines[0] != FirstLine) {
        return std::nullopt;
    }
    std::map<std::string, std::string> fields;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        auto equals = lines[i].find('=');
        if (equals == std::string::npos) {
            return std::nullopt;
        }
        fields.emplace(lines[i].substr(0, equals), lines[i].substr(equals + 1));
    }
    for (const char* key : {"project", "phase", "start", "moment", "autosave"}) {
        if (fields.count(key) == 0) {
            return std::nullopt;
        }
    }
    JournalRecord record;
    record.projectPath = fields["project"];
    record.phase = fields["phase"];
    auto start = ParseInt32(fields["start"]);
    auto moment = ParseInt32(fields["moment"]);
    const std::string& autosave = fields["autosave"];
    if (record.projectPath.empty() || !start || !moment || (autosave != "0" && autosave != "1")) {
        return std::nullopt;
    }
    record.start = *start;
    record.moment = *moment;
    record.autosave = autosave == "1";
    return record;
}

Status WorkJournal::Keep(const std::string& projectPath, const ProjectRecord& project, std::int32_t modeStart,
                         bool modified, std::int32_t now, bool force)
{
    if (projectPath != path_) {
        // Another project replaced the one kept so far; its changes were saved or dropped.
        Discard();
        path_ = projectPath;
    }
    if (path_.empty()) {
        return Status::Success();
    }
    const bool running = project.mode != NeutralMode && modeStart != 0;
    if (!running && !modified) {
        Discard();
        path_ = projectPath;
        return Status::Success();
    }
    if (!force && lastWrite_ && now - *lastWrite_ < Interval && now >= *lastWrite_) {
        return Status::Success();
    }
    // The autosave goes first: a journal never names a copy that is not there yet.
    if (modified) {
        if (Status s = WriteFileAtomically(AutosavePathFor(path_), SerializeToBytes(project)); !s) {
            return s;
        }
    } else {
        RemoveQuietly(AutosavePathFor(path_));
    }
    // The next start may run in another directory: the journal names the project absolutely.
    std::error_code ec;
    std::string absolute = fs::absolute(path_, ec).lexically_normal().string();
    JournalRecord record{ec ? path_ : absolute, running ? project.mode : std::string(),
                         running ? modeStart : 0, now, modified};
    if (Status s = WriteFileAtomically(JournalPathFor(path_), FormatJournal(record)); !s) {
        return s;
    }
    lastWrite_ = now;
    return Status::Success();
}

void WorkJournal::Discard()
{
    if (!path_.empty()) {
        DiscardJournalFiles(path_);
    }
    path_.clear();
    lastWrite_.reset();
}

void DiscardJournalFiles(const std::string& projectPath)
{
    // The journal goes first: an autosave without a journal is never offered.
    RemoveQuietly(JournalPathFor(projectPath));
    RemoveQuietly(AutosavePathFor(projectPath));
}

std::vector<std::string> FindJournals(const std::string& folder)
{
    std::vector<std::string> journals;
    auto names = ListFolder(folder);
    if (!names) {
        return journals;
    }
    for (const auto& name : *names) {
        std::string sub = folder + "/" + name;
        std::error_code ec;
        if (!fs::is_directory(sub, ec)) {
            continue;
        }
        auto inner = ListFolder(sub);
        if (!inner) {
            continue;
        }
        for (const auto& file : *inner) {
            if (EndsWith(file, ".psp" + JournalSuffix) && fs::is_regular_file(sub + "/" + file, ec)) {
                journals.push_back(sub + "/" + file);
            }
        }
    }
    return journals;
}

std::optional<JournalRecord> ReadJournal(const std::string& journalPath)
{
    if (!EndsWith(journalPath, JournalSuffix)) {
        return std::nullopt;
    }
    std::error_code ec;
    if (!fs::is_regular_file(journalPath, ec)) {
        return std::nullopt;
    }
    auto text = ReadWholeFile(journalPath);
    if (!text) {
        return std::nullopt;
    }
    auto record = ParseJournal(*text);
    if (!record) {
        return std::nullopt;
    }
    const std::string beside = journalPath.substr(0, journalPath.size() - JournalSuffix.size());
    if (!fs::equivalent(record->projectPath, beside, ec) || ec) {
        return std::nullopt;
    }
    // Recovery works on the file beside the journal, whichever way its path was spelled.
    record->projectPath = beside;
    return record;
}

Status Recover(const JournalRecord& record, bool logInterval, bool restoreAutosave)
{
    ProjectRecord project;
    bool changed = false;
    if (restoreAutosave && record.autosave) {
        if (Status s = LoadProjectFile(AutosavePathFor(record.projectPath), project); !s) {
            return s;
        }
        changed = true;
    } else if (Status s = LoadProjectFile(record.projectPath, project); !s) {
        return s;
    }
    if (logInterval && record.HasInterval() &&
        project.timeLog.AddEntry(record.phase, record.start, record.moment) == TimeLogAddition::Appended) {
        changed = true;
    }
    if (changed) {
        if (Status s = SaveProjectFile(record.projectPath, project); !s) {
            return s;
        }
    }
    DiscardJournalFiles(record.projectPath);
    return Status::Success();
}

} // namespace quilvane
