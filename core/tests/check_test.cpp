// Release builds define NDEBUG; fatal checks must not depend on it.
#ifndef NDEBUG
#define NDEBUG
#endif

#include "utils/check.hpp"

#include <gtest/gtest.h>

TEST(FatalCheckDeathTest, FailedCheckPrintsItsExactMessageAndStops)
{
	EXPECT_DEATH(VORN_CHECK(1 + 1 == 3, "Arithmetic is broken!"), "Fatal check failed: Arithmetic is broken!\n");
	EXPECT_DEATH(VORN_FAIL("Unreachable"), "Unreachable");
}

TEST(FatalCheckTest, PassingCheckDoesNothing)
{
	int evaluations = 0;
	VORN_CHECK(++evaluations == 1, "never printed");
	EXPECT_EQ(evaluations, 1) << "the condition is evaluated exactly once";
}
