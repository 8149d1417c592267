#include "collections/dynarray.hpp"

#include "testtypes.hpp"

#include <gtest/gtest.h>

#include <vector>

using namespace Vorn;

namespace
{
	std::vector<int> Values(const Dynarray<Tracked>& array)
	{
		std::vector<int> values;
		for (const Tracked& element : array)
			values.push_back(element.Value);
		return values;
	}

	class DynarrayTest : public ::testing::Test
	{
	protected:
		void TearDown() override { EXPECT_EQ(Tracked::Live, 0) << "elements leaked or destroyed twice"; }
	};
} // namespace

TEST_F(DynarrayTest, AppendingToFullArrayGrowsToTwiceCapacityPlusTwo)
{
	Dynarray<Tracked> array;
	std::vector<u64> capacities;
	for (int i = 0; i < 15; ++i)
	{
		array.PushBack(i);
		capacities.push_back(array.GetCapacity());
	}
	const std::vector<u64> expected = {2, 2, 6, 6, 6, 6, 14, 14, 14, 14, 14, 14, 14, 14, 30};
	EXPECT_EQ(capacities, expected);
	EXPECT_EQ(Values(array), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
}

TEST_F(DynarrayTest, AppendingAnElementOfTheArrayItselfSurvivesGrowth)
{
	Dynarray<Tracked> array{1, 2};
	ASSERT_EQ(array.GetSize(), array.GetCapacity());
	array.PushBack(array[0]);
	EXPECT_EQ(Values(array), std::vector<int>({1, 2, 1}));
}

TEST_F(DynarrayTest, InsertAndRemoveKeepOrder)
{
	struct Case
	{
		const char* Name;
		void (*Edit)(Dynarray<Tracked>&);
		std::vector<int> Expected;
	};
	const Case cases[] = {
		{"insert front", [](Dynarray<Tracked>& a) { a.Insert(0, 9); }, {9, 1, 2, 3}},
		{"insert middle", [](Dynarray<Tracked>& a) { a.Insert(1, 9); }, {1, 9, 2, 3}},
		{"insert at size appends", [](Dynarray<Tracked>& a) { a.Insert(3, 9); }, {1, 2, 3, 9}},
		{"remove first by index", [](Dynarray<Tracked>& a) { a.RemoveByIdx(0); }, {2, 3}},
		{"remove last by index", [](Dynarray<Tracked>& a) { a.RemoveByIdx(2); }, {1, 2}},
		{"remove by value", [](Dynarray<Tracked>& a) { a.Remove(Tracked(2)); }, {1, 3}},
		{"pop back", [](Dynarray<Tracked>& a) { a.PopBack(); }, {1, 2}},
	};
	for (const Case& c : cases)
	{
		Dynarray<Tracked> array{1, 2, 3};
		c.Edit(array);
		EXPECT_EQ(Values(array), c.Expected) << c.Name;
	}
}

TEST_F(DynarrayTest, CopiesAreIndependentAndMovesEmptyTheSource)
{
	Dynarray<Tracked> original{1, 2, 3};
	Dynarray<Tracked> copy = original;
	copy[0] = Tracked(7);
	EXPECT_EQ(Values(original), std::vector<int>({1, 2, 3}));

	Dynarray<Tracked> moved = std::move(original);
	EXPECT_EQ(Values(moved), std::vector<int>({1, 2, 3}));
	EXPECT_TRUE(original.IsEmpty());
	EXPECT_EQ(original.GetCapacity(), 0u);
}

TEST_F(DynarrayTest, ResizeConstructsAndDestroysElements)
{
	Dynarray<Tracked> array{1, 2, 3};
	array.Resize(5);
	EXPECT_EQ(Values(array), std::vector<int>({1, 2, 3, 0, 0}));
	array.Resize(1);
	EXPECT_EQ(Values(array), std::vector<int>({1}));
}

using DynarrayDeathTest = DynarrayTest;

TEST_F(DynarrayDeathTest, MisuseStopsWithItsMessage)
{
	Dynarray<int> array{1, 2};
	Dynarray<int> other{1, 2};
	EXPECT_DEATH(array[2], "Index out of bounds!");
	EXPECT_DEATH(array.Insert(3, 0), "Index out of bounds!");
	EXPECT_DEATH(array.Remove(5), "Index out of bounds!");
	EXPECT_DEATH(array.RemoveByIdx(2), "Index out of bounds!");
	EXPECT_DEATH(array.Reserve(1), "Invalid resize capacity!");
	EXPECT_DEATH((void)(array.begin() == other.begin()), "Not valid iterator pair");
}
