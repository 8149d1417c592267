#include "memory/iterablepoolallocator.hpp"

#include "testtypes.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <vector>

using namespace Vorn;

namespace
{
	template <typename T>
	std::vector<T*> IterationOrder(IterablePoolAllocator<T>& pool)
	{
		std::vector<T*> order;
		for (T& object : pool)
			order.push_back(&object);
		return order;
	}

	template <typename T>
	std::vector<T*> AddressOrder(const std::set<T*>& live)
	{
		return std::vector<T*>(live.begin(), live.end());
	}

	class IterablePoolAllocatorTest : public ::testing::Test
	{
	protected:
		static constexpr u64 Capacity = 5;

		void SetUp() override { Tracked::Live = 0; }

		std::vector<Tracked*> Fill(u64 count)
		{
			std::vector<Tracked*> objects;
			for (u64 i = 0; i < count; ++i)
				objects.push_back(Pool.New(static_cast<int>(i)));
			return objects;
		}

		IterablePoolAllocator<Tracked> Pool{Capacity};
	};

	TEST_F(IterablePoolAllocatorTest, FreshPoolIteratesNothing)
	{
		EXPECT_TRUE(Pool.begin() == Pool.end());
		EXPECT_EQ(Pool.GetSize(), 0u);
		EXPECT_EQ(Pool.GetCapacity(), Capacity);
	}

	TEST_F(IterablePoolAllocatorTest, FreedMiddleCellIsRefilledAndIteratedInPlace)
	{
		std::vector<Tracked*> objects = Fill(3);
		Pool.Delete(objects[1]);
		EXPECT_EQ(IterationOrder(Pool), (std::vector<Tracked*>{objects[0], objects[2]}));

		Tracked* again = Pool.New(7);

		EXPECT_EQ(again, objects[1]);
		EXPECT_EQ(IterationOrder(Pool), objects);
		std::vector<int> values;
		const IterablePoolAllocator<Tracked>& view = Pool;
		for (auto it = view.begin(); it != view.end(); ++it)
			values.push_back(it->Value);
		EXPECT_EQ(values, (std::vector<int>{0, 7, 2}));
	}

	struct FreeCase
	{
		const char* Name;
		std::vector<int> FreeOrder; // indices into a pool filled to capacity
	};

	class IterablePoolAllocatorFreeTest : public IterablePoolAllocatorTest,
	                                      public ::testing::WithParamInterface<FreeCase>
	{
	};

	// Frees go through the type-erased base, as the world returns component cells.
	TEST_P(IterablePoolAllocatorFreeTest, FreedCellsLeaveTheLiveListInPlace)
	{
		std::vector<Tracked*> objects = Fill(Capacity);
		std::set<Tracked*> live(objects.begin(), objects.end());
		IterablePoolAllocatorBase& base = Pool;
		for (int index : GetParam().FreeOrder)
		{
			objects[index]->~Tracked();
			base.Free(objects[index]);
			live.erase(objects[index]);
			EXPECT_EQ(IterationOrder(Pool), AddressOrder(live));
		}
		EXPECT_EQ(Pool.GetSize(), live.size());
		EXPECT_EQ(Pool.begin() == Pool.end(), live.empty());
	}

	TEST_P(IterablePoolAllocatorFreeTest, FreedCellsComeBackLastInFirstOutInAddressOrder)
	{
		std::vector<Tracked*> objects = Fill(Capacity);
		for (int index : GetParam().FreeOrder)
			Pool.Delete(objects[index]);

		for (auto it = GetParam().FreeOrder.rbegin(); it != GetParam().FreeOrder.rend(); ++it)
			EXPECT_EQ(Pool.New(*it), objects[*it]);

		EXPECT_EQ(IterationOrder(Pool), objects);
		EXPECT_DEATH(Pool.Alloc(), "Pool allocator is full!");
	}

	INSTANTIATE_TEST_SUITE_P(FreeOrders, IterablePoolAllocatorFreeTest,
	                         ::testing::Values(FreeCase{"Head", {0}}, FreeCase{"Tail", {4}}, FreeCase{"Middle", {2}},
	                                           FreeCase{"HeadThenTail", {0, 4}},
	                                           FreeCase{"AllFromHead", {0, 1, 2, 3, 4}},
	                                           FreeCase{"AllFromTail", {4, 3, 2, 1, 0}},
	                                           FreeCase{"Scrambled", {1, 3, 0, 4, 2}}),
	                         [](const ::testing::TestParamInfo<FreeCase>& info) { return info.param.Name; });

