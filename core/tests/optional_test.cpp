#include "utils/optional.hpp"

#include "testtypes.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

TEST(OptionalTest, HoldsTakesAndReleasesItsValue)
{
	{
		Optional<Tracked> empty;
		EXPECT_FALSE(empty.HasValue());

		Optional<Tracked> full(Tracked(5));
		ASSERT_TRUE(full.HasValue());
		EXPECT_EQ(full.Value().Value, 5);

		Optional<Tracked> copy = full;
		EXPECT_EQ(copy.Value().Value, 5);

		const Tracked taken = full.TakeValue();
		EXPECT_EQ(taken.Value, 5);
		EXPECT_FALSE(full.HasValue());
		EXPECT_EQ(Tracked::Live, 2); // `copy` and `taken`
	}
	EXPECT_EQ(Tracked::Live, 0);
}

TEST(OptionalDeathTest, EmptyOptionalStopsOnRead)
{
	Optional<int> empty;
	EXPECT_DEATH(empty.Value(), "Attempting to get a value from an empty optional");
	EXPECT_DEATH(empty.TakeValue(), "Attempting to take a value from an empty optional");
}
