#pragma once
// The ids of the windows, controls and menu commands, named once. A control carries its id as
// its object name, so the views that build it, the commands that wire it and the tests that
// drive it all use the same name. The numbers are those of the original resources: keep them.

namespace quilvane {

namespace ControlId {

// Buttons every dialog has.
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;

// Windows and dialogs.
inline constexpr int AboutDialog = 100;
inline constexpr int MainForm = 101;
inline constexpr int OverviewDialog = 102;
inline constexpr int EstimateDialog = 130;
inline constexpr int ResultDialog = 131;
inline constexpr int MemoDialog = 132;
inline constexpr int NewProjectDialog = 133;
inline constexpr int DefectLogDialog = 134;
inline constexpr int DefectEditDialog = 135;
inline constexpr int TimeLogDialog = 136;
inline constexpr int TimeEditDialog = 137;
inline constexpr int StatisticsDialog = 138;
inline constexpr int QualityWindow = 150;

// The main form.
inline constexpr int ModeList = 1054;
inline constexpr int PhaseList = 1052;
inline constexpr int PlanUpFive = 1022;
inline constexpr int PlanUpOne = 1023;
inline constexpr int PlanDownOne = 1024;
inline constexpr int PlanDownFive = 1025;
inline constexpr int AddDefectButton = 1020;
inline constexpr int DefectLogButton = 1021;
inline constexpr int RegisterButton = 1026;
inline constexpr int EstimateButton = 1027;
inline constexpr int StatisticsButton = 1028;
inline constexpr int OverviewButton = 1029;
inline constexpr int ResultButton = 1030;
inline constexpr int TimeLogButton = 1031;
inline constexpr int LaunchIdeButton = 1032;
inline constexpr int QualityButton = 1120;

// The memo and about dialogs.
inline constexpr int MemoText = 1053;
inline constexpr int AboutVersion = 1077;
inline constexpr int AboutLink = 1051;

// The time log and one entry of it. Each row of adjusters runs "++", "+", "-", "--".
inline constexpr int TimeLogList = 1078;
inline constexpr int TimeLogDelete = 1079;
inline constexpr int TimeLogEdit = 1080;
inline constexpr int TimeEditSpan = 1081;
inline constexpr int TimeEditStartUpFive = 1082;
inline constexpr int TimeEditStartUpOne = 1083;
inline constexpr int TimeEditStartDownOne = 1084;
inline constexpr int TimeEditStartDownFive = 1085;
inline constexpr int TimeEditSpanUpFive = 1086;
inline constexpr int TimeEditSpanUpOne = 1087;
inline constexpr int TimeEditSpanDownOne = 1088;
inline constexpr int TimeEditSpanDownFive = 1089;
inline constexpr int TimeEditPhase = 1091;
inline constexpr int TimeEditStart = 1092;

// The defect log and one entry of it.
inline constexpr int DefectEditPhase = 1001;
inline constexpr int DefectEditComment = 1002;
inline constexpr int DefectEditTime = 1003;
inline constexpr int DefectEditTimeUpFive = 1004;
inline constexpr int DefectEditTimeUpOne = 1005;
inline constexpr int DefectEditTimeDownOne = 1006;
inline constexpr int DefectEditTimeDownFive = 1007;
inline constexpr int DefectLogList = 1008;
inline constexpr int DefectLogDelete = 1009;
inline constexpr int DefectLogEdit = 1010;
// The defect's details, added to the edit dialog after the original's controls.
inline constexpr int DefectEditType = 1011;
inline constexpr int DefectEditInjected = 1012;
inline constexpr int DefectEditFixMinutes = 1013;
inline constexpr int DefectEditFixTimer = 1014;
inline constexpr int DefectEditFixElapsed = 1015;

// The plan estimate; the fields are named after the estimate's values they show.
inline constexpr int EstimateAvailablePercent = 1033;
inline constexpr int EstimateBaseLoc = 1034;
inline constexpr int EstimateBaseName = 1035;
inline constexpr int EstimateSplitButton = 1036;
inline constexpr int EstimateRefitButton = 1037;
inline constexpr int EstimateBaseSizeButton = 1038;
inline constexpr int EstimatePredictButton = 1039;
inline constexpr int EstimateConstant = 1040;
inline constexpr int EstimateDeleteCoef = 1041;
inline constexpr int EstimateDeleteLoc = 1042;
inline constexpr int EstimateNewCoef = 1043;
inline constexpr int EstimateNewLocText = 1044;
inline constexpr int EstimateNewLoc = 1045;
inline constexpr int EstimateRangeCaption = 1046;
inline constexpr int EstimateReuseCoef = 1047;
inline constexpr int EstimateReuseLoc = 1048;
inline constexpr int EstimateRangeText = 1049;
inline constexpr int EstimateTotalMinutes = 1050;
inline constexpr int EstimateFromActualsButton = 1104;

// The results: the plan column beside the measured actuals.
inline constexpr int ResultBaseName = 1065;
inline constexpr int ResultMeasureButton = 1067;
inline constexpr int ResultBugCount = 1068;
inline constexpr int ResultActualDelete = 1069;
inline constexpr int ResultActualNew = 1070;
inline constexpr int ResultPlanDelete = 1071;
inline constexpr int ResultPlanNew = 1072;
inline constexpr int ResultPlanReuse = 1073;
inline constexpr int ResultPlanMinutes = 1074;
inline constexpr int ResultActualReuse = 1075;
inline constexpr int ResultActualMinutes = 1076;
inline constexpr int ResultPlanTotal = 1094;
inline constexpr int ResultActualTotal = 1095;

// The statistics list.
inline constexpr int StatisticsList = 1097;
inline constexpr int StatisticsGraph = 1099;
inline constexpr int StatisticsDelete = 1100;
inline constexpr int StatisticsOpen = 1103;
inline constexpr int StatisticsChartView = 1106;

// The review checklist window.
inline constexpr int ReviewChecklistDialog = 1125;
inline constexpr int ReviewChecklistDesignList = 1126;
inline constexpr int ReviewChecklistCodeList = 1127;

// The overview and settings dialog.
inline constexpr int OverviewBrowse = 1056;
inline constexpr int OverviewReset = 1057;
inline constexpr int OverviewSave = 1058;
inline constexpr int OverviewFolder = 1059;
inline constexpr int OverviewPhases = 1060;
inline constexpr int OverviewExercise = 1061;
inline constexpr int OverviewExerciseLabel = 1062;
inline constexpr int OverviewUserName = 1063;
inline constexpr int OverviewBrowser = 1064;

// The new project dialog.
inline constexpr int NewProjectExercise = 1101;
inline constexpr int NewProjectBase = 1102;

// The data check's list of findings.
inline constexpr int DataCheckList = 1130;

} // namespace ControlId

// Menu and toolbar commands of the main window.
namespace CommandId {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int PrintSetup = 57606;
inline constexpr int Print = 57607;
inline constexpr int PrintDirect = 57608;
inline constexpr int PrintPreview = 57609;
inline constexpr int RecentFirst = 57616;
inline constexpr int About = 57664;
inline constexpr int Exit = 57665;
inline constexpr int ToolBar = 59392;
inline constexpr int StatusBar = 59393;
inline constexpr int SelectModeFirst = 32771;
inline constexpr int SelectModeLast = 32781;
inline constexpr int Memo = 32782;
inline constexpr int Progress = 32785;
inline constexpr int DataCheck = 32797;
inline constexpr int ClassReport = 32798;
inline constexpr int ReviewChecklist = 32795;
inline constexpr int Quality = 32790;
} // namespace CommandId

} // namespace quilvane
