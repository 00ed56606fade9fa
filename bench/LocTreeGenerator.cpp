#include "bench/LocTreeGenerator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <set>
#include <vector>

namespace quilvane::bench {
namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::string>;

// Joins text pieces by appending, which keeps GCC 12 from a false -Wrestrict warning on chains
// of operator+ with literals.
template <class... Parts> std::string Cat(const Parts&... parts)
{
    std::string text;
    ((text += parts), ...);
    return text;
}

// C# code in the shape students write it: classes with fields, methods, loops, comments and
// string literals, with the usual share of repeated lines (braces, blank lines).
Lines MakeCs(std::mt19937& rng, std::size_t target, std::size_t fileNo)
{
    std::uniform_int_distribution<int> pick(0, 9);
    Lines l{"using System;", "using System.Collections.Generic;", "",
            Cat("namespace Exercise", std::to_string(fileNo)), "{"};
    std::size_t cls = 0;
    while (l.size() < target) {
        l.push_back(Cat("    /// <summary>Class ", std::to_string(cls), " of the exercise.</summary>"));
        l.push_back(
            Cat("    public class C", std::to_string(fileNo), "_", std::to_string(cls), " : IComparable"));
        l.push_back("    {");
        for (int m = 0; m < 6 && l.size() < target; ++m) {
            std::string v = Cat("v", std::to_string(cls), "_", std::to_string(m));
            l.push_back(Cat("        private int ", v, " = ", std::to_string(pick(rng)), ";"));
            l.push_back(Cat("        public int Method", std::to_string(m), "(int n, string s)"));
            l.push_back("        {");
            l.push_back(Cat("            // accumulate the ", std::to_string(pick(rng)), " values"));
            l.push_back("            for (int i = 0; i < n; i++) {");
            l.push_back(Cat("                ", v, " += i * ", std::to_string(pick(rng) + 1), ";"));
            l.push_back(Cat("                if (s == \"stop;", std::to_string(m), "\") break;"));
            l.push_back("            }");
            l.push_back(Cat("            switch (n) { case 1: return ", v, "; default: break; }"));
            l.push_back(Cat("            /* result ", std::to_string(pick(rng)), " */"));
            l.push_back(Cat("            return ", v, " > 0 ? ", v, " : -", v, ";"));
            l.push_back("        }");
            l.push_back("");
        }
        l.push_back("    }");
        ++cls;
    }
    l.push_back("}");
    return l;
}

Lines MakeVb(std::mt19937& rng, std::size_t target, std::size_t fileNo)
{
    std::uniform_int_distribution<int> pick(0, 9);
    Lines l{"Imports System", "", Cat("Module Module", std::to_string(fileNo))};
    std::size_t sub = 0;
    while (l.size() < target) {
        std::string v = Cat("total", std::to_string(sub));
        l.push_back(Cat("    ' Computes part ", std::to_string(sub)));
        l.push_back(Cat("    Function Part", std::to_string(sub), "(ByVal n As Integer) As Integer"));
        l.push_back(Cat("        Dim ", v, " As Integer = ", std::to_string(pick(rng))));
        l.push_back("        For i As Integer = 0 To n");
        l.push_back(Cat("            ", v, " += i * ", std::to_string(pick(rng) + 1)));
        l.push_back("        Next");
        l.push_back(Cat("        Return ", v));
        l.push_back("    End Function");
        l.push_back("");
        ++sub;
    }
    l.push_back("End Module");
    return l;
}

// A later version of a file: some lines changed, deleted, inserted and moved.
Lines Edit(std::mt19937& rng, const Lines& base, const LocTreeOptions& o)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    Lines out;
    Lines moved;
    for (const auto& line : base) {
        double r = u(rng);
        if (r < o.deletedShare) {
            continue;
        }
        r -= o.deletedShare;
        if (r < o.movedShare) {
            moved.push_back(line);
            continue;
        }
        r -= o.movedShare;
        out.push_back(r < o.changedShare ? line + " // changed" : line);
        if (u(rng) < o.insertedShare) {
            out.push_back(Cat("            Console.WriteLine(\"added ", std::to_string(out.size()), "\");"));
        }
    }
    std::uniform_int_distribution<std::size_t> where(0, out.size());
    for (const auto& line : moved) {
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(where(rng)), line);
    }
    return out;
}

