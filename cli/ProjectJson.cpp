#include "cli/ProjectJson.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>

#include "platform/Cp932.h"
#include "project/DefectDetails.h"

namespace quilvane {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

std::string Text(const std::string& cp932)
{
    return Cp932ToUtf8Lossless(cp932);
}

// JSON has no NaN or infinity; those travel as strings, a NaN with its exact bits.
OrderedJson Number(double value)
{
    if (std::isfinite(value)) {
        return value;
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "NaN:%016llx",
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(value)));
    return buffer;
}

class Reader {
public:
    const std::string& Error() const { return error_; }

    const Json* Child(const Json& object, const char* key, const std::string& path)
    {
        if (!error_.empty() || !object.is_object()) {
            return nullptr;
        }
        auto it = object.find(key);
        if (it == object.end()) {
            return nullptr;
        }
        current_ = path.empty() ? key : path + "." + key;
        return &*it;
    }

    void Int(const Json& object, const char* key, std::int32_t& out, const std::string& path = "")
    {
        const Json* v = Child(object, key, path);
        if (v == nullptr) {
            return;
        }
        if (auto value = Int32Of(*v)) {
            out = *value;
        }
    }

    void Double(const Json& object, const char* key, double& out, const std::string& path = "")
    {
        const Json* v = Child(object, key, path);
        if (v == nullptr) {
            return;
        }
        if (v->is_number()) {
            // A number too large for a double reads as infinity; infinity is written as text,
            // so such a number is out of range, not a way to spell it.
            double value = v->get<double>();
            if (!std::isfinite(value)) {
                Fail("倍精度浮動小数点数の範囲を超えています");
                return;
            }
            out = value;
            return;
        }
        std::string s = v->is_string() ? v->get<std::string>() : std::string();
        if (s == "Infinity") {
            out = INFINITY;
        } else if (s == "-Infinity") {
            out = -INFINITY;
        } else if (s.rfind("NaN:", 0) == 0) {
            // Exactly the 16 hex digits of a NaN's bits: no sign, no "0x", no spaces, and bits
            // that are a NaN, not some tiny number.
            std::uint64_t bits = 0;
            bool digits = s.size() == 20;
            for (std::size_t i = 4; i < s.size() && digits; ++i) {
                char c = s[i];
                int d = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
                digits = d >= 0;
                bits = bits << 4 | static_cast<std::uint64_t>(d < 0 ? 0 : d);
            }
            double value = std::bit_cast<double>(bits);
            if (!digits || !std::isnan(value)) {
                Fail("NaN の表記が正しくありません (NaN: に続けて 16 桁の 16 進数で NaN のビットを書きます)");
                return;
            }
            out = value;
        } else {
            Fail("数値ではありません");
        }
    }

    void String(const Json& object, const char* key, std::string& out, const std::string& path = "")
    {
        const Json* v = Child(object, key, path);
        if (v == nullptr) {
            return;
        }
        if (!v->is_string()) {
            Fail("文字列ではありません");
            return;
        }
        auto converted = Utf8ToCp932Lossless(v->get<std::string>());
        if (!converted) {
            Fail("CP932 に変換できない文字があります");
            return;
        }
        out = std::move(*converted);
    }

    template <std::size_t N>
    void IntArray(const Json& object, const char* key, std::int32_t (&out)[N], const std::string& path)
    {
        const Json* v = Child(object, key, path);
        if (v == nullptr) {
            return;
        }
        if (!v->is_array() || v->size() != N) {
            Fail(std::to_string(N) + " 個の整数の配列ではありません");
            return;
        }
        const std::string here = current_;
        std::int32_t values[N] = {};
        for (std::size_t i = 0; i < N; ++i) {
            current_ = here + "[" + std::to_string(i) + "]";
            auto value = Int32Of((*v)[i]);
            if (!value) {
                return;
            }
            values[i] = *value;
        }
        current_ = here;
        std::copy(values, values + N, out);
    }

    const Json* Array(const Json& object, const char* key, const std::string& path = "")
    {
        const Json* v = Child(object, key, path);
        if (v != nullptr && !v->is_array()) {
            Fail("配列ではありません");
            return nullptr;
        }
        return v;
    }

    const Json* Object(const Json& object, const char* key)
    {
        const Json* v = Child(object, key, "");
        if (v != nullptr && !v->is_object()) {
            Fail("オブジェクトではありません");
            return nullptr;
        }
        return v;
    }

