// `stats` and `estimate`: the statistics history of a program folder as CSV, and the PROBE
// refit and prediction over it, as the statistics dialog and the estimate dialog compute them.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "estimate/EstimateDiagnostics.h"
#include "estimate/ProbeInputs.h"
#include "platform/Cp932.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/DefectDetails.h"
#include "statistics/DefectAnalysis.h"
#include "statistics/ProjectScan.h"
#include "statistics/StatTable.h"

namespace quilvane::cli {

bool TakeOption(Args& args, const std::string& option, std::string& value)
{
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] != option) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) {
            return false;
        }
        value = args[i + 1];
        auto at = args.begin() + static_cast<std::ptrdiff_t>(i);
        args.erase(at, at + 2);
    }
    return true;
}

void Report(const std::string& message)
{
    std::fprintf(stderr, "quilvane-cli: %s\n", message.c_str());
}

std::optional<std::string> StoredFolderArgument(std::string& diskName)
{
    while (diskName.size() > 1 && diskName.back() == '/') {
        diskName.pop_back();
    }
    auto stored = DiskToStoredName(diskName);
    if (!stored) {
        Report(UnstorableNameMessage(diskName));
    }
    return stored;
}

bool TakeFlag(Args& args, const std::string& flag)
{
    const auto taken = std::remove(args.begin(), args.end(), flag);
    const bool found = taken != args.end();
    args.erase(taken, args.end());
    return found;
}

bool UseProgramFolder(std::string folder)
{
    std::error_code ec;
    if (folder.empty()) {
        folder = std::filesystem::current_path(ec).string();
    }
    if (ec || !std::filesystem::is_directory(folder, ec)) {
        std::fprintf(stderr, "quilvane-cli: %s はフォルダではありません\n", folder.c_str());
        return false;
    }
    // Normalised, so that the registration's overlap checks compare like with like.
    SetProgramFolder(std::filesystem::absolute(folder, ec).lexically_normal().string());
    return !ec;
}

namespace {

std::optional<std::int32_t> ParseInt32(const std::string& text)
{
    std::int32_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || begin == end) {
        return std::nullopt;
    }
    return value;
}

// The terminal takes UTF-8 with plain LF line ends.
void PrintCp932Text(const std::string& cp932)
{
    std::string text = Cp932ToUtf8(cp932);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    std::cout << out;
}

// The range as the dialog shows it ("%.2f"), or null for "∞".
nlohmann::json RangeValue(const std::string& rangeText)
{
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(rangeText.data(), rangeText.data() + rangeText.size(), value);
    if (ec != std::errc() || ptr != rangeText.data() + rangeText.size()) {
        return nullptr;
    }
    return value;
}

nlohmann::json OptionalNumber(const std::optional<double>& value)
{
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

void PrintEstimateJson(const PlanEstimate& estimate, const EstimateDiagnostics& diagnostics,
                       const std::string& excluded)
{
    nlohmann::ordered_json out;
    out["coefficients"] = {estimate.constant, estimate.reuseCoef, estimate.deleteCoef, estimate.newCoef};
    out["totalMinutes"] = estimate.totalMinutes;
    out["range"] = RangeValue(estimate.rangeText);
    out["points"] = diagnostics.points;
    out["excluded"] = excluded.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(excluded);
    out["r2"] = OptionalNumber(diagnostics.r2);
    out["sigma"] = OptionalNumber(diagnostics.sigma);
    out["warnings"] = diagnostics.warnings;
    std::cout << out.dump() << "\n";
}

} // namespace

int RunStats(const Args& args)
{
    Args rest = args;
    std::string folder;
    if (!TakeOption(rest, "-C", folder) || !rest.empty()) {
        return ExitUsage;
    }
    if (!UseProgramFolder(folder)) {
        return ExitFailure;
    }
    PrintCp932Text(FormatStatCsv(LoadHistory("")));
    return ExitOk;
}

