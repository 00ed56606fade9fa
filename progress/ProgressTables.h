#pragma once
// The three tables of one Tessaline run: users, projects and the cells between them.
#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <utility>

namespace tessaline {

// Where a result file lies: its user and project folders as stored text.
struct ResultSource {
    std::string userFolder;
    std::string projectFolder;
};

// One filled cell: the percentage of a result file, that file's modification time and where it
// lies.
struct ProgressCell {
    std::int32_t percentage = 0;
    std::time_t stamp = 0;
    ResultSource source;
};

// Maps a name to its number. std::string compares through char_traits<char>, which orders bytes
// as unsigned values: case-sensitive, ASCII before double-byte names, a prefix before its extensions.
using NameTable = std::map<std::string, std::int32_t>;

// Users and projects are numbered in order of first appearance, from 1; the page lists them in
// name order. Cells are keyed by the pair of numbers, so any number of projects keeps them apart.
class ProgressTables {
public:
    // Records one result; a later result for the same user and project replaces the earlier one.
    void AddResult(const std::string& userName, const std::string& projectName, std::int32_t percentage,
                   std::time_t stamp, ResultSource source = {});

    const NameTable& Users() const { return users_; }
    const NameTable& Projects() const { return projects_; }
    const ProgressCell* FindCell(std::int32_t userNumber, std::int32_t projectNumber) const;

private:
    static std::int32_t NumberOf(NameTable& table, const std::string& name);

    NameTable users_;
    NameTable projects_;
    std::map<std::pair<std::int32_t, std::int32_t>, ProgressCell> cells_;
};

} // namespace tessaline