    // The value of an integer that fits in 32 bits; otherwise a failure naming the field. An
    // unsigned number beyond the signed 64-bit range must not wrap into a small negative one.
    std::optional<std::int32_t> Int32Of(const Json& v)
    {
        if (!v.is_number_integer()) {
            Fail("32 ビット整数ではありません");
            return std::nullopt;
        }
        if (v.is_number_unsigned() ? v.get<std::uint64_t>() > std::uint64_t{INT32_MAX}
                                   : v.get<std::int64_t>() < INT32_MIN || v.get<std::int64_t>() > INT32_MAX) {
            Fail("32 ビット整数の範囲 (-2147483648 から 2147483647) を超えています");
            return std::nullopt;
        }
        return v.is_number_unsigned() ? static_cast<std::int32_t>(v.get<std::uint64_t>())
                                      : static_cast<std::int32_t>(v.get<std::int64_t>());
    }

    void Fail(const std::string& what)
    {
        if (error_.empty()) {
            error_ = current_ + ": " + what;
        }
    }

    void At(const std::string& path) { current_ = path; }

    // Every key of `object` must be one of `known`: a misspelt key would otherwise leave its
    // field at the default without a word, and the file would not say what was meant.
    void OnlyKnown(const Json& object, std::initializer_list<const char*> known, const std::string& path)
    {
        if (!error_.empty() || !object.is_object()) {
            return;
        }
        for (const auto& item : object.items()) {
            const std::string& key = item.key();
            if (std::none_of(known.begin(), known.end(), [&key](const char* k) { return key == k; })) {
                current_ = path.empty() ? key : path + "." + key;
                Fail("不明なキーです");
                return;
            }
        }
    }

private:
    std::string current_;
    std::string error_;
};

const std::initializer_list<const char*> LogKeys = {"left",   "top",          "width",
                                                    "height", "columnWidths", "entries"};

// The frame both logs share: the window's place, the column widths and the entries, each
// entry an object read by `readEntry(entryJson, path)`, which returns false on an error.
template <typename Log, typename ReadEntry>
void ReadLog(Reader& r, const Json& j, Log& log, const std::string& name, ReadEntry readEntry)
{
    r.OnlyKnown(j, LogKeys, name);
    r.Int(j, "left", log.left, name);
    r.Int(j, "top", log.top, name);
    r.Int(j, "width", log.width, name);
    r.Int(j, "height", log.height, name);
    r.IntArray(j, "columnWidths", log.columnWidths, name);
    if (const Json* entries = r.Array(j, "entries", name)) {
        for (std::size_t i = 0; i < entries->size() && r.Error().empty(); ++i) {
            std::string path = name + ".entries[" + std::to_string(i) + "]";
            const Json& e = (*entries)[i];
            if (!e.is_object()) {
                r.At(path);
                r.Fail("オブジェクトではありません");
                return;
            }
            if (!readEntry(e, path)) {
                return;
            }
        }
    }
}

void ReadTimeLog(Reader& r, const Json& j, TimeLog& log)
{
    ReadLog(r, j, log, "timeLog", [&r, &log](const Json& e, const std::string& path) {
        r.OnlyKnown(e, {"phase", "start", "end"}, path);
        TimeLogEntry entry;
        std::int32_t start = 0;
        std::int32_t end = 0;
        r.String(e, "phase", entry.phase, path);
        r.Int(e, "start", start, path);
        r.Int(e, "end", end, path);
        entry.start = Moment(start);
        entry.end = Moment(end);
        log.entries.push_back(std::move(entry));
        return true;
    });
}

// The PSP details of a defect entry: each key may be missing or null (unknown).
void ReadDefectDetails(Reader& r, const Json& e, DefectDetails& details, const std::string& path)
{
    if (const Json* type = r.Child(e, "type", path); type != nullptr && !type->is_null()) {
        std::int32_t code = 0;
        r.Int(e, "type", code, path);
        if (r.Error().empty() && !DefectTypeLabel(code)) {
            r.Fail("欠陥種別は 10, 20, ..., 100 のいずれかです");
            return;
        }
        details.type = code;
    }
    if (const Json* injected = r.Child(e, "injected", path); injected != nullptr && !injected->is_null()) {
        std::string name;
        r.String(e, "injected", name, path);
        if (r.Error().empty() && name.find_first_of("\r\n") != std::string::npos) {
            r.Fail("工程名に改行は使えません");
            return;
        }
        details.injected = std::move(name);
    }
    if (const Json* fix = r.Child(e, "fixMinutes", path); fix != nullptr && !fix->is_null()) {
        std::int32_t minutes = 0;
        r.Int(e, "fixMinutes", minutes, path);
        if (r.Error().empty() && (minutes < 0 || minutes > MaxFixMinutes)) {
            r.Fail("修正時間は 0 から " + std::to_string(MaxFixMinutes) + " 分までです");
            return;
        }
        details.fixMinutes = minutes;
    }
}

