#include "statistics/ClassReport.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <utility>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/FolderListing.h"
#include "platform/MbString.h"
#include "platform/PathNames.h"
#include "project/ProjectFile.h"

namespace quilvane {
namespace {

const char* const ProjectFileName = "work.psp";

struct ProjectPlace {
    std::size_t student; // index into the report's students
    std::string disk;    // the project folder's name on disk
    std::string stored;  // CP932
};

struct MeasureSums {
    std::int32_t students = 0;
    std::array<std::vector<double>, ClassMeasureCount> values;
};

std::optional<double> Value(const QualityMeasures& m, QualityMeasure measure)
{
    return m[measure].value;
}

double Median(const std::vector<double>& sorted, std::size_t from, std::size_t count)
{
    const std::size_t middle = from + count / 2;
    return count % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

class ClassReader {
public:
    ClassReader(std::int32_t timerLimitMinutes, const ClassProgress& progress)
        : timerLimit_(timerLimitMinutes), progress_(progress)
    {
    }

    std::optional<ClassReport> Read(const std::string& root, std::string& error)
    {
        auto folder = Folder::Open(root);
        if (!folder) {
            error = root + " を開けません: " + ErrorText(errno);
            return std::nullopt;
        }
        auto users = folder->List();
        if (!users) {
            error = root + " を読めません: " + ErrorText(errno);
            return std::nullopt;
        }
        // The folders first, then the files: the count of projects is known before the reading
        // that takes the time, so progress can be told against it.
        std::vector<std::pair<Folder, std::string>> userFolders;
        std::vector<ProjectPlace> places;
        for (const FolderEntry& entry : *users) {
            if (entry.name.empty() || entry.name.front() == '.' || entry.kind == EntryKind::RegularFile) {
                continue; // the page, its files and hidden names belong to no student
            }
            auto user = OpenFolder(*folder, entry, entry.name);
            if (!user) {
                continue;
            }
            auto stored = DiskToStoredName(entry.name);
            report_.students.push_back({std::move(*stored), {}, {}, 0});
            ListProjects(*user, entry.name, report_.students.size() - 1, places);
            userFolders.emplace_back(std::move(*user), entry.name);
        }
        for (std::size_t i = 0; i < places.size(); ++i) {
            ReadProject(userFolders[places[i].student].first, userFolders[places[i].student].second,
                        places[i]);
            if (progress_ && (i + 1) % 500 == 0) {
                progress_(i + 1, places.size());
            }
        }
        Finish();
        return std::move(report_);
    }

private:
    // The subfolder `entry`, or nothing with the reason listed. A link or a file where a folder
    // is expected is listed as such, never followed.
    std::optional<Folder> OpenFolder(const Folder& parent, const FolderEntry& entry, const std::string& shown)
    {
        if (!DiskToStoredName(entry.name)) {
            Unreadable(shown, UnstorableNameMessage(entry.name));
            return std::nullopt;
        }
        if (entry.kind != EntryKind::Directory) {
            Unreadable(shown, "フォルダーではありません (シンボリックリンクなどは読みません)");
            return std::nullopt;
        }
        int error = 0;
        auto folder = parent.OpenSubfolder(entry.name, &error);
        if (!folder) {
            Unreadable(shown, "開けません: " + ErrorText(error));
        }
        return folder;
    }

    void ListProjects(const Folder& user, const std::string& userDisk, std::size_t student,
                      std::vector<ProjectPlace>& places)
    {
        auto entries = user.List();
        if (!entries) {
            Unreadable(userDisk, "読めません: " + ErrorText(errno));
            return;
        }
        for (const FolderEntry& entry : *entries) {
            if (entry.name.empty() || entry.name.front() == '.') {
                continue;
            }
            const std::string shown = userDisk + "/" + entry.name;
            if (entry.kind == EntryKind::RegularFile) {
                continue; // a student's own notes beside the projects
            }
            auto stored = DiskToStoredName(entry.name);
            if (!stored) {
                Unreadable(shown, UnstorableNameMessage(entry.name));
                continue;
            }
            if (entry.kind != EntryKind::Directory) {
                Unreadable(shown, "フォルダーではありません (シンボリックリンクなどは読みません)");
                continue;
            }
            places.push_back({student, entry.name, std::move(*stored)});
        }
    }

    void ReadProject(const Folder& user, const std::string& userDisk, const ProjectPlace& place)
    {
        const std::string shown = userDisk + "/" + place.disk + "/" + ProjectFileName;
        int error = 0;
        auto folder = user.OpenSubfolder(place.disk, &error);
        if (!folder) {
            Unreadable(userDisk + "/" + place.disk, "開けません: " + ErrorText(error));
            return;
        }
        OpenedFile file = folder->OpenRegularFile(ProjectFileName);
        if (file.kind == EntryKind::Missing && file.error == 0) {
            Unreadable(shown, "ありません");
            return;
        }
        if (file.kind != EntryKind::RegularFile) {
            Unreadable(shown, file.error != 0 ? "開けません: " + ErrorText(file.error)
                                              : std::string("通常のファイルではありません"));
            return;
        }
        ProjectRecord record;
        if (Status loaded = LoadProjectFile(file.fd.Get(), shown, record); !loaded) {
            Unreadable(shown, loaded.Message());
            return;
        }
        ++report_.projectsRead;
        Add(place, record);
    }

    void Add(const ProjectPlace& place, const ProjectRecord& record)
    {
        ClassStudent& student = report_.students[place.student];
        const QualityTotals totals = TotalsOf(record);
        const QualityMeasures measures = ComputeQuality(totals);
        ClassProject project{place.stored, ClassValuesOf(measures), CheckProjectData(record, timerLimit_)};
        const bool finished = IsFinishedProject(record);
        if (!finished) {
            project.values[static_cast<std::size_t>(ClassMeasure::Minutes)].reset();
            project.values[static_cast<std::size_t>(ClassMeasure::NewLoc)].reset();
        }
        const std::string& named = record.overview.userName;
        if (!named.empty() && named != student.user) {
            project.findings.push_back({OtherUserFindingCode,
                                        {},
                                        "ファイルの氏名「" + Cp932ToUtf8(named) +
                                            "」はこのフォルダーの利用者「" + Cp932ToUtf8(student.user) +
                                            "」ではありません",
                                        "このプロジェクトは、フォルダーの利用者のものとして数えています。"
                                        "誰のデータか確かめてください"});
        }
        MeasureSums& exercise = exercises_[place.stored];
        ++exercise.students;
        for (std::size_t i = 0; i < ClassMeasureCount; ++i) {
            if (project.values[i]) {
                exercise.values[i].push_back(*project.values[i]);
            }
        }
        if (finished) {
            toDate_[place.student].Add(totals);
            ++student.finished;
            classTotals_.Add(totals);
        }
        report_.defects.Add(record.defectLog);
        student.projects.push_back(std::move(project));
    }

    void Finish()
    {
        for (std::size_t i = 0; i < report_.students.size(); ++i) {
            ClassStudent& student = report_.students[i];
            std::stable_sort(student.projects.begin(), student.projects.end(),
                             [](const ClassProject& a, const ClassProject& b) {
                                 return MbsCmp(a.project, b.project) < 0;
                             });
            auto sum = toDate_.find(i);
            student.toDate =
                ClassValuesOf(ComputeQuality(sum == toDate_.end() ? QualityTotals{} : sum->second));
            if (student.finished == 0) {
                student.toDate[static_cast<std::size_t>(ClassMeasure::Minutes)].reset();
                student.toDate[static_cast<std::size_t>(ClassMeasure::NewLoc)].reset();
            }
        }
        for (auto& [name, sums] : exercises_) {
            ClassExercise exercise{name, sums.students, {}};
            for (std::size_t i = 0; i < ClassMeasureCount; ++i) {
                exercise.spread[i] = QuartilesOf(std::move(sums.values[i]));
            }
            report_.exercises.push_back(std::move(exercise));
        }
        for (const QualityPhaseTotals& phase : classTotals_.phases) {
            const double percent = classTotals_.minutes > 0
                                       ? 100.0 * static_cast<double>(phase.minutes) / classTotals_.minutes
                                       : 0;
            report_.phaseShare.push_back({phase.name, phase.minutes, percent});
        }
        report_.defectPareto = report_.defects.byType;
        std::stable_sort(report_.defectPareto.begin(), report_.defectPareto.end(),
                         [](const DefectTypeRow& a, const DefectTypeRow& b) { return a.count > b.count; });
    }

    void Unreadable(const std::string& shown, std::string reason)
    {
        report_.unreadable.push_back({shown, std::move(reason)});
    }

    std::int32_t timerLimit_;
    const ClassProgress& progress_;
    ClassReport report_;
    std::map<std::string, MeasureSums, MbsLess> exercises_;
    std::map<std::size_t, QualityTotals> toDate_;
    QualityTotals classTotals_;
};

} // namespace

const std::array<ClassMeasureInfo, ClassMeasureCount>& ClassMeasureTable()
{
    static const std::array<ClassMeasureInfo, ClassMeasureCount> table = {{
        {ClassMeasure::Minutes, "minutes", "時間(分)", 0},
        {ClassMeasure::NewLoc, "newLoc", "新規LOC", 0},
        {ClassMeasure::LocPerHour, "locPerHour", "LOC/時間", 1},
        {ClassMeasure::DefectsPerKloc, "defectsPerKloc", "バグ/KLOC", 1},
        {ClassMeasure::Yield, "yield", "歩留まり(%)", 1},
        {ClassMeasure::TimeErrorPercent, "timeErrorPercent", "時間見積り誤差(%)", 1},
    }};
    return table;
}

ClassValues ClassValuesOf(const QualityMeasures& m)
{
    return {static_cast<double>(m.totals.minutes), static_cast<double>(m.totals.newLoc),
            Value(m, QualityMeasure::LocPerHour),  Value(m, QualityMeasure::DefectsPerKloc),
            Value(m, QualityMeasure::Yield),       Value(m, QualityMeasure::TimeErrorPercent)};
}

std::optional<Quartiles> QuartilesOf(std::vector<double> values)
{
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    Quartiles q;
    q.min = values.front();
    q.max = values.back();
    q.median = Median(values, 0, n);
    if (n == 1) {
        q.q1 = q.q3 = q.median;
        return q;
    }
    const std::size_t half = n / 2;
    q.q1 = Median(values, 0, half);
    q.q3 = Median(values, n - half, half);
    return q;
}

std::optional<ClassReport> BuildClassReport(const std::string& root, std::int32_t timerLimitMinutes,
                                            std::string& error, const ClassProgress& progress)
{
    try {
        ClassReader reader(timerLimitMinutes, progress);
        return reader.Read(root, error);
    } catch (const std::bad_alloc&) {
        error = root + " を読めません: メモリーが足りません";
        return std::nullopt;
    }
}

bool HoldsRegisteredProjects(const std::string& root)
{
    const auto folder = Folder::Open(root);
    const auto users = folder ? folder->List() : std::nullopt;
    if (!users) {
        return false;
    }
    for (const FolderEntry& userEntry : *users) {
        const auto user = userEntry.kind == EntryKind::Directory && userEntry.name.front() != '.'
                              ? folder->OpenSubfolder(userEntry.name)
                              : std::nullopt;
        const auto projects = user ? user->List() : std::nullopt;
        for (const FolderEntry& projectEntry : projects.value_or(std::vector<FolderEntry>{})) {
            const auto project = projectEntry.kind == EntryKind::Directory
                                     ? user->OpenSubfolder(projectEntry.name)
                                     : std::nullopt;
            if (project && project->OpenRegularFile("work.psp").kind == EntryKind::RegularFile) {
                return true;
            }
        }
    }
    return false;
}

} // namespace quilvane
