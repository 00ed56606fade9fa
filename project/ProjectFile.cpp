#include "project/ProjectFile.h"

#include <algorithm>
#include <new>

#include "platform/FileIo.h"

namespace quilvane {
namespace {

// The first read of a project file, enough for any record a student makes, and the largest
// record that is read at all: a file whose record needs more is damaged or not a project file.
constexpr std::size_t FirstReadBytes = 64 * 1024;
constexpr std::size_t MaxRecordBytes = 64 * 1024 * 1024;

// Smallest possible size of one item, used to reject counts that cannot fit in the file.
constexpr std::size_t MinPhaseRowBytes = 1 + 3 * 4;
constexpr std::size_t MinTimeEntryBytes = 1 + 2 * 4;
constexpr std::size_t MinDefectEntryBytes = 1 + 1 + 4;

// The window rectangle and column widths that both logs keep in front of their entries.
template <class Log> void WriteLogLayout(ArchiveWriter& a, const Log& log)
{
    a.WriteI32(log.left);
    a.WriteI32(log.top);
    a.WriteI32(log.width);
    a.WriteI32(log.height);
    for (auto w : log.columnWidths) {
        a.WriteI32(w);
    }
}

template <class Log> bool ReadLogLayout(ArchiveReader& a, Log& log)
{
    if (!a.ReadI32(log.left) || !a.ReadI32(log.top) || !a.ReadI32(log.width) || !a.ReadI32(log.height)) {
        return false;
    }
    for (auto& w : log.columnWidths) {
        if (!a.ReadI32(w)) {
            return false;
        }
    }
    return true;
}

void WriteTimeLog(ArchiveWriter& a, const TimeLog& log)
{
    WriteLogLayout(a, log);
    a.WriteI32(static_cast<std::int32_t>(log.entries.size()));
    for (const auto& e : log.entries) {
        a.WriteString(e.phase);
        a.WriteI32(e.start.Seconds());
        a.WriteI32(e.end.Seconds());
    }
}

void WriteDefectLog(ArchiveWriter& a, const DefectLog& log)
{
    WriteLogLayout(a, log);
    a.WriteI32(static_cast<std::int32_t>(log.entries.size()));
    for (const auto& e : log.entries) {
        a.WriteString(e.phase);
        a.WriteString(e.comment);
        a.WriteI32(e.time.Seconds());
    }
}

void WriteEstimate(ArchiveWriter& a, const PlanEstimate& e)
{
    a.WriteString(e.baseName);
    a.WriteString(e.newLocText);
    a.WriteString(e.rangeText);
    a.WriteI32(e.baseLoc);
    a.WriteI32(e.availablePercent);
    a.WriteI32(e.reuseLoc);
    a.WriteI32(e.deleteLoc);
    a.WriteI32(e.newLoc);
    a.WriteI32(e.totalMinutes);
    a.WriteF64(e.constant);
    a.WriteF64(e.reuseCoef);
    a.WriteF64(e.deleteCoef);
    a.WriteF64(e.newCoef);
}

bool ReadPhases(ArchiveReader& a, ProjectRecord& p)
{
    std::int32_t count = 0;
    if (!a.ReadCount(count, MinPhaseRowBytes)) {
        return false;
    }
    p.phases.resize(static_cast<std::size_t>(count));
    std::int32_t actualSum = 0;
    for (auto& row : p.phases) {
        if (!a.ReadString(row.name) || !a.ReadI32(row.plan) || !a.ReadI32(row.actual) ||
            !a.ReadI32(row.ratio)) {
            return false;
        }
        actualSum = static_cast<std::int32_t>(static_cast<std::uint32_t>(actualSum) +
                                              static_cast<std::uint32_t>(row.actual));
    }
    p.result.actualMinutes = actualSum;
    return true;
}

bool ReadTimeLog(ArchiveReader& a, TimeLog& log)
{
    if (!ReadLogLayout(a, log)) {
        return false;
    }
    std::int32_t count = 0;
    if (!a.ReadCount(count, MinTimeEntryBytes)) {
        return false;
    }
    log.entries.resize(static_cast<std::size_t>(count));
    for (auto& e : log.entries) {
        std::int32_t start = 0;
        std::int32_t end = 0;
        if (!a.ReadString(e.phase) || !a.ReadI32(start) || !a.ReadI32(end)) {
            return false;
        }
        // Values read back are always moments, their text in this machine's local time.
        e.start = Moment(start);
        e.end = Moment(end);
    }
    return true;
}

bool ReadDefectLog(ArchiveReader& a, DefectLog& log)
{
    if (!ReadLogLayout(a, log)) {
        return false;
    }
    std::int32_t count = 0;
    if (!a.ReadCount(count, MinDefectEntryBytes)) {
        return false;
    }
    log.entries.resize(static_cast<std::size_t>(count));
    for (auto& e : log.entries) {
        std::int32_t time = 0;
        if (!a.ReadString(e.phase) || !a.ReadString(e.comment) || !a.ReadI32(time)) {
            return false;
        }
        e.time = Moment(time);
    }
    return true;
}

bool ReadEstimate(ArchiveReader& a, PlanEstimate& e)
{
    return a.ReadString(e.baseName) && a.ReadString(e.newLocText) && a.ReadString(e.rangeText) &&
           a.ReadI32(e.baseLoc) && a.ReadI32(e.availablePercent) && a.ReadI32(e.reuseLoc) &&
           a.ReadI32(e.deleteLoc) && a.ReadI32(e.newLoc) && a.ReadI32(e.totalMinutes) &&
           a.ReadF64(e.constant) && a.ReadF64(e.reuseCoef) && a.ReadF64(e.deleteCoef) && a.ReadF64(e.newCoef);
}

bool ReadRest(ArchiveReader& a, ProjectRecord& p)
{
    if (!a.ReadString(p.projectName) || !a.ReadString(p.mode) || !a.ReadString(p.memo)) {
        return false;
    }
    if (!ReadPhases(a, p) || !ReadTimeLog(a, p.timeLog) || !ReadDefectLog(a, p.defectLog) ||
        !ReadEstimate(a, p.estimate)) {
        return false;
    }
    auto& r = p.result;
    auto& o = p.overview;
    return a.ReadI32(r.actualReuse) && a.ReadI32(r.actualDelete) && a.ReadI32(r.actualNew) &&
           a.ReadI32(o.windowRect[0]) && a.ReadI32(o.windowRect[1]) && a.ReadI32(o.windowRect[2]) &&
           a.ReadI32(o.windowRect[3]) && a.ReadString(o.userName) && a.ReadString(o.registrationFolder) &&
           a.ReadString(o.spareText);
}

} // namespace

void Serialize(ArchiveWriter& a, const ProjectRecord& p)
{
    a.WriteI32(ProgramVersion);
    a.WriteString(p.projectName);
    a.WriteString(p.mode);
    a.WriteString(p.memo);
    a.WriteI32(static_cast<std::int32_t>(p.phases.size()));
    for (const auto& row : p.phases) {
        a.WriteString(row.name);
        a.WriteI32(row.plan);
        a.WriteI32(row.actual);
        a.WriteI32(row.ratio);
    }
    WriteTimeLog(a, p.timeLog);
    WriteDefectLog(a, p.defectLog);
    WriteEstimate(a, p.estimate);
    a.WriteI32(p.result.actualReuse);
    a.WriteI32(p.result.actualDelete);
    a.WriteI32(p.result.actualNew);
    for (auto v : p.overview.windowRect) {
        a.WriteI32(v);
    }
    a.WriteString(p.overview.userName);
    a.WriteString(p.overview.registrationFolder);
    a.WriteString(p.overview.spareText);
}

std::string SerializeToBytes(const ProjectRecord& project)
{
    ArchiveWriter writer;
    Serialize(writer, project);
    return writer.Bytes();
}

Status Serialize(ArchiveReader& a, ProjectRecord& p)
{
    std::int32_t version = 0;
    if (!a.ReadI32(version)) {
        return Status::Failure(a.Error());
    }
    // A zero version is an empty project: nothing more is read and nothing changes.
    if (version == 0) {
        return Status::Success();
    }
    if (!ReadRest(a, p)) {
        return Status::Failure(a.Error());
    }
    return Status::Success();
}

Status LoadProjectBytes(std::string_view bytes, ProjectRecord& project)
{
    ProjectRecord loaded = project;
    ArchiveReader reader(bytes);
    Status status = Serialize(reader, loaded);
    if (!status) {
        return status;
    }
    project = std::move(loaded);
    return Status::Success();
}

template <class ReadStart>
Status LoadProjectWith(const std::string& path, ReadStart readStart, ProjectRecord& project,
                       ProjectFileExtent* extent)
{
    // Only as much of the file is read as the record needs: a start that holds it is parsed, and
    // only a record that runs past it makes the next, larger read. A file padded to gigabytes
    // after a small record thus costs a few kilobytes.
    std::size_t limit = FirstReadBytes;
    for (;;) {
        std::string bytes;
        std::uint64_t fileBytes = 0;
        if (Status read = readStart(limit, bytes, fileBytes); !read) {
            return read;
        }
        const bool whole = bytes.size() == fileBytes;
        try {
            ProjectRecord loaded = project;
            ArchiveReader reader(bytes);
            Status status = Serialize(reader, loaded);
            if (status) {
                project = std::move(loaded);
                if (extent != nullptr) {
                    *extent = {reader.Position(), fileBytes};
                }
                return Status::Success();
            }
            if (whole || !reader.EndedEarly()) {
                return Status::Failure(path + ": " + status.Message());
            }
        } catch (const std::bad_alloc&) {
            // Lists are built as they are read; a file can describe more than memory holds.
            return Status::Failure(path + " を読めません: メモリーが足りません");
        }
        if (limit >= MaxRecordBytes) {
            return Status::Failure(path + " はプロジェクトファイルとして大きすぎます (" +
                                   std::to_string(fileBytes) + " バイト、記録は最大 " +
                                   std::to_string(MaxRecordBytes) + " バイト)");
        }
        limit = std::min(limit * 16, MaxRecordBytes);
    }
}

Status LoadProjectFile(const std::string& path, ProjectRecord& project, ProjectFileExtent* extent)
{
    return LoadProjectWith(
        path,
        [&](std::size_t limit, std::string& bytes, std::uint64_t& fileSize) {
            return ReadRegularFileStart(path, limit, bytes, fileSize);
        },
        project, extent);
}

Status LoadProjectFile(int fd, const std::string& shown, ProjectRecord& project, ProjectFileExtent* extent)
{
    return LoadProjectWith(
        shown,
        [&](std::size_t limit, std::string& bytes, std::uint64_t& fileSize) {
            return ReadOpenedFileStart(fd, shown, limit, bytes, fileSize);
        },
        project, extent);
}

Status SaveProjectFile(const std::string& path, const ProjectRecord& project)
{
    return WriteFileAtomically(path, SerializeToBytes(project));
}

} // namespace quilvane
