#pragma once
// The class report: every project registered in a registration folder R (R/user/project/work.psp)
// read as the progress page reads the folder (no link followed, regular files only, bounded
// reading), reduced to the quality measures and the data check of each project, with the
// spread of each exercise over the class and the class-wide phase times and defects.
//
// A project counts for the user whose folder holds it. A 氏名 in the file that names someone
// else is a finding beside the project, never a move to that user's row. A file that cannot be
// read is listed with its reason and the report goes on.
//
// Quartiles: the median of an even count is the mean of the middle two; q1 and q3 are the
// medians of the lower and the upper half, the middle value of an odd count left out of both
// halves (Tukey's hinges without the middle; one value is its own q1 and q3).
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "project/DataCheck.h"
#include "statistics/DefectAnalysis.h"
#include "statistics/QualityMeasures.h"

namespace quilvane {

// The measures the class report spreads over an exercise, in this order.
enum class ClassMeasure { Minutes, NewLoc, LocPerHour, DefectsPerKloc, Yield, TimeErrorPercent };
inline constexpr std::size_t ClassMeasureCount = 6;

struct ClassMeasureInfo {
    ClassMeasure measure;
    const char* key;     // the JSON key
    const char* caption; // UTF-8
    int decimals;
};
const std::array<ClassMeasureInfo, ClassMeasureCount>& ClassMeasureTable();

// The values of one project (or the figures to date), null where the measure has none. Total
// minutes and new LOC are null for a project that has no actual minutes yet.
using ClassValues = std::array<std::optional<double>, ClassMeasureCount>;
ClassValues ClassValuesOf(const QualityMeasures& measures);

struct Quartiles {
    double q1 = 0;
    double median = 0;
    double q3 = 0;
    double min = 0;
    double max = 0;

    bool operator==(const Quartiles&) const = default;
};

// The quartiles of `values` as described above; nothing for no values.
std::optional<Quartiles> QuartilesOf(std::vector<double> values);

// The finding added when the file's 氏名 names someone other than the folder's user.
inline constexpr const char* OtherUserFindingCode = "other-user";

struct ClassProject {
    std::string project; // CP932, the project folder's stored name
    ClassValues values;
    std::vector<Finding> findings;
};

struct ClassStudent {
    std::string user; // CP932, the user folder's stored name
    // In history order (the statistics list's order by name).
    std::vector<ClassProject> projects;
    ClassValues toDate;        // over the finished projects: totals summed, then the ratios
    std::int32_t finished = 0; // how many projects the figures to date rest on
};

struct ClassExercise {
    std::string project; // CP932
    std::int32_t students = 0;
    std::array<std::optional<Quartiles>, ClassMeasureCount> spread; // over the non-null values
};

struct UnreadableProject {
    std::string path;   // UTF-8, relative to R ("山田/課題1/work.psp")
    std::string reason; // Japanese UTF-8
};

struct ClassPhaseShare {
    std::string phase; // CP932
    std::int64_t minutes = 0;
    double percent = 0;
};

struct ClassReport {
    std::vector<ClassExercise> exercises; // by project name (history order)
    std::vector<ClassStudent> students;   // by folder name
    std::vector<ClassPhaseShare> phaseShare;
    DefectAnalysis defects;                  // every registered project's defect log
    std::vector<DefectTypeRow> defectPareto; // by count, most first; ties by type
    std::vector<UnreadableProject> unreadable;
    std::size_t projectsRead = 0;
};

// Whether the registration folder `root` (a disk path) holds at least one registered project
// (R/user/project/work.psp); looks no further than the first one, and follows no link.
bool HoldsRegisteredProjects(const std::string& root);

// Called now and then while reading: projects read so far of how many there are.
using ClassProgress = std::function<void(std::size_t done, std::size_t total)>;

// The report over the registration folder `root` (a disk path). Nothing, with `error` set, only
// when `root` itself cannot be opened or listed.
std::optional<ClassReport> BuildClassReport(const std::string& root, std::int32_t timerLimitMinutes,
                                            std::string& error, const ClassProgress& progress = {});

} // namespace quilvane
