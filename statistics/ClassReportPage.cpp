#include "statistics/ClassReportPage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>

#include "platform/Cp932.h"
#include "platform/HtmlText.h"
#include "project/DefectDetails.h"
#include "statistics/ChartFigures.h"

namespace quilvane {
namespace {

// Sorts a table by the clicked heading: by each cell's data-v number when both have one (an
// empty data-v, a null, sorts first), by text otherwise; a second click reverses.
const char* const SortScript =
    "document.querySelectorAll('table.sortable th').forEach(function(th){"
    "th.addEventListener('click',function(){"
    "var b=th.closest('table').tBodies[0],i=th.cellIndex,d=th.dataset.d==='1'?-1:1;"
    "th.dataset.d=d===1?'1':'0';"
    "var r=Array.prototype.slice.call(b.rows);"
    "r.sort(function(x,y){var a=x.cells[i],c=y.cells[i];"
    "if(a.dataset.v!==undefined&&c.dataset.v!==undefined){"
    "var p=a.dataset.v===''?-Infinity:+a.dataset.v,q=c.dataset.v===''?-Infinity:+c.dataset.v;"
    "return d*(p<q?-1:p>q?1:0);}"
    "return d*a.textContent.localeCompare(c.textContent);});"
    "r.forEach(function(e){b.appendChild(e);});});});";

const char* const Style = "body{font-family:sans-serif;margin:1em 2em;color:#222}"
                          "table{border-collapse:collapse;margin:.5em 0 1.5em}"
                          "th,td{border:1px solid #bbb;padding:2px 6px;font-size:13px}"
                          "th{background:#e8eef6;cursor:pointer;white-space:nowrap}"
                          "td.n{text-align:right;white-space:nowrap}td.f{color:#a30;font-size:12px}"
                          "h2{border-bottom:2px solid #47a;margin-top:1.5em}"
                          "svg text{font-size:11px;font-family:sans-serif}";

// Text safe in content and in attributes quoted either way.
std::string Markup(std::string_view text)
{
    return EscapeHtml(text, Apostrophe::Escaped);
}

std::string Html(std::string_view cp932)
{
    return Markup(Cp932ToUtf8(cp932));
}

std::string Number(double value, int decimals)
{
    return ChartValueText(value, decimals);
}

std::string Cell(const std::optional<double>& value, int decimals)
{
    if (!value) {
        return "<td class=\"n\" data-v=\"\">—</td>";
    }
    return "<td class=\"n\" data-v=\"" + Number(*value, 4) + "\">" + Number(*value, decimals) + "</td>";
}

std::string NewNonce()
{
    static const char* const digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::random_device random;
    std::string nonce;
    for (int i = 0; i < 22; ++i) {
        nonce += digits[random() % 64];
    }
    return nonce;
}

std::string MeasureHeadings()
{
    std::string out;
    for (const ClassMeasureInfo& info : ClassMeasureTable()) {
        out += "<th>" + Markup(info.caption) + "</th>";
    }
    return out;
}

// The axis of a box plot: whole numbers around every value, so that the spread of a class whose
// values lie close together (460 ± 5 minutes) is not squeezed against a far-away zero.
std::pair<double, double> AxisRange(const ClassReport& report, std::size_t index)
{
    double low = 0;
    double high = 0;
    bool any = false;
    for (const ClassExercise& e : report.exercises) {
        if (const auto& q = e.spread[index]) {
            low = any ? std::min(low, q->min) : q->min;
            high = any ? std::max(high, q->max) : q->max;
            any = true;
        }
    }
    if (!any) {
        return {0, 1};
    }
    const double pad = high > low ? (high - low) * 0.05 : 1;
    return {std::floor(low - pad), std::ceil(high + pad)};
}

// A box plot per exercise: whiskers from the least to the greatest value, the box from q1 to q3,
// a line at the median; the axis is labelled at its ends and its middle.
std::string BoxPlots(const ClassReport& report, ClassMeasure measure, const std::string& caption)
{
    const auto index = static_cast<std::size_t>(measure);
    const std::pair<double, double> range = AxisRange(report, index);
    const double bottom = range.first;
    const double top = range.second;
    const int step = 48;
    const int height = 200;
    const int width = 60 + step * static_cast<int>(report.exercises.size());
    auto at = [&](double v) { return 10 + height * (top - v) / (top - bottom); };
    auto y = [&](double v) { return Number(at(v), 1); };
    std::string svg = "<figure><figcaption>" + Markup(caption) + "</figcaption><svg width=\"" +
                      std::to_string(width) + "\" height=\"" + std::to_string(height + 60) + "\">";
    svg += "<line x1=\"50\" y1=\"10\" x2=\"50\" y2=\"" + std::to_string(height + 10) + "\" stroke=\"#666\"/>";
    for (const double tick : {top, (top + bottom) / 2, bottom}) {
        svg += "<line x1=\"50\" x2=\"" + std::to_string(width) + "\" y1=\"" + y(tick) + "\" y2=\"" + y(tick) +
               "\" stroke=\"#eee\"/><text x=\"46\" y=\"" + Number(at(tick) + 4, 1) +
               "\" text-anchor=\"end\">" + Number(tick, tick == std::floor(tick) ? 0 : 1) + "</text>";
    }
    for (std::size_t i = 0; i < report.exercises.size(); ++i) {
        const ClassExercise& e = report.exercises[i];
        const int x = 60 + step * static_cast<int>(i) + step / 2;
        const std::string xs = std::to_string(x);
        svg += "<text x=\"" + xs + "\" y=\"" + std::to_string(height + 24) + "\" text-anchor=\"middle\">" +
               Html(e.project) + "</text>";
        if (!e.spread[index]) {
            continue;
        }
        const Quartiles& q = *e.spread[index];
        svg += "<g><title>" + Html(e.project) + ": 中央値 " + Number(q.median, 1) + " (" + Number(q.q1, 1) +
               "–" + Number(q.q3, 1) + ")</title>";
        svg += "<line x1=\"" + xs + "\" x2=\"" + xs + "\" y1=\"" + y(q.min) + "\" y2=\"" + y(q.max) +
               "\" stroke=\"#333\"/>";
        svg += "<rect x=\"" + std::to_string(x - 14) + "\" width=\"28\" y=\"" + y(q.q3) + "\" height=\"" +
               Number(std::max(0.0, height * (q.q3 - q.q1) / (top - bottom)), 1) +
               "\" fill=\"#9bc\" stroke=\"#333\"/>";
        svg += "<line x1=\"" + std::to_string(x - 14) + "\" x2=\"" + std::to_string(x + 14) + "\" y1=\"" +
               y(q.median) + "\" y2=\"" + y(q.median) + "\" stroke=\"#c00\" stroke-width=\"2\"/></g>";
    }
    return svg + "</svg></figure>";
}

// Horizontal bars with their labels (markup) and values shown with `decimals` places and
// `unit`, each with its share so far when `cumulative` is given.
std::string Bars(const std::vector<std::pair<std::string, double>>& rows, int decimals,
                 const std::string& unit, const std::vector<double>& cumulative = {})
{
    double top = 0;
    for (const auto& row : rows) {
        top = std::max(top, row.second);
    }
    top = top > 0 ? top : 1;
    const int height = 20 * static_cast<int>(rows.size()) + 10;
    std::string svg = "<svg width=\"560\" height=\"" + std::to_string(height) + "\">";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string yy = std::to_string(5 + 20 * static_cast<int>(i));
        svg += "<text x=\"150\" y=\"" + std::to_string(19 + 20 * static_cast<int>(i)) +
               "\" text-anchor=\"end\">" + rows[i].first + "</text>";
        svg += "<rect x=\"155\" y=\"" + yy + "\" height=\"16\" width=\"" +
               Number(300 * rows[i].second / top, 1) + "\" fill=\"#58a\"/>";
        std::string label = Number(rows[i].second, decimals) + unit;
        if (i < cumulative.size()) {
            label += " (累積 " + Number(cumulative[i], 1) + "%)";
        }
        svg += "<text x=\"" + Number(160 + 300 * rows[i].second / top, 1) + "\" y=\"" +
               std::to_string(19 + 20 * static_cast<int>(i)) + "\">" + Markup(label) + "</text>";
    }
    return svg + "</svg>";
}

// The time-estimating error of each project in order, as a small line around a zero line.
std::string Sparkline(const ClassStudent& student)
{
    const auto index = static_cast<std::size_t>(ClassMeasure::TimeErrorPercent);
    double top = 1;
    for (const ClassProject& p : student.projects) {
        if (p.values[index]) {
            top = std::max(top, std::abs(*p.values[index]));
        }
    }
    const std::size_t n = student.projects.size();
    std::string points;
    for (std::size_t i = 0; i < n; ++i) {
        if (const auto& v = student.projects[i].values[index]) {
            const double x = n > 1 ? 2 + 116.0 * static_cast<double>(i) / static_cast<double>(n - 1) : 60;
            points += Number(x, 1) + "," + Number(15 - 13 * *v / top, 1) + " ";
        }
    }
    return "<svg width=\"120\" height=\"30\"><title>±" + Number(top, 0) +
           "%</title><line x1=\"0\" x2=\"120\" y1=\"15\" y2=\"15\" stroke=\"#ccc\"/><polyline fill=\"none\" "
           "stroke=\"#c60\" stroke-width=\"1.5\" points=\"" +
           points + "\"/></svg>";
}

// A project with many findings would stretch its row over a screen: the first few are shown,
// the rest fold away until the teacher opens them.
constexpr std::size_t FindingsShown = 3;

std::string FindingsCell(const std::vector<Finding>& findings)
{
    std::string out = "<td class=\"f\" data-v=\"" + std::to_string(findings.size()) + "\">";
    if (!findings.empty()) {
        out += std::to_string(findings.size());
    }
    for (std::size_t i = 0; i < findings.size(); ++i) {
        if (i == FindingsShown) {
            out +=
                "<details><summary>ほか " + std::to_string(findings.size() - FindingsShown) + " 件</summary>";
        }
        out += (i == FindingsShown ? "" : "<br>") + Markup(findings[i].message);
    }
    if (findings.size() > FindingsShown) {
        out += "</details>";
    }
    return out + "</td>";
}

std::string ExerciseTable(const ClassReport& report)
{
    std::string out = "<table class=\"sortable\"><thead><tr><th>課題</th><th>人数</th>";
    for (const ClassMeasureInfo& info : ClassMeasureTable()) {
        out += "<th>" + Markup(info.caption) + " 中央値</th><th>四分位</th>";
    }
    out += "</tr></thead><tbody>";
    for (const ClassExercise& e : report.exercises) {
        out += "<tr><td>" + Html(e.project) + "</td><td class=\"n\" data-v=\"" + std::to_string(e.students) +
               "\">" + std::to_string(e.students) + "</td>";
        for (const ClassMeasureInfo& info : ClassMeasureTable()) {
            const auto& q = e.spread[static_cast<std::size_t>(info.measure)];
            out += Cell(q ? std::optional<double>(q->median) : std::nullopt, info.decimals);
            out += q ? "<td class=\"n\">" + Number(q->q1, info.decimals) + "–" +
                           Number(q->q3, info.decimals) + "</td>"
                     : "<td></td>";
        }
        out += "</tr>";
    }
    return out + "</tbody></table>";
}

std::string StudentTables(const ClassReport& report)
{
    std::string rows = "<table class=\"sortable\"><thead><tr><th>利用者</th><th>課題</th>" +
                       MeasureHeadings() + "<th>確認事項</th></tr></thead><tbody>";
    std::string toDate = "<table class=\"sortable\"><thead><tr><th>利用者</th><th>完了</th>" +
                         MeasureHeadings() +
                         "<th>時間見積り誤差の推移</th><th>確認事項</th></tr></thead><tbody>";
    for (const ClassStudent& s : report.students) {
        std::size_t findings = 0;
        for (const ClassProject& p : s.projects) {
            rows += "<tr><td>" + Html(s.user) + "</td><td>" + Html(p.project) + "</td>";
            for (const ClassMeasureInfo& info : ClassMeasureTable()) {
                rows += Cell(p.values[static_cast<std::size_t>(info.measure)], info.decimals);
            }
            rows += FindingsCell(p.findings) + "</tr>";
            findings += p.findings.size();
        }
        toDate += "<tr><td>" + Html(s.user) + "</td><td class=\"n\" data-v=\"" + std::to_string(s.finished) +
                  "\">" + std::to_string(s.finished) + "</td>";
        for (const ClassMeasureInfo& info : ClassMeasureTable()) {
            toDate += Cell(s.toDate[static_cast<std::size_t>(info.measure)], info.decimals);
        }
        toDate += "<td>" + Sparkline(s) + "</td><td class=\"n\" data-v=\"" + std::to_string(findings) +
                  "\">" + std::to_string(findings) + "</td></tr>";
    }
    return "<h2>学生ごとの累計</h2>" + toDate + "</tbody></table><h2>学生と課題ごと</h2>" + rows +
           "</tbody></table>";
}

std::string DefectSection(const ClassReport& report)
{
    std::int64_t total = 0;
    for (const DefectTypeRow& row : report.defectPareto) {
        total += row.count;
    }
    std::vector<std::pair<std::string, double>> bars;
    std::vector<double> cumulative;
    std::int64_t sum = 0;
    for (const DefectTypeRow& row : report.defectPareto) {
        bars.emplace_back(row.type ? Html(DefectTypeText(row.type)) : std::string("不明"), row.count);
        sum += row.count;
        cumulative.push_back(total > 0 ? 100.0 * static_cast<double>(sum) / static_cast<double>(total) : 0);
    }
    std::string out = "<h2>バグの種別 (パレート)</h2>" + Bars(bars, 0, " 件", cumulative);
    out += "<h2>混入工程と除去工程</h2><table "
           "class=\"sortable\"><thead><tr><th>混入</th><th>除去</th><th>件数</th></tr>"
           "</thead><tbody>";
    for (const DefectMatrixCell& cell : report.defects.matrix) {
        out += "<tr><td>" + (cell.injected ? Html(*cell.injected) : std::string("不明")) + "</td><td>" +
               Html(cell.removed) + "</td><td class=\"n\" data-v=\"" + std::to_string(cell.count) + "\">" +
               std::to_string(cell.count) + "</td></tr>";
    }
    return out + "</tbody></table>";
}

} // namespace

