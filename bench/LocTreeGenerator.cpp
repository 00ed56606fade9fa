#include "bench/LocTreeGenerator.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
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
