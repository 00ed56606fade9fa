#include <gtest/gtest.h>

#include "platform/DecimalText.h"

using namespace quilvane;

TEST(DecimalText, ReadsLikeAtoiAndSaturates)
{
    EXPECT_EQ(AtoiLike("  42abc"), 42);
    EXPECT_EQ(AtoiLike("\t-17"), -17);
    EXPECT_EQ(AtoiLike("+8"), 8);
    EXPECT_EQ(AtoiLike("abc"), 0);
    EXPECT_EQ(AtoiLike(""), 0);
    EXPECT_EQ(AtoiLike("99999999999999"), INT32_MAX);
    EXPECT_EQ(AtoiLike("-99999999999999"), INT32_MIN);
}
