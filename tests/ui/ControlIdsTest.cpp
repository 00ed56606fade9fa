#include <gtest/gtest.h>
#include <set>

#include "ui/ControlIds.h"

using namespace quilvane;

namespace {

struct PinnedId {
    int id;
    int number;
    const char* name;
};

} // namespace

// Views, commands and tests all take their ids from one header, so a changed number would pass
// every other test unnoticed; the numbers are pinned here once, as the resources define them.
TEST(ControlIdsTest, EveryIdKeepsItsResourceNumber)
{
    const PinnedId controls[] = {
        {ControlId::Ok, 1, "Ok"},
        {ControlId::Cancel, 2, "Cancel"},
        {ControlId::AboutDialog, 100, "AboutDialog"},
        {ControlId::MainForm, 101, "MainForm"},
        {ControlId::OverviewDialog, 102, "OverviewDialog"},
        {ControlId::EstimateDialog, 130, "EstimateDialog"},
        {ControlId::ResultDialog, 131, "ResultDialog"},
        {ControlId::MemoDialog, 132, "MemoDialog"},
        {ControlId::NewProjectDialog, 133, "NewProjectDialog"},
        {ControlId::DefectLogDialog, 134, "DefectLogDialog"},
        {ControlId::DefectEditDialog, 135, "DefectEditDialog"},
        {ControlId::TimeLogDialog, 136, "TimeLogDialog"},
        {ControlId::TimeEditDialog, 137, "TimeEditDialog"},
        {ControlId::StatisticsDialog, 138, "StatisticsDialog"},
        {ControlId::QualityWindow, 150, "QualityWindow"},
        {ControlId::ModeList, 1054, "ModeList"},
        {ControlId::PhaseList, 1052, "PhaseList"},
        {ControlId::PlanUpFive, 1022, "PlanUpFive"},
        {ControlId::PlanUpOne, 1023, "PlanUpOne"},
        {ControlId::PlanDownOne, 1024, "PlanDownOne"},
        {ControlId::PlanDownFive, 1025, "PlanDownFive"},
        {ControlId::AddDefectButton, 1020, "AddDefectButton"},
        {ControlId::DefectLogButton, 1021, "DefectLogButton"},
        {ControlId::RegisterButton, 1026, "RegisterButton"},
        {ControlId::EstimateButton, 1027, "EstimateButton"},
        {ControlId::StatisticsButton, 1028, "StatisticsButton"},
        {ControlId::OverviewButton, 1029, "OverviewButton"},
        {ControlId::ResultButton, 1030, "ResultButton"},
        {ControlId::TimeLogButton, 1031, "TimeLogButton"},
        {ControlId::LaunchIdeButton, 1032, "LaunchIdeButton"},
        {ControlId::QualityButton, 1120, "QualityButton"},
        {ControlId::MemoText, 1053, "MemoText"},
        {ControlId::AboutVersion, 1077, "AboutVersion"},
        {ControlId::AboutLink, 1051, "AboutLink"},
        {ControlId::TimeLogList, 1078, "TimeLogList"},
        {ControlId::TimeLogDelete, 1079, "TimeLogDelete"},
        {ControlId::TimeLogEdit, 1080, "TimeLogEdit"},
        {ControlId::TimeEditSpan, 1081, "TimeEditSpan"},
        {ControlId::TimeEditStartUpFive, 1082, "TimeEditStartUpFive"},
        {ControlId::TimeEditStartUpOne, 1083, "TimeEditStartUpOne"},
        {ControlId::TimeEditStartDownOne, 1084, "TimeEditStartDownOne"},
        {ControlId::TimeEditStartDownFive, 1085, "TimeEditStartDownFive"},
        {ControlId::TimeEditSpanUpFive, 1086, "TimeEditSpanUpFive"},
        {ControlId::TimeEditSpanUpOne, 1087, "TimeEditSpanUpOne"},
        {ControlId::TimeEditSpanDownOne, 1088, "TimeEditSpanDownOne"},
        {ControlId::TimeEditSpanDownFive, 1089, "TimeEditSpanDownFive"},
        {ControlId::TimeEditPhase, 1091, "TimeEditPhase"},
        {ControlId::TimeEditStart, 1092, "TimeEditStart"},
        {ControlId::DefectEditPhase, 1001, "DefectEditPhase"},
        {ControlId::DefectEditComment, 1002, "DefectEditComment"},
        {ControlId::DefectEditTime, 1003, "DefectEditTime"},
        {ControlId::DefectEditTimeUpFive, 1004, "DefectEditTimeUpFive"},
        {ControlId::DefectEditTimeUpOne, 1005, "DefectEditTimeUpOne"},
        {ControlId::DefectEditTimeDownOne, 1006, "DefectEditTimeDownOne"},
        {ControlId::DefectEditTimeDownFive, 1007, "DefectEditTimeDownFive"},
        {ControlId::DefectLogList, 1008, "DefectLogList"},
        {ControlId::DefectLogDelete, 1009, "DefectLogDelete"},
        {ControlId::DefectLogEdit, 1010, "DefectLogEdit"},
        {ControlId::DefectEditType, 1011, "DefectEditType"},
        {ControlId::DefectEditInjected, 1012, "DefectEditInjected"},
        {ControlId::DefectEditFixMinutes, 1013, "DefectEditFixMinutes"},
        {ControlId::DefectEditFixTimer, 1014, "DefectEditFixTimer"},
        {ControlId::DefectEditFixElapsed, 1015, "DefectEditFixElapsed"},
        {ControlId::EstimateAvailablePercent, 1033, "EstimateAvailablePercent"},
        {ControlId::EstimateBaseLoc, 1034, "EstimateBaseLoc"},
        {ControlId::EstimateBaseName, 1035, "EstimateBaseName"},
        {ControlId::EstimateSplitButton, 1036, "EstimateSplitButton"},
        {ControlId::EstimateRefitButton, 1037, "EstimateRefitButton"},
        {ControlId::EstimateBaseSizeButton, 1038, "EstimateBaseSizeButton"},
        {ControlId::EstimatePredictButton, 1039, "EstimatePredictButton"},
        {ControlId::EstimateConstant, 1040, "EstimateConstant"},
        {ControlId::EstimateDeleteCoef, 1041, "EstimateDeleteCoef"},
        {ControlId::EstimateDeleteLoc, 1042, "EstimateDeleteLoc"},
        {ControlId::EstimateNewCoef, 1043, "EstimateNewCoef"},
        {ControlId::EstimateNewLocText, 1044, "EstimateNewLocText"},
        {ControlId::EstimateNewLoc, 1045, "EstimateNewLoc"},
        {ControlId::EstimateRangeCaption, 1046, "EstimateRangeCaption"},
        {ControlId::EstimateReuseCoef, 1047, "EstimateReuseCoef"},
        {ControlId::EstimateReuseLoc, 1048, "EstimateReuseLoc"},
        {ControlId::EstimateRangeText, 1049, "EstimateRangeText"},
        {ControlId::EstimateTotalMinutes, 1050, "EstimateTotalMinutes"},
        {ControlId::EstimateFromActualsButton, 1104, "EstimateFromActualsButton"},
        {ControlId::ResultBaseName, 1065, "ResultBaseName"},
        {ControlId::ResultMeasureButton, 1067, "ResultMeasureButton"},
        {ControlId::ResultBugCount, 1068, "ResultBugCount"},
        {ControlId::ResultActualDelete, 1069, "ResultActualDelete"},
        {ControlId::ResultActualNew, 1070, "ResultActualNew"},
        {ControlId::ResultPlanDelete, 1071, "ResultPlanDelete"},
        {ControlId::ResultPlanNew, 1072, "ResultPlanNew"},
        {ControlId::ResultPlanReuse, 1073, "ResultPlanReuse"},
        {ControlId::ResultPlanMinutes, 1074, "ResultPlanMinutes"},
        {ControlId::ResultActualReuse, 1075, "ResultActualReuse"},
        {ControlId::ResultActualMinutes, 1076, "ResultActualMinutes"},
        {ControlId::ResultPlanTotal, 1094, "ResultPlanTotal"},
        {ControlId::ResultActualTotal, 1095, "ResultActualTotal"},
        {ControlId::StatisticsList, 1097, "StatisticsList"},
        {ControlId::StatisticsGraph, 1099, "StatisticsGraph"},
        {ControlId::StatisticsDelete, 1100, "StatisticsDelete"},
        {ControlId::StatisticsOpen, 1103, "StatisticsOpen"},
        {ControlId::StatisticsChartView, 1106, "StatisticsChartView"},
        {ControlId::ReviewChecklistDialog, 1125, "ReviewChecklistDialog"},
        {ControlId::ReviewChecklistDesignList, 1126, "ReviewChecklistDesignList"},
        {ControlId::ReviewChecklistCodeList, 1127, "ReviewChecklistCodeList"},
        {ControlId::DataCheckList, 1130, "DataCheckList"},
        {ControlId::OverviewBrowse, 1056, "OverviewBrowse"},
        {ControlId::OverviewReset, 1057, "OverviewReset"},
        {ControlId::OverviewSave, 1058, "OverviewSave"},
        {ControlId::OverviewFolder, 1059, "OverviewFolder"},
        {ControlId::OverviewPhases, 1060, "OverviewPhases"},
        {ControlId::OverviewExercise, 1061, "OverviewExercise"},
        {ControlId::OverviewExerciseLabel, 1062, "OverviewExerciseLabel"},
        {ControlId::OverviewUserName, 1063, "OverviewUserName"},
        {ControlId::OverviewBrowser, 1064, "OverviewBrowser"},
        {ControlId::NewProjectExercise, 1101, "NewProjectExercise"},
        {ControlId::NewProjectBase, 1102, "NewProjectBase"},
    };
    std::set<int> seen;
    for (const auto& c : controls) {
        EXPECT_EQ(c.id, c.number) << c.name;
        EXPECT_TRUE(seen.insert(c.id).second) << c.name << " shares its number";
    }

    const PinnedId commands[] = {
        {CommandId::FileNew, 57600, "FileNew"},
        {CommandId::FileOpen, 57601, "FileOpen"},
        {CommandId::FileSave, 57603, "FileSave"},
        {CommandId::FileSaveAs, 57604, "FileSaveAs"},
        {CommandId::PrintSetup, 57606, "PrintSetup"},
        {CommandId::Print, 57607, "Print"},
        {CommandId::PrintDirect, 57608, "PrintDirect"},
        {CommandId::PrintPreview, 57609, "PrintPreview"},
        {CommandId::RecentFirst, 57616, "RecentFirst"},
        {CommandId::About, 57664, "About"},
        {CommandId::Exit, 57665, "Exit"},
        {CommandId::ToolBar, 59392, "ToolBar"},
        {CommandId::StatusBar, 59393, "StatusBar"},
        {CommandId::SelectModeFirst, 32771, "SelectModeFirst"},
        {CommandId::SelectModeLast, 32781, "SelectModeLast"},
        {CommandId::Memo, 32782, "Memo"},
        {CommandId::Progress, 32785, "Progress"},
        {CommandId::ReviewChecklist, 32795, "ReviewChecklist"},
        {CommandId::Quality, 32790, "Quality"},
        {CommandId::DataCheck, 32797, "DataCheck"},
        {CommandId::ClassReport, 32798, "ClassReport"},
    };
    for (const auto& c : commands) {
        EXPECT_EQ(c.id, c.number) << c.name;
    }
}
