#include "collections/queue.hpp"

#include "testtypes.hpp"

#include <gtest/gtest.h>

#include <vector>

using namespace Vorn;

namespace
{
	std::vector<int> Drain(Queue<Tracked>& queue)
	{
		std::vector<int> values;
		while (!queue.IsEmpty())
		{
			values.push_back(queue.Front().Value);
			queue.PopFront();
		}
		return values;
	}
} // namespace

TEST(QueueTest, PushIntoFullQueueGrowsToTwiceCapacityPlusTwo)
{
	Queue<Tracked> queue;
	std::vector<u64> capacities;
	for (int i = 0; i < 7; ++i)
	{
		queue.PushBack(i);
		capacities.push_back(queue.GetCapacity());
	}
	EXPECT_EQ(capacities, std::vector<u64>({2, 2, 6, 6, 6, 6, 14}));
	EXPECT_EQ(Drain(queue), std::vector<int>({0, 1, 2, 3, 4, 5, 6}));
	EXPECT_EQ(Tracked::Live, 0);
}

// Fill, pop some, push more so the tail wraps behind the head, then overflow:
// regrowth must lay the elements out in queue order, not slot order.
TEST(QueueTest, RegrowthAfterWrapAroundKeepsQueueOrder)
{
	Queue<Tracked> queue(6);
	for (int i = 0; i < 6; ++i)
		queue.PushBack(i);
	queue.PopFront();
	queue.PopFront();
	queue.PopFront();
	queue.PushBack(6);
	queue.PushBack(7);
	queue.PushBack(8); // tail wrapped to slot 3, queue is full again
	ASSERT_EQ(queue.GetCapacity(), 6u);
	queue.PushBack(9); // regrows
	EXPECT_EQ(queue.GetCapacity(), 14u);
	EXPECT_EQ(queue[0].Value, 3);
	EXPECT_EQ(Drain(queue), std::vector<int>({3, 4, 5, 6, 7, 8, 9}));
	EXPECT_EQ(Tracked::Live, 0);
}

TEST(QueueTest, DestructionReleasesWrappedElements)
{
	{
		Queue<Tracked> queue(2);
		queue.PushBack(1);
		queue.PushBack(2);
		queue.PopFront();
		queue.PushBack(3);
		EXPECT_EQ(Tracked::Live, 2);
	}
	EXPECT_EQ(Tracked::Live, 0);
}

TEST(QueueDeathTest, MisuseStopsWithItsMessage)
{
	Queue<int> queue(4);
	EXPECT_DEATH(queue.Front(), "Trying to access empty queue!");
	EXPECT_DEATH(queue.PopFront(), "Trying to access empty queue!");
	queue.PushBack(1);
	queue.PushBack(2);
	EXPECT_DEATH(queue.Reserve(3), "Capacity too small!");
	EXPECT_DEATH(queue.Reserve(1), "Invalid resize capacity!");
}