Status WriteLines(const fs::path& path, const Lines& lines)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary);
    for (const auto& line : lines) {
        out << line << "\r\n";
    }
    out.close();
    if (!out) {
        return Status::Failure(path.string() + " に書き込めません");
    }
    return Status::Success();
}

// A file written the same into both trees, the current one with the base one's modification time.
Status WriteUntouched(const fs::path& base, const fs::path& current, const std::string& name,
                      const Lines& lines)
{
    if (Status s = WriteLines(base / name, lines); !s) {
        return s;
    }
    if (Status s = WriteLines(current / name, lines); !s) {
        return s;
    }
    std::error_code ec;
    fs::last_write_time(current / name, fs::last_write_time(base / name), ec);
    return Status::Success();
}

// Shortens generated code to exactly `target` lines, still closed by its last line. The makers
// stop only at the end of a block, which would raise the mean size of small files noticeably.
void Fit(Lines& lines, std::size_t target, const char* closing)
{
    if (lines.size() > target && target > 0) {
        lines.resize(target);
        lines.back() = closing;
    }
}

// An edit that really changes the file: on a file of a dozen lines the line shares often hit
// nothing, and a "changed" file equal to its base would make the share of changed files a lie.
Lines Changed(std::mt19937& rng, const Lines& base, const LocTreeOptions& o)
{
    Lines out = Edit(rng, base, o);
    if (out == base) {
        out[out.size() / 2] += " // changed";
    }
    return out;
}

// Folder and file names as a student's repository has them: English code words, with a few
// Japanese folder and file names (UTF-8 on disk) among them.
constexpr std::array<const char*, 24> FolderWords = {
    "Models",     "Views",     "Controllers", "Services", "Data",       "Helpers", "Forms",    "Common",
    "Internal",   "Feature",   "Sub",         "Utils",    "Reports",    "Dialogs", "Entities", "Handlers",
    "Extensions", "Resources", "Core",        "Impl",     "Migrations", "画面",    "共通",     "帳票"};
constexpr std::array<const char*, 15> Nouns = {"Order",  "Customer", "Invoice", "Score",   "Student",
                                               "Report", "Lesson",   "Task",    "Phase",   "Defect",
                                               "Timer",  "Project",  "Record",  "Setting", "Account"};
constexpr std::array<const char*, 11> Roles = {
    "Service", "Form", "Model", "Helper", "Repository", "View", "Controller", "Test", "Util", "Manager", ""};

// File sizes in lines from a log-normal distribution, clamped, then scaled so that their mean is
// the one asked for: with a tail this long a sample of a few thousand misses the mean by several
// per cent, and the benchmark's cost per line would then depend on the seed.
std::vector<std::size_t> DrawSizes(std::mt19937& rng, std::size_t count, const RealTreeOptions& o)
{
    double spread = std::max(o.sizeSpread, 0.0);
    double mean = std::max(o.meanLines, 1.0);
    std::lognormal_distribution<double> size(std::log(mean) - spread * spread / 2, spread);
    auto minLines = static_cast<double>(std::max<std::size_t>(o.minLines, 1));
    auto maxLines = std::max(static_cast<double>(o.maxLines), minLines);
    std::vector<double> drawn(count);
    for (double& d : drawn) {
        d = size(rng);
    }
    std::vector<std::size_t> sizes(count);
    double scale = 1.0;
    // The clamp moves the mean again, so a few rounds bring it close.
    for (int round = 0; round < 4 && count > 0; ++round) {
        double sum = 0;
        for (std::size_t i = 0; i < count; ++i) {
            sizes[i] = static_cast<std::size_t>(std::clamp(std::round(drawn[i] * scale), minLines, maxLines));
            sum += static_cast<double>(sizes[i]);
        }
        scale *= mean / (sum / static_cast<double>(count));
    }
    return sizes;
}

struct Folder {
    std::string path; // relative to the tree's root, '/' between names
    std::size_t depth;
};

