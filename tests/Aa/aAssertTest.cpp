#include "aAssert.h"

#include <gtest/gtest.h>

TEST(aAssertDeathTest, StopsWithFileLineAndExpression)
{
    int ok = 0;
    EXPECT_DEATH(A_ASSERT(ok), "ASSERTION FAILED: ok \\[ aAssertTest\\.cpp @ [0-9]+ \\]");
    A_ASSERT(ok == 0); // holds: must not stop
}
