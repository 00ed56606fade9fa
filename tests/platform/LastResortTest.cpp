#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "platform/LastResort.h"

using namespace quilvane;

namespace {

[[noreturn]] void Throw(int kind)
{
    if (kind == 0) {
        throw std::bad_alloc();
    }
    if (kind == 1) {
        throw std::runtime_error("broken");
    }
    throw 42;
}

// An exception cannot leave a noexcept function: the runtime calls terminate instead, as it does
// for one thrown through a Qt event handler.
void ThrowThroughNoexcept(int kind) noexcept
{
    Throw(kind);
}

} // namespace

TEST(LastResortDeathTest, AnEscapedExceptionIsReportedAndExitsWithOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        int kind;
        const char* line;
    } cases[] = {{0, "tool: .*メモリーが足りません"}, {1, "tool: .*broken"}, {2, "tool: .*原因不明"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EXIT(std::exit(RunWithLastResort("tool", [&]() -> int { Throw(c.kind); })),
                    ::testing::ExitedWithCode(1), c.line);
        EXPECT_EXIT(std::exit(RunWithLastResort("tool",
                                                [&] {
                                                    ThrowThroughNoexcept(c.kind);
                                                    return 0;
                                                })),
                    ::testing::ExitedWithCode(1), c.line);
    }
    EXPECT_EQ(RunWithLastResort("tool", [] { return 7; }), 7);
}