std::string ClassReportPage(const ClassReport& report, std::string_view title, std::string nonce)
{
    if (nonce.empty()) {
        nonce = NewNonce();
    }
    const std::string safeTitle = Markup(title);
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; script-src 'nonce-" +
        nonce + "'; style-src 'nonce-" + nonce +
        "'; img-src data:; base-uri 'none'; form-action 'none'\">"
        "<meta name=\"referrer\" content=\"no-referrer\"><title>クラスレポート " +
        safeTitle + "</title><style nonce=\"" + nonce + "\">" + Style + "</style></head><body>";
    page += "<h1>クラスレポート " + safeTitle + "</h1><p>" + std::to_string(report.students.size()) +
            " 人、" + std::to_string(report.projectsRead) +
            " プロジェクト。見出しをクリックすると並べ替えます。</p>";
    page += "<h2>課題ごとの分布</h2>" + ExerciseTable(report);
    page += BoxPlots(report, ClassMeasure::Minutes, "時間(分)") +
            BoxPlots(report, ClassMeasure::LocPerHour, "LOC/時間");
    std::vector<std::pair<std::string, double>> phases;
    for (const ClassPhaseShare& share : report.phaseShare) {
        phases.emplace_back(Html(share.phase), share.percent);
    }
    page += "<h2>工程ごとの時間の割合</h2>" + Bars(phases, 1, "%");
    page += StudentTables(report) + DefectSection(report);
    page += "<h2>読めなかったファイル</h2>";
    if (report.unreadable.empty()) {
        page += "<p>ありません。</p>";
    } else {
        page += "<table class=\"sortable\"><thead><tr><th>場所</th><th>理由</th></tr></thead><tbody>";
        for (const UnreadableProject& u : report.unreadable) {
            page += "<tr><td>" + Markup(u.path) + "</td><td>" + Markup(u.reason) + "</td></tr>";
        }
        page += "</tbody></table>";
    }
    page += "<script nonce=\"" + nonce + "\">" + SortScript + "</script></body></html>\n";
    return page;
}

} // namespace quilvane
