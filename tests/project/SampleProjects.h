#pragma once
// A project with something in every field, for round trips and damage tests.
#include "project/ProjectRecord.h"

namespace quilvane {

inline ProjectRecord RichProject()
{
    ProjectRecord p;
    p.projectName = "Prob1";
    p.mode = "\x83\x52\x81\x5B\x83\x66\x83\x42\x83\x93\x83\x4F"; // コーディング
    p.memo = "Quilvane \x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93 1.03\r\nMon Dec 07 04:36:20 2026 "
             "\x8D\xEC\x90\xAC\r\n";
    p.phases = {{"\x8C\x76\x89\xE6", 30, 25, 12},
                {"\x90\xDD\x8C\x76", 60, 61, 20},
                {std::string(300, 'p'), 5, 0, 68}};
    p.timeLog.left = 11;
    p.timeLog.columnWidths[3] = 140;
    p.timeLog.entries = {{"\x8C\x76\x89\xE6", Moment(1796585780), Moment(1796587280)},
                         {"test", Moment(1796590000), Moment(1796590090)}};
    p.defectLog.height = 333;
    p.defectLog.entries = {{"test", "line one\r\nline two", Moment(1796590050)}, {"", "", Moment(0)}};
    p.estimate.baseName = "Prob0";
    p.estimate.newLocText = "parse 40\r\nprint 20";
    p.estimate.rangeText = "12.34";
    p.estimate.baseLoc = 101;
    p.estimate.availablePercent = 50;
    p.estimate.reuseLoc = 51;
    p.estimate.deleteLoc = 50;
    p.estimate.newLoc = 60;
    p.estimate.totalMinutes = 95;
    p.estimate.constant = 12.3456;
    p.estimate.reuseCoef = -0.0001;
    p.estimate.deleteCoef = 0.1;
    p.estimate.newCoef = 1.0 / 3.0;
    p.result.actualReuse = 48;
    p.result.actualDelete = 3;
    p.result.actualNew = 70;
    p.overview.windowRect = {100, 120, 700, 620};
    p.overview.userName = "\x8E\x52\x93\x63\x91\xBE\x98\x59"; // 山田太郎
    p.overview.registrationFolder = "\\\\server\\psp";
    p.overview.spareText = "spare";
    return p;
}

} // namespace quilvane