void ReadDefectLog(Reader& r, const Json& j, DefectLog& log)
{
    ReadLog(r, j, log, "defectLog", [&r, &log](const Json& e, const std::string& path) {
        r.OnlyKnown(e, {"phase", "comment", "time", "type", "injected", "fixMinutes"}, path);
        DefectEntry entry;
        std::int32_t time = 0;
        r.String(e, "phase", entry.phase, path);
        DefectDetails details;
        r.String(e, "comment", details.comment, path);
        r.Int(e, "time", time, path);
        ReadDefectDetails(r, e, details, path);
        if (!r.Error().empty()) {
            return false;
        }
        entry.comment = ComposeDefectComment(details);
        // A name that ends in half a double-byte character would swallow the header's closing
        // bracket: refused rather than stored as a comment that reads back as something else.
        if (ParseDefectComment(entry.comment) != details) {
            r.At(path + ".injected");
            r.Fail("混入工程の名前をバグ記録に書けません");
            return false;
        }
        entry.time = Moment(time);
        log.entries.push_back(std::move(entry));
        return true;
    });
}

void ReadEstimate(Reader& r, const Json& j, PlanEstimate& e)
{
    const std::string p = "estimate";
    r.OnlyKnown(j,
                {"baseName", "newLocText", "rangeText", "baseLoc", "availablePercent", "reuseLoc",
                 "deleteLoc", "newLoc", "totalMinutes", "constant", "reuseCoef", "deleteCoef", "newCoef"},
                p);
    r.String(j, "baseName", e.baseName, p);
    r.String(j, "newLocText", e.newLocText, p);
    r.String(j, "rangeText", e.rangeText, p);
    r.Int(j, "baseLoc", e.baseLoc, p);
    r.Int(j, "availablePercent", e.availablePercent, p);
    r.Int(j, "reuseLoc", e.reuseLoc, p);
    r.Int(j, "deleteLoc", e.deleteLoc, p);
    r.Int(j, "newLoc", e.newLoc, p);
    r.Int(j, "totalMinutes", e.totalMinutes, p);
    r.Double(j, "constant", e.constant, p);
    r.Double(j, "reuseCoef", e.reuseCoef, p);
    r.Double(j, "deleteCoef", e.deleteCoef, p);
    r.Double(j, "newCoef", e.newCoef, p);
}

void ReadOverview(Reader& r, const Json& j, OverviewFields& o)
{
    r.OnlyKnown(j, {"windowRect", "userName", "registrationFolder", "spareText"}, "overview");
    std::int32_t rect[4] = {o.windowRect[0], o.windowRect[1], o.windowRect[2], o.windowRect[3]};
    r.IntArray(j, "windowRect", rect, "overview");
    for (int i = 0; i < 4; ++i) {
        o.windowRect[static_cast<std::size_t>(i)] = rect[i];
    }
    r.String(j, "userName", o.userName, "overview");
    r.String(j, "registrationFolder", o.registrationFolder, "overview");
    r.String(j, "spareText", o.spareText, "overview");
}

} // namespace

