#include "memory/poolallocator.hpp"

#include "testtypes.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr u64 SmallCapacity = 4;

	class PoolAllocatorTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Tracked::Live = 0; }

		void Fill(u64 count, std::vector<Tracked*>& objects)
		{
			for (u64 i = 0; i < count; ++i)
				objects.push_back(Pool.New(static_cast<int>(i)));
		}

		PoolAllocator<Tracked> Pool{SmallCapacity};
	};

	TEST_F(PoolAllocatorTest, FreedMiddleBlockIsTakenByTheNextAllocation)
	{
		std::vector<Tracked*> objects;
		Fill(3, objects);
		Pool.Delete(objects[1]);

		Tracked* again = Pool.New(7);

		EXPECT_EQ(again, objects[1]);
		EXPECT_EQ(objects[0]->Value, 0);
		EXPECT_EQ(again->Value, 7);
		EXPECT_EQ(objects[2]->Value, 2);
		EXPECT_EQ(Pool.GetSize(), 3u);
	}

	struct LifoCase
	{
		const char* Name;
		std::vector<int> FreeOrder; // indices into a pool filled to capacity
	};

	class PoolAllocatorLifoTest : public PoolAllocatorTest, public ::testing::WithParamInterface<LifoCase>
	{
	};

	// Refilling a full pool also walks the free chain to its end, where the last block marks "no more".
	TEST_P(PoolAllocatorLifoTest, FreedBlocksComeBackLastInFirstOut)
	{
		std::vector<Tracked*> objects;
		Fill(SmallCapacity, objects);
		for (int index : GetParam().FreeOrder)
			Pool.Delete(objects[index]);

		for (auto it = GetParam().FreeOrder.rbegin(); it != GetParam().FreeOrder.rend(); ++it)
			EXPECT_EQ(Pool.Alloc(), objects[*it]);
		EXPECT_EQ(Pool.GetSize(), SmallCapacity);
		EXPECT_DEATH(Pool.Alloc(), "Pool allocator is full!");
	}

	INSTANTIATE_TEST_SUITE_P(FreeOrders, PoolAllocatorLifoTest,
	                         ::testing::Values(LifoCase{"Ascending", {0, 1, 2, 3}},
	                                           LifoCase{"Descending", {3, 2, 1, 0}},
	                                           LifoCase{"Scrambled", {2, 0, 3, 1}}, LifoCase{"Single", {3}},
	                                           LifoCase{"Pair", {1, 2}}),
	                         [](const ::testing::TestParamInfo<LifoCase>& info) { return info.param.Name; });

	// Blocks are prepared lazily, so the free chain runs from freed blocks into never-used ones.
	TEST(PoolAllocatorChainTest, FreshBlocksFollowReusedOnesWithoutOverlap)
	{
		PoolAllocator<Tracked> pool(8);
		std::vector<Tracked*> objects;
		for (int i = 0; i < 3; ++i)
			objects.push_back(pool.New(i));
		pool.Delete(objects[0]);
		pool.Delete(objects[2]);

		std::set<Tracked*> live{objects[1]};
		for (int i = 0; i < 7; ++i)
		{
			Tracked* object = pool.New(100 + i);
			EXPECT_TRUE(live.insert(object).second) << "block handed out twice at allocation " << i;
		}
		EXPECT_EQ(objects[1]->Value, 1);
		EXPECT_EQ(pool.GetSize(), 8u);
		EXPECT_DEATH(pool.Alloc(), "Pool allocator is full!");
		for (Tracked* object : live)
			pool.Delete(object);
	}

	TEST_F(PoolAllocatorTest, LiveObjectsSurviveFreesAndReuseAroundThem)
	{
		PoolAllocator<Tracked> pool(16);
		std::vector<Tracked*> objects;
		for (int i = 0; i < 16; ++i)
			objects.push_back(pool.New(i));
		for (int i = 0; i < 16; i += 2)
			pool.Delete(objects[i]);
		EXPECT_EQ(Tracked::Live, 8);
		for (int i = 0; i < 16; i += 2)
			objects[i] = pool.New(1000 + i);

		for (int i = 0; i < 16; ++i)
			EXPECT_EQ(objects[i]->Value, i % 2 == 0 ? 1000 + i : i);
		for (Tracked* object : objects)
			pool.Delete(object);
		EXPECT_EQ(Tracked::Live, 0);
		EXPECT_EQ(pool.GetSize(), 0u);
	}

	TEST_F(PoolAllocatorTest, RawAllocLeavesConstructionAndDestructionToTheCaller)
	{
		Tracked* memory = Pool.Alloc();
		EXPECT_EQ(Tracked::Live, 0);
		Tracked* object = new (memory) Tracked(5);
		EXPECT_EQ(Tracked::Live, 1);

		object->~Tracked();
		Pool.Free(object);
		EXPECT_EQ(Tracked::Live, 0);
		EXPECT_EQ(Pool.GetSize(), 0u);
		EXPECT_EQ(Pool.GetCapacity(), SmallCapacity);
	}

	TEST(PoolAllocatorLifetimeTest, ZeroCapacityStops)
	{
		EXPECT_DEATH(PoolAllocator<int>(0), "Cell count cannot be lower than 1\\.");
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
	class PoolAllocatorLayoutTest : public ::testing::Test
	{
	};

	using LayoutTypes = ::testing::Types<Small, Aligned16, Aligned64>;
	TYPED_TEST_SUITE(PoolAllocatorLayoutTest, LayoutTypes);

	// Blocks smaller than the free-list index, or over-aligned, must still be distinct, aligned and
	// keep their contents while their neighbours are freed and reused.
	TYPED_TEST(PoolAllocatorLayoutTest, BlocksAreAlignedAndIndependent)
	{
		constexpr u64 capacity = 9;
		PoolAllocator<TypeParam> pool(capacity);
		std::vector<TypeParam*> objects;
		for (u64 i = 0; i < capacity; ++i)
		{
			TypeParam* object = new (pool.Alloc()) TypeParam{static_cast<u8>(i)};
			EXPECT_EQ(reinterpret_cast<std::uintptr_t>(object) % alignof(TypeParam), 0u);
			objects.push_back(object);
		}
		for (u64 i = 0; i < capacity; i += 3)
			pool.Free(objects[i]);
		for (u64 i = 0; i < capacity; i += 3)
			objects[i] = new (pool.Alloc()) TypeParam{static_cast<u8>(200 + i)};

		EXPECT_EQ(std::set<TypeParam*>(objects.begin(), objects.end()).size(), capacity);
		for (u64 i = 0; i < capacity; ++i)
			EXPECT_EQ(objects[i]->Value, i % 3 == 0 ? 200 + i : i);
	}

	TYPED_TEST(PoolAllocatorLayoutTest, DestroyingThePoolReleasesItsBlockArray)
	{
		const u64 before = CustomAlocatedObject::GetLiveAllocationCount();
		auto* pool = new PoolAllocator<TypeParam>(32);
		pool->Alloc();
		delete pool;
		EXPECT_EQ(CustomAlocatedObject::GetLiveAllocationCount(), before);
	}
} // namespace