// A few top folders, projects below them each with a Properties folder, and further folders
// below those at depths drawn so that the shallow ones are the most common, down to `maxDepth`.
std::vector<Folder> MakeFolders(std::mt19937& rng, std::size_t count, std::size_t maxDepth)
{
    maxDepth = std::max<std::size_t>(maxDepth, 3);
    std::vector<Folder> folders;
    std::vector<std::vector<std::size_t>> byDepth(maxDepth + 1);
    std::set<std::string> taken;
    // A Properties folder holds the assembly information and nothing below it.
    auto add = [&](const std::string& path, std::size_t depth, bool parent = true) {
        taken.insert(path);
        if (parent) {
            byDepth[depth].push_back(folders.size());
        }
        folders.push_back({path, depth});
    };
    add("src", 1);
    add("tests", 1);
    add("tools", 1);
    std::size_t projects = std::max<std::size_t>(count / 30, 1);
    for (std::size_t p = 0; p < projects; ++p) {
        std::string project = p % 10 < 7   ? Cat("src/Module", std::to_string(p))
                              : p % 10 < 9 ? Cat("tests/Module", std::to_string(p), ".Tests")
                                           : Cat("tools/Tool", std::to_string(p));
        add(project, 2);
        add(project + "/Properties", 3, false);
    }
    std::vector<double> depthWeights;
    for (std::size_t d = 3; d <= maxDepth; ++d) {
        depthWeights.push_back(std::pow(0.75, static_cast<double>(d - 3)));
    }
    std::discrete_distribution<std::size_t> pickDepth(depthWeights.begin(), depthWeights.end());
    std::uniform_int_distribution<std::size_t> pickWord(0, FolderWords.size() - 1);
    while (folders.size() < count) {
        std::size_t depth = 3 + pickDepth(rng);
        while (byDepth[depth - 1].empty()) {
            --depth;
        }
        const auto& parents = byDepth[depth - 1];
        std::uniform_int_distribution<std::size_t> pickParent(0, parents.size() - 1);
        std::string path = Cat(folders[parents[pickParent(rng)]].path, "/", FolderWords[pickWord(rng)]);
        std::string unique = path;
        for (int n = 2; taken.count(unique) != 0; ++n) {
            unique = Cat(path, std::to_string(n));
        }
        add(unique, depth);
    }
    return folders;
}

Lines MakeXml(std::size_t entries, const std::string& what)
{
    Lines l{"<?xml version=\"1.0\" encoding=\"utf-8\"?>", Cat("<", what, ">")};
    for (std::size_t i = 0; i < entries; ++i) {
        l.push_back(Cat("  <data name=\"Item", std::to_string(i), "\" xml:space=\"preserve\">"));
        l.push_back(Cat("    <value>Value ", std::to_string(i), "</value>"));
        l.push_back("  </data>");
    }
    l.push_back(Cat("</", what, ">"));
    return l;
}

Lines MakeProject(const std::string& project, bool vb)
{
    Lines l{"<?xml version=\"1.0\" encoding=\"utf-8\"?>",
            "<Project ToolsVersion=\"15.0\" xmlns=\"http://schemas.microsoft.com/developer/msbuild/2003\">",
            "  <PropertyGroup>",
            Cat("    <RootNamespace>", project, "</RootNamespace>"),
            "    <TargetFrameworkVersion>v4.7.2</TargetFrameworkVersion>",
            "  </PropertyGroup>",
            "  <ItemGroup>"};
    for (int i = 0; i < 12; ++i) {
        l.push_back(Cat("    <Compile Include=\"File", std::to_string(i), vb ? ".vb" : ".cs", "\" />"));
    }
    l.push_back("  </ItemGroup>");
    l.push_back("</Project>");
    return l;
}

Lines MakeConfig()
{
    return {"<?xml version=\"1.0\" encoding=\"utf-8\"?>",
            "<configuration>",
            "  <startup>",
            "    <supportedRuntime version=\"v4.0\" sku=\".NETFramework,Version=v4.7.2\" />",
            "  </startup>",
            "</configuration>"};
}