	TEST_F(IterablePoolAllocatorTest, EmptiedPoolIteratesOnlyItsNextObject)
	{
		std::vector<Tracked*> objects = Fill(3);
		for (Tracked* object : objects)
			Pool.Delete(object);
		EXPECT_TRUE(Pool.begin() == Pool.end());

		Tracked* object = Pool.New(9);
		EXPECT_EQ(IterationOrder(Pool), std::vector<Tracked*>{object});
	}

	TEST_F(IterablePoolAllocatorTest, RawAllocLeavesConstructionAndDestructionToTheCaller)
	{
		Tracked* memory = Pool.Alloc();
		EXPECT_EQ(Tracked::Live, 0);
		Tracked* object = new (memory) Tracked(5);
		EXPECT_EQ(Tracked::Live, 1);
		EXPECT_EQ(Pool.begin()->Value, 5);

		object->~Tracked();
		Pool.Free(object);
		EXPECT_EQ(Tracked::Live, 0);
		EXPECT_EQ(Pool.GetSize(), 0u);
	}

	TEST(IterablePoolAllocatorLifetimeTest, ZeroCellsStops)
	{
		EXPECT_DEATH(IterablePoolAllocator<int>(0), "Cell count cannot be lower than 1\\.");
	}

	struct Small
	{
		u8 Value;
	};
	struct alignas(16) Aligned16
	{
		u8 Value;
	};
	struct alignas(64) Aligned64
	{
		u8 Value;
	};

	template <typename T>
	class IterablePoolAllocatorLayoutTest : public ::testing::Test
	{
	};

	using LayoutTypes = ::testing::Types<Small, Aligned16, Aligned64>;
	TYPED_TEST_SUITE(IterablePoolAllocatorLayoutTest, LayoutTypes);

	// Random frees and refills reach every placement of a new cell in the live list (empty list,
	// below the head, above the last cell, beside a live neighbour, between distant cells).
	// Iteration must always match the live addresses sorted, and no object may be overwritten.
	TYPED_TEST(IterablePoolAllocatorLayoutTest, IterationFollowsAddressesWhateverTheAllocationOrder)
	{
		constexpr u64 capacity = 48;
		IterablePoolAllocator<TypeParam> pool(capacity);
		std::map<TypeParam*, u8> live;
		std::mt19937 random(1234);
		u8 nextValue = 0;

		for (double allocChance : {0.9, 0.3, 0.7, 0.1, 0.6, 0.5})
		{
			for (int step = 0; step < 400; ++step)
			{
				const bool alloc = std::bernoulli_distribution(allocChance)(random);
				if (alloc && live.size() < capacity)
				{
					TypeParam* object = new (pool.Alloc()) TypeParam{nextValue};
					ASSERT_EQ(reinterpret_cast<std::uintptr_t>(object) % alignof(TypeParam), 0u);
					ASSERT_TRUE(live.emplace(object, nextValue++).second);
				}
				else if (!alloc && !live.empty())
				{
					auto victim =
					    std::next(live.begin(), std::uniform_int_distribution<std::size_t>(0, live.size() - 1)(random));
					pool.Free(victim->first);
					live.erase(victim);
				}

				std::vector<TypeParam*> expected;
				for (const auto& [object, value] : live)
				{
					ASSERT_EQ(object->Value, value);
					expected.push_back(object);
				}
				ASSERT_EQ(IterationOrder(pool), expected);
				ASSERT_EQ(pool.GetSize(), live.size());
			}
		}
	}

	TYPED_TEST(IterablePoolAllocatorLayoutTest, DestroyingThroughTheBaseReleasesItsCells)
	{
		const u64 before = CustomAlocatedObject::GetLiveAllocationCount();
		IterablePoolAllocatorBase* pool = new IterablePoolAllocator<TypeParam>(32);
		delete pool;
		EXPECT_EQ(CustomAlocatedObject::GetLiveAllocationCount(), before);
	}
} // namespace
