#include "collections/unsafestorage.hpp"

#include "testtypes.hpp"
#include "utils/string.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr u64 SLOTS = 8;

	class UnsafeStorageTest : public ::testing::Test
	{
	protected:
		// Counted from the start of each test, so an earlier test's leak is not blamed here.
		void SetUp() override { LiveBefore = Tracked::Live; }
		void TearDown() override { EXPECT_EQ(Live(), 0) << "values leaked or destroyed twice"; }
		int Live() const { return Tracked::Live - LiveBefore; }

		int LiveBefore = 0;
	};

	template <typename T>
	std::vector<T> Read(const UnsafeStorage<T, SLOTS>& storage, u64 low, u64 high)
	{
		std::vector<T> values;
		for (u64 i = low; i < high; ++i)
			values.push_back(storage[i]);
		return values;
	}
} // namespace

TEST_F(UnsafeStorageTest, ConstructedSlotsReadBackAndDestructFirstDestroysExactlyThatMany)
{
	UnsafeStorage<Tracked, SLOTS> storage;
	for (u64 i = 0; i < 5; ++i)
		storage.Construct(i, static_cast<int>(i * 10));
	EXPECT_EQ(Live(), 5);
	EXPECT_EQ(storage[3].Value, 30);

	storage[3].Value = 31;
	EXPECT_EQ(storage[3].Value, 31);

	storage.Destruct(4);
	EXPECT_EQ(Live(), 4);
	storage.DestructFirst(3);
	EXPECT_EQ(Live(), 1);
	storage.Destruct(3);
}

TEST_F(UnsafeStorageTest, TakeMovesTheValueOutAndEndsTheSlot)
{
	UnsafeStorage<Tracked, SLOTS> storage;
	storage.Construct(2, 7);
	const Tracked taken = storage.Take(2);
	EXPECT_EQ(taken.Value, 7);
	EXPECT_EQ(Live(), 1);
}

// Trivially copyable values take the block-copy path, others are moved one by one.
TEST_F(UnsafeStorageTest, ShiftRightMovesRangeUpOneSlotForPlainAndNonTrivialValues)
{
	UnsafeStorage<int, SLOTS> ints;
	UnsafeStorage<String, SLOTS> strings;
	const char* names[] = {"a", "b", "c", "d", "e"};
	for (u64 i = 0; i < 5; ++i)
	{
		ints.Construct(i, static_cast<int>(i));
		strings.Construct(i, names[i]);
	}

	ints.ShiftRight(1, 5);
	strings.ShiftRight(1, 5);
	ints.Construct(1, 99);
	strings.Construct(1, "z");

	EXPECT_EQ(Read(ints, 0, 6), std::vector<int>({0, 99, 1, 2, 3, 4}));
	EXPECT_EQ(Read(strings, 0, 6), std::vector<String>({"a", "z", "b", "c", "d", "e"}));
	strings.DestructFirst(6);
}

TEST_F(UnsafeStorageTest, ShiftRightIntoTheLastSlotKeepsEveryValue)
{
	UnsafeStorage<Tracked, SLOTS> storage;
	for (u64 i = 0; i < SLOTS - 1; ++i)
		storage.Construct(i, static_cast<int>(i));
	storage.ShiftRight(0, SLOTS - 1);
	storage.Construct(0, 100);
	EXPECT_EQ(Live(), static_cast<int>(SLOTS));
	EXPECT_EQ(storage[SLOTS - 1].Value, static_cast<int>(SLOTS - 2));
	EXPECT_EQ(storage[1].Value, 0);
	storage.DestructFirst(SLOTS);
}

TEST_F(UnsafeStorageTest, MoveRangeToPlacesValuesAtTargetOffsetAndEndsSourceSlots)
{
	UnsafeStorage<Tracked, SLOTS> source;
	UnsafeStorage<Tracked, SLOTS> target;
	for (u64 i = 0; i < SLOTS; ++i)
		source.Construct(i, static_cast<int>(i));

	source.MoveRangeTo(5, SLOTS, target, 2);

	EXPECT_EQ(Live(), static_cast<int>(SLOTS));
	EXPECT_EQ(target[2].Value, 5);
	EXPECT_EQ(target[3].Value, 6);
	EXPECT_EQ(target[4].Value, 7);
	source.DestructFirst(5);
	for (u64 i = 2; i < 5; ++i)
		target.Destruct(i);
}

TEST(UnsafeStorageDeathTest, IndicesAndRangesOutsideTheStorageAreFatal)
{
	struct Case
	{
		const char* Name;
		std::function<void(UnsafeStorage<int, SLOTS>&, UnsafeStorage<int, SLOTS>&)> Run;
		const char* Message;
	};
	const u64 emptyLength = 0;
	const Case cases[] = {
	    {"read past the end", [](auto& s, auto&) { (void)s[SLOTS]; }, "Index out of bounds"},
	    {"construct past the end", [](auto& s, auto&) { s.Construct(SLOTS, 1); }, "Index out of bounds"},
	    {"destruct past the end", [](auto& s, auto&) { s.Destruct(SLOTS); }, "Index out of bounds"},
	    {"take past the end", [](auto& s, auto&) { (void)s.Take(SLOTS); }, "Index out of bounds"},
	    {"reversed range", [](auto& s, auto&) { s.ShiftRight(3, 2); }, "Lower bound is greater than the higher bound"},
	    {"wrapped-around range", [=](auto& s, auto&) { s.ShiftRight(emptyLength - 1, emptyLength - 1); },
	     "Lower bound is greater than maximum\\. Possible negative integer overflow\\."},
	    {"shift out of the last slot", [](auto& s, auto&) { s.ShiftRight(0, SLOTS); },
	     "Higher bound is greater than maximum"},
	    {"move past the source end", [](auto& s, auto& t) { s.MoveRangeTo(0, SLOTS + 1, t, 0); },
	     "Higher bound is greater than maximum"},
	    {"move past the target end", [](auto& s, auto& t) { s.MoveRangeTo(0, 3, t, SLOTS - 2); },
	     "Higher bound is greater than maximum"},
	    {"destruct more than the slots", [](auto& s, auto&) { s.DestructFirst(SLOTS + 1); },
	     "Attempting to destruct more values than the storage can possibly hold"},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.Name);
		UnsafeStorage<int, SLOTS> storage;
		UnsafeStorage<int, SLOTS> target;
		EXPECT_DEATH(c.Run(storage, target), c.Message);
	}
}