OrderedJson ProjectToJson(const ProjectRecord& p)
{
    OrderedJson j;
    j["projectName"] = Text(p.projectName);
    j["mode"] = Text(p.mode);
    j["memo"] = Text(p.memo);
    j["phases"] = OrderedJson::array();
    for (const auto& row : p.phases) {
        j["phases"].push_back(
            {{"name", Text(row.name)}, {"plan", row.plan}, {"actual", row.actual}, {"ratio", row.ratio}});
    }
    const auto& t = p.timeLog;
    OrderedJson timeLog = {{"left", t.left}, {"top", t.top}, {"width", t.width}, {"height", t.height}};
    timeLog["columnWidths"] = t.columnWidths;
    timeLog["entries"] = OrderedJson::array();
    for (const auto& e : t.entries) {
        timeLog["entries"].push_back(
            {{"phase", Text(e.phase)}, {"start", e.start.Seconds()}, {"end", e.end.Seconds()}});
    }
    j["timeLog"] = std::move(timeLog);
    const auto& d = p.defectLog;
    OrderedJson defectLog = {{"left", d.left}, {"top", d.top}, {"width", d.width}, {"height", d.height}};
    defectLog["columnWidths"] = d.columnWidths;
    defectLog["entries"] = OrderedJson::array();
    for (const auto& e : d.entries) {
        const DefectDetails details = DetailsOf(e);
        OrderedJson entry = {
            {"phase", Text(e.phase)}, {"comment", Text(details.comment)}, {"time", e.time.Seconds()}};
        entry["type"] = details.type ? OrderedJson(*details.type) : OrderedJson(nullptr);
        entry["injected"] = details.injected ? OrderedJson(Text(*details.injected)) : OrderedJson(nullptr);
        entry["fixMinutes"] = details.fixMinutes ? OrderedJson(*details.fixMinutes) : OrderedJson(nullptr);
        defectLog["entries"].push_back(std::move(entry));
    }
    j["defectLog"] = std::move(defectLog);
    const auto& e = p.estimate;
    j["estimate"] = {{"baseName", Text(e.baseName)},
                     {"newLocText", Text(e.newLocText)},
                     {"rangeText", Text(e.rangeText)},
                     {"baseLoc", e.baseLoc},
                     {"availablePercent", e.availablePercent},
                     {"reuseLoc", e.reuseLoc},
                     {"deleteLoc", e.deleteLoc},
                     {"newLoc", e.newLoc},
                     {"totalMinutes", e.totalMinutes},
                     {"constant", Number(e.constant)},
                     {"reuseCoef", Number(e.reuseCoef)},
                     {"deleteCoef", Number(e.deleteCoef)},
                     {"newCoef", Number(e.newCoef)}};
    const auto& r = p.result;
    j["result"] = {{"actualReuse", r.actualReuse},
                   {"actualDelete", r.actualDelete},
                   {"actualNew", r.actualNew},
                   {"actualMinutes", r.actualMinutes}};
    const auto& o = p.overview;
    j["overview"] = {{"windowRect", o.windowRect},
                     {"userName", Text(o.userName)},
                     {"registrationFolder", Text(o.registrationFolder)},
                     {"spareText", Text(o.spareText)}};
    return j;
}

Status ProjectFromJson(const Json& json, ProjectRecord& p)
{
    if (!json.is_object()) {
        return Status::Failure("JSON の最上位がオブジェクトではありません");
    }
    Reader r;
    r.OnlyKnown(
        json,
        {"projectName", "mode", "memo", "phases", "timeLog", "defectLog", "estimate", "result", "overview"},
        "");
    r.String(json, "projectName", p.projectName);
    r.String(json, "mode", p.mode);
    r.String(json, "memo", p.memo);
    if (const Json* phases = r.Array(json, "phases")) {
        for (std::size_t i = 0; i < phases->size() && r.Error().empty(); ++i) {
            std::string path = "phases[" + std::to_string(i) + "]";
            PhaseRecord row;
            if (!(*phases)[i].is_object()) {
                r.At(path);
                r.Fail("オブジェクトではありません");
                break;
            }
            r.OnlyKnown((*phases)[i], {"name", "plan", "actual", "ratio"}, path);
            r.String((*phases)[i], "name", row.name, path);
            r.Int((*phases)[i], "plan", row.plan, path);
            r.Int((*phases)[i], "actual", row.actual, path);
            r.Int((*phases)[i], "ratio", row.ratio, path);
            p.phases.push_back(std::move(row));
        }
    }
    if (const Json* t = r.Object(json, "timeLog")) {
        ReadTimeLog(r, *t, p.timeLog);
    }
    if (const Json* d = r.Object(json, "defectLog")) {
        ReadDefectLog(r, *d, p.defectLog);
    }
    if (const Json* e = r.Object(json, "estimate")) {
        ReadEstimate(r, *e, p.estimate);
    }
    if (const Json* res = r.Object(json, "result")) {
        // actualMinutes is what `show` prints; the file does not keep it (it is the phases' sum).
        r.OnlyKnown(*res, {"actualReuse", "actualDelete", "actualNew", "actualMinutes"}, "result");
        r.Int(*res, "actualReuse", p.result.actualReuse, "result");
        r.Int(*res, "actualDelete", p.result.actualDelete, "result");
        r.Int(*res, "actualNew", p.result.actualNew, "result");
    }
    if (const Json* o = r.Object(json, "overview")) {
        ReadOverview(r, *o, p.overview);
    }
    if (!r.Error().empty()) {
        return Status::Failure(r.Error());
    }
    return Status::Success();
}

} // namespace quilvane
