#include "utils/string.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

TEST(StringTest, SplitDropsEmptyPieces)
{
	const Dynarray<String> pieces = String("a,,bc,").Split(',');
	ASSERT_EQ(pieces.GetSize(), 2u);
	EXPECT_EQ(pieces[0], "a");
	EXPECT_EQ(pieces[1], "bc");
}
