#pragma once
// A temporary program folder with an "init" folder, made the program folder for one test, and
// helpers that put project folders into it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ProgramFolder.h"
#include "project/ProjectFile.h"
#include "tests/TempFolder.h"

namespace quilvane {

// A project whose stored figures come back from a scan as the given actual sizes and minutes.
inline ProjectRecord FinishedProject(std::int32_t actualReuse, std::int32_t actualDelete,
                                     std::int32_t actualNew, std::int32_t minutes)
{
    ProjectRecord p;
    // The actual minutes are recomputed on load as the sum of the phases' actual minutes.
    p.phases = {{"plan", 0, minutes / 2, 0}, {"code", 0, minutes - minutes / 2, 0}};
    p.result.actualReuse = actualReuse;
    p.result.actualDelete = actualDelete;
    p.result.actualNew = actualNew;
    return p;
}

inline void WriteProject(const std::string& root, const std::string& folder, const ProjectRecord& project,
                         const std::string& file = "work.psp")
{
    std::filesystem::create_directories(root + "/" + folder);
    ASSERT_TRUE(SaveProjectFile(root + "/" + folder + "/" + file, project).Ok());
}

class StatFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir_.Root().empty());
        saved_ = ProgramFolder();
        SetProgramFolder(dir_.Root());
        std::filesystem::create_directories(dir_.Path("init"));
    }
    void TearDown() override { SetProgramFolder(saved_); }

    void Project(const std::string& folder, const ProjectRecord& project,
                 const std::string& file = "work.psp")
    {
        WriteProject(dir_.Root(), folder, project, file);
    }

    TempFolder dir_;

private:
    std::string saved_;
};

} // namespace quilvane
