#include "utils/enumutils.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Vorn;

namespace
{
	enum class eFruit
	{
		APPLE,
		PEAR,
		PLUM,
		_COUNT
	};

	enum class eFlag
	{
		A = 0x1,
		B = 0x2,
		C = 0x10,
	};
} // namespace

VORN_ENUM_NAMES(eFruit, "APPLE", "PEAR", "PLUM");

TEST(EnumArrayTest, HoldsOneElementPerValue)
{
	EnumArray<int, eFruit> counts{1, 2};
	counts[eFruit::PLUM] = 7;
	EXPECT_EQ(counts.GetSize(), 3u);
	EXPECT_EQ(counts[eFruit::APPLE], 1);
	EXPECT_EQ(counts[eFruit::PEAR], 2);
	EXPECT_EQ(counts[eFruit::PLUM], 7);
	int sum = 0;
	for (int count : counts)
		sum += count;
	EXPECT_EQ(sum, 10);
}

TEST(EnumArrayDeathTest, CountIsNotAValidIndex)
{
	EnumArray<int, eFruit> counts;
	EXPECT_DEATH(counts[eFruit::_COUNT], "Index out of bounds!");
}

TEST(EnumFlagsTest, SetOperations)
{
	const EnumFlags<eFlag> ab = EnumFlags<eFlag>(eFlag::A) | eFlag::B;
	EXPECT_EQ(ab.GetMask(), 0x3u);
	EXPECT_TRUE(ab.IsSet(eFlag::A));
	EXPECT_TRUE(ab.IsSet(ab));
	EXPECT_FALSE(ab.IsSet(EnumFlags<eFlag>(eFlag::A) | eFlag::C)) << "all-of test, not any-of";
	EXPECT_EQ((ab & eFlag::B).GetMask(), 0x2u);
	EXPECT_EQ(ab.Without(eFlag::A).GetMask(), 0x2u);

	EnumFlags<eFlag> running = EnumFlags<eFlag>::FromMask(0x2);
	running |= eFlag::C;
	EXPECT_EQ(running.GetMask(), 0x12u);
	running.Reset(eFlag::B);
	EXPECT_EQ(running, EnumFlags<eFlag>(eFlag::C));
	EXPECT_TRUE(EnumFlags<eFlag>().IsSet(EnumFlags<eFlag>())) << "the empty set is always contained";
}

TEST(EnumInfoTest, NamesAndValuesRoundTrip)
{
	const auto& info = Impl::EnumInfo<eFruit>::Get();
	EXPECT_EQ(info.GetEnumSize(), 3u);
	for (eFruit fruit : {eFruit::APPLE, eFruit::PEAR, eFruit::PLUM})
		EXPECT_EQ(GetEnumValue<eFruit>(GetEnumName(fruit)), fruit);
	EXPECT_STREQ(GetEnumName(eFruit::PEAR), "PEAR");
	EXPECT_EQ(&info, &Impl::EnumInfo<eFruit>::Get()) << "built once";
}

TEST(EnumInfoTest, UnknownNameThrowsOutOfRange)
{
	try
	{
		GetEnumValue<eFruit>("CHERRY");
		FAIL() << "expected std::out_of_range";
	}
	catch (const std::out_of_range& error)
	{
		EXPECT_STREQ(error.what(), "invalid map<K, T> key");
	}
}

TEST(EnumInfoDeathTest, NameOfValueOutsideTableStops)
{
	EXPECT_DEATH(GetEnumName(eFruit::_COUNT), "Index out of bounds!");
}
