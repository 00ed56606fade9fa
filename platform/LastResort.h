#pragma once
// The last resort of each program's main. Readers, writers and commands report their failures
// themselves; an exception that still gets out (a bug, or memory running out in some corner) is
// reported in one line and ends the program with exit code 1, not with "terminate called" and
// an abort that looks like a crash and leaves a core file.
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace quilvane {

inline const char*& LastResortProgramName()
{
    static const char* name = "quilvane";
    return name;
}

// Writes the line for the exception being handled, if any.
inline void ReportUnexpectedException() noexcept
{
    const char* what = "原因不明";
    try {
        if (std::exception_ptr e = std::current_exception()) {
            std::rethrow_exception(e);
        }
    } catch (const std::bad_alloc&) {
        what = "メモリーが足りません";
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "%s: 予期しないエラーのため終了します: %s\n", LastResortProgramName(), what);
    std::fflush(stderr);
}

[[noreturn]] inline void TerminateWithReport() noexcept
{
    ReportUnexpectedException();
    std::_Exit(1);
}

// Runs `body` as the whole of main. An exception that leaves it, or reaches a place where it
// cannot be caught (a noexcept function, a Qt event handler), ends the program with exit code 1.
template <typename Body> int RunWithLastResort(const char* program, Body&& body) noexcept
{
    LastResortProgramName() = program;
    std::set_terminate(TerminateWithReport);
    try {
        return body();
    } catch (...) {
        ReportUnexpectedException();
        return 1;
    }
}

} // namespace quilvane