Lines MakeText(std::size_t n)
{
    return {"課題のメモ", Cat("Exercise ", std::to_string(n)), "", "Build with Visual Studio."};
}

// Counts the folders below `root` and the depth of the deepest one.
void MeasureFolders(const fs::path& root, RealTreeStats& stats)
{
    std::error_code ec;
    stats.folders = 0;
    stats.maxDepth = 0;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec)) {
            ++stats.folders;
            stats.maxDepth = std::max<std::size_t>(stats.maxDepth, static_cast<std::size_t>(it.depth()) + 1);
        }
    }
}

} // namespace

Status GenerateLocTrees(const std::string& root, const LocTreeOptions& o, std::size_t& baseLines)
{
    std::mt19937 rng(o.seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::uniform_int_distribution<std::size_t> size(o.linesPerFile / 2, o.linesPerFile * 3 / 2);
    fs::path base = fs::path(root) / "Base";
    fs::path current = fs::path(root) / "Current";
    std::error_code ec;
    fs::remove_all(base, ec);
    fs::remove_all(current, ec);
    baseLines = 0;
    for (std::size_t f = 0; f < o.files; ++f) {
        bool vb = u(rng) < o.vbShare;
        std::string name = Cat("f", std::to_string(f % std::max<std::size_t>(o.folders, 1)), "/File",
                               std::to_string(f), vb ? ".vb" : ".cs");
        Lines lines = vb ? MakeVb(rng, size(rng), f) : MakeCs(rng, size(rng), f);
        baseLines += lines.size();
        if (Status s = WriteLines(base / name, lines); !s) {
            return s;
        }
        double kind = u(rng);
        if (kind < o.touchedFiles) {
            lines = Edit(rng, lines, o);
        }
        if (Status s = WriteLines(current / name, lines); !s) {
            return s;
        }
        if (kind >= o.touchedFiles + o.copiedFiles) {
            // Untouched and not copied: the same modification time as the base file.
            fs::last_write_time(current / name, fs::last_write_time(base / name), ec);
        }
    }
    return Status::Success();
}

Status GenerateRealTrees(const std::string& root, const RealTreeOptions& o, RealTreeStats& stats)
{
    std::mt19937 rng(o.seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::uniform_int_distribution<std::size_t> pickNoun(0, Nouns.size() - 1);
    std::uniform_int_distribution<std::size_t> pickRole(0, Roles.size() - 1);

    fs::path base = fs::path(root) / "Base";
    fs::path current = fs::path(root) / "Current";
    std::error_code ec;
    fs::remove_all(base, ec);
    fs::remove_all(current, ec);
    stats = RealTreeStats{};

    auto folderCount = static_cast<std::size_t>(
        std::llround(static_cast<double>(o.files) / std::max(o.filesPerFolder, 1.0)));
    std::vector<Folder> folders = MakeFolders(rng, std::max<std::size_t>(folderCount, 1), o.maxDepth);

    // Every folder gets one file first, so that it exists; the rest go by heavy-tailed weights,
    // which leaves most folders with one or two files and a few with dozens.
    std::vector<std::size_t> order(folders.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::shuffle(order.begin(), order.end(), rng);
    std::vector<double> weights(folders.size());
    for (double& w : weights) {
        w = std::min(1.0 / std::pow(1.0 - u(rng), 1.0 / 1.2), 200.0);
    }
    std::discrete_distribution<std::size_t> pickFolder(weights.begin(), weights.end());
    auto sourceName = [&](std::size_t f, bool vb, bool designer) {
        if (designer) {
            return Cat(Nouns[pickNoun(rng)], "Form", std::to_string(f), ".Designer.cs");
        }
        return Cat(Nouns[pickNoun(rng)], Roles[pickRole(rng)], std::to_string(f), vb ? ".vb" : ".cs");
    };
    auto added = static_cast<std::size_t>(std::llround(static_cast<double>(o.files) * o.addedFiles));
    std::vector<std::size_t> sizes = DrawSizes(rng, o.files + added, o);
    auto makeSource = [&](std::size_t f, bool vb) {
        std::size_t target = sizes[f];
        Lines lines = vb ? MakeVb(rng, target, f) : MakeCs(rng, target, f);
        Fit(lines, target, vb ? "End Module" : "}");
        return lines;
    };

    for (std::size_t f = 0; f < o.files; ++f) {
        const Folder& folder = folders[f < order.size() ? order[f] : pickFolder(rng)];
        bool vb = u(rng) < o.vbShare;
        bool designer = !vb && u(rng) < o.designerShare;
        std::string name = Cat(folder.path, "/", sourceName(f, vb, designer));
        Lines lines = makeSource(f, vb);
        ++stats.baseFiles;
        stats.vbFiles += vb ? 1 : 0;
        stats.baseLines += lines.size();
        stats.largestFile = std::max(stats.largestFile, lines.size());
        if (designer) {
            std::string resx = name.substr(0, name.size() - std::string(".Designer.cs").size()) + ".resx";
            if (Status s = WriteUntouched(base, current, resx, MakeXml(10 + f % 30, "root")); !s) {
                return s;
            }
            ++stats.otherFiles;
        }
        double kind = u(rng);
        if (kind < o.removedFiles) {
            ++stats.removedFiles;
            if (Status s = WriteLines(base / name, lines); !s) {
                return s;
            }
            continue;
        }
        ++stats.currentFiles;
        if (kind < o.removedFiles + o.changedFiles) {
            ++stats.changedFiles;
            if (Status s = WriteLines(base / name, lines); !s) {
                return s;
            }
            if (Status s = WriteLines(current / name, Changed(rng, lines, o.lineEdits)); !s) {
                return s;
            }
            continue;
        }
        if (Status s = WriteUntouched(base, current, name, lines); !s) {
            return s;
        }
    }

    for (std::size_t a = 0; a < added; ++a) {
        std::size_t f = o.files + a;
        bool vb = u(rng) < o.vbShare;
        std::string name = Cat(folders[pickFolder(rng)].path, "/", sourceName(f, vb, false));
        if (Status s = WriteLines(current / name, makeSource(f, vb)); !s) {
            return s;
        }
        ++stats.addedFiles;
        ++stats.currentFiles;
    }

    // The files the counter must pass over: solution and project files, configuration, notes.
    std::vector<std::pair<std::string, Lines>> others{
        {"Exercises.sln", {"Microsoft Visual Studio Solution File, Format Version 12.00"}},
        {".gitignore", {"bin/", "obj/", "*.user"}},
        {"README.txt", MakeText(0)}};
    for (const Folder& folder : folders) {
        if (folder.depth == 2) {
            bool vb = u(rng) < o.vbShare;
            std::string project = folder.path.substr(folder.path.rfind('/') + 1);
            others.emplace_back(Cat(folder.path, "/", project, vb ? ".vbproj" : ".csproj"),
                                MakeProject(project, vb));
            if (u(rng) < 0.5) {
                others.emplace_back(Cat(folder.path, "/App.config"), MakeConfig());
            }
        } else if (folder.depth > 2 && u(rng) < 0.03) {
            others.emplace_back(Cat(folder.path, u(rng) < 0.5 ? "/メモ.txt" : "/notes.txt"),
                                MakeText(others.size()));
        }
    }
    for (const auto& [name, lines] : others) {
        if (Status s = WriteUntouched(base, current, name, lines); !s) {
            return s;
        }
        ++stats.otherFiles;
    }
    MeasureFolders(base, stats);
    return Status::Success();
}

Status GenerateLocFilePair(const std::string& root, std::size_t lines, std::size_t changeEvery)
{
    if (changeEvery == 0) {
        return Status::Failure("変更の間隔は 1 以上にしてください");
    }
    std::mt19937 rng(42);
    Lines base = MakeCs(rng, lines, 0);
    base.resize(lines);
    Lines current = base;
    for (std::size_t i = changeEvery - 1; i < current.size(); i += changeEvery) {
        current[i] += " // changed";
    }
    if (Status s = WriteLines(fs::path(root) / "Base" / "Big.cs", base); !s) {
        return s;
    }
    return WriteLines(fs::path(root) / "Current" / "Big.cs", current);
}

} // namespace quilvane::bench
