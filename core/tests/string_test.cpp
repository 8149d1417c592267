#include "utils/string.hpp"
#include "utils/stringbuilder.hpp"

#include <gtest/gtest.h>

#include <vector>

using namespace Vorn;

TEST(StringTest, SplitDropsEmptyPieces)
{
	struct Case
	{
		const char* Text;
		std::vector<const char*> Pieces;
	};
	const Case cases[] = {
		{"a,,bc,", {"a", "bc"}},
		{"", {}},
		{",,,", {}},
		{"one", {"one"}},
		{",x", {"x"}},
	};
	for (const Case& c : cases)
	{
		const Dynarray<String> pieces = String(c.Text).Split(',');
		ASSERT_EQ(pieces.GetSize(), c.Pieces.size()) << c.Text;
		for (u64 i = 0; i < pieces.GetSize(); ++i)
			EXPECT_EQ(pieces[i], c.Pieces[i]) << c.Text;
	}
}

TEST(StringTest, TextOperations)
{
	EXPECT_EQ(String("  \tpad\r\n").GetTrimmed(), "pad");
	EXPECT_EQ(String(" \n ").GetTrimmed(), "");
	EXPECT_EQ(String("a\\b\\c").Replace("\\", "/"), "a/b/c");
	EXPECT_EQ(String("aaa").Replace("aa", "b"), "ba");
	EXPECT_EQ(String("abc").Replace("", "x"), "abc");
	EXPECT_TRUE(String("Models/Drone.obj").Contains("Drone"));
	EXPECT_FALSE(String("Models").Contains("drone"));
	EXPECT_EQ(String("a") + "b" + String("c"), "abc");
	EXPECT_EQ(String::From(-42), "-42");
	EXPECT_TRUE(String::EMPTY.IsEmpty());
	EXPECT_TRUE(String("abc") < String("abd"));
	EXPECT_EQ(String(static_cast<const char*>(nullptr)), "");
}

TEST(StringBuilderTest, AppendsAndReusesItself)
{
	StringBuilder builder;
	builder.Append("x=").Append(i32{-3}).Append(' ').Append(u64{18446744073709551615ull}).Append(' ');
	builder.Append(1.5f, 2).Append(' ').Append("abcdef", 3);
	EXPECT_EQ(builder.GetString(), "x=-3 18446744073709551615 1.50 abc");

	const String stolen = builder.StealString();
	EXPECT_EQ(stolen, "x=-3 18446744073709551615 1.50 abc");
	EXPECT_EQ(builder.GetLength(), 0u);
	builder.Append("again");
	EXPECT_EQ(builder.GetString(), "again");
}