int RunEstimate(const Args& args)
{
    Args rest = args;
    std::string folder;
    std::string excluded;
    if (!TakeOption(rest, "-C", folder) || !TakeOption(rest, "--exclude", excluded)) {
        return ExitUsage;
    }
    const bool asJson = TakeFlag(rest, "--json");
    if (rest.size() != 3) {
        return ExitUsage;
    }
    auto reuseLoc = ParseInt32(rest[0]);
    auto deleteLoc = ParseInt32(rest[1]);
    auto newLoc = ParseInt32(rest[2]);
    if (!reuseLoc || !deleteLoc || !newLoc) {
        return ExitUsage;
    }
    // A size is a count of lines; a negative one is a typing slip, not a plan to fit.
    for (std::size_t i = 0; i < 3; ++i) {
        if (rest[i].starts_with('-')) {
            std::fprintf(stderr, "quilvane-cli: サイズ %s は 0 以上の整数で指定して下さい\n",
                         rest[i].c_str());
            return ExitUsage;
        }
    }
    if (!UseProgramFolder(folder)) {
        return ExitFailure;
    }

    PlanEstimate estimate;
    estimate.reuseLoc = *reuseLoc;
    estimate.deleteLoc = *deleteLoc;
    estimate.newLoc = *newLoc;
    const double level = ConfidenceLevelFromCaption(ConfidenceCaption);
    // Folder names are CP932 bytes like every name of the data model.
    const std::string excludedName = Utf8ToCp932(excluded);
    // Each step loads the history afresh, as the two buttons do.
    // One scan serves the refit and the prediction: both see the same history.
    const std::vector<HistoryPoint> history = HistoryFromStore(LoadHistory(excludedName));
    RefitEstimate(estimate, history, level);
    PredictEstimate(estimate, history, level);
    if (asJson) {
        // The name as typed (UTF-8); the diagnostics only count the points.
        PrintEstimateJson(estimate,
                          DiagnoseEstimate(history, CoefficientsOf(estimate), PlannedSize(estimate), ""),
                          excluded);
        return ExitOk;
    }

    const double coefficients[] = {estimate.constant, estimate.reuseCoef, estimate.deleteCoef,
                                   estimate.newCoef};
    const char* separator = "";
    for (double c : coefficients) {
        char text[400]; // room for the largest double in fixed notation
        std::snprintf(text, sizeof text, "%.4f", c);
        std::cout << separator << text;
        separator = " ";
    }
    std::cout << "\n" << estimate.totalMinutes << "\n";
    PrintCp932Text(estimate.rangeText);
    std::cout << "\n";
    return ExitOk;
}

int RunDefects(const Args& args)
{
    Args rest = args;
    std::string folder;
    const bool json = TakeFlag(rest, "--json");
    if (!TakeOption(rest, "-C", folder) || !rest.empty()) {
        return ExitUsage;
    }
    if (!UseProgramFolder(folder)) {
        return ExitFailure;
    }
    const DefectAnalysis analysis = AnalyseStoredDefects("");
    if (json) {
        nlohmann::ordered_json out = {{"byType", nlohmann::ordered_json::array()},
                                      {"matrix", nlohmann::ordered_json::array()}};
        for (const DefectTypeRow& row : analysis.byType) {
            out["byType"].push_back({{"type", row.type ? nlohmann::ordered_json(*row.type) : nullptr},
                                     {"count", row.count},
                                     {"fixMinutes", row.fixMinutes}});
        }
        for (const DefectMatrixCell& cell : analysis.matrix) {
            out["matrix"].push_back(
                {{"injected", cell.injected ? nlohmann::ordered_json(Cp932ToUtf8(*cell.injected)) : nullptr},
                 {"removed", Cp932ToUtf8(cell.removed)},
                 {"count", cell.count}});
        }
        std::cout << out.dump(2) << "\n";
        return ExitOk;
    }
    std::cout << "種別ごとのバグ\n種別\t件数\t修正(分)\t平均(分)\n";
    for (const DefectTypeRow& row : analysis.byType) {
        std::cout << (row.type ? Cp932ToUtf8(DefectTypeText(row.type)) : std::string("(不明)")) << "\t"
                  << row.count << "\t" << row.fixMinutes << "\t";
        if (std::optional<double> average = row.AverageFixMinutes()) {
            char text[64];
            std::snprintf(text, sizeof text, "%.1f", *average);
            std::cout << text << "\n";
        } else {
            std::cout << "-\n";
        }
    }
    std::cout << "\n混入工程と除去工程\n混入\t除去\t件数\n";
    for (const DefectMatrixCell& cell : analysis.matrix) {
        std::cout << (cell.injected ? Cp932ToUtf8(*cell.injected) : std::string("(不明)")) << "\t"
                  << Cp932ToUtf8(cell.removed) << "\t" << cell.count << "\n";
    }
    return ExitOk;
}

} // namespace quilvane::cli
