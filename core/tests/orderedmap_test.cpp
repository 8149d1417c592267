#include "collections/orderedmap.hpp"

#include "testtypes.hpp"
#include "utils/string.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

using namespace Vorn;

// Tracked has no ordering of its own; the map only needs operator<.
static bool operator<(const Tracked& lhs, const Tracked& rhs) { return lhs.Value < rhs.Value; }

namespace
{
	using IntMap = OrderedMap<int, int>;
	using TrackedMap = OrderedMap<Tracked, Tracked>;

	// Keys of every node, level by level from the root, left to right.
	std::vector<std::vector<std::vector<int>>> Levels(const IntMap& map)
	{
		using Tree = IntMap::Tree;
		std::vector<std::vector<std::vector<int>>> levels;
		std::vector<const Tree::LeafNode*> current;
		if (map.GetRootNode())
			current.push_back(map.GetRootNode());
		for (u64 height = map.GetHeight(); !current.empty(); --height)
		{
			std::vector<std::vector<int>> level;
			std::vector<const Tree::LeafNode*> next;
			for (const Tree::LeafNode* node : current)
			{
				std::vector<int> keys;
				for (u64 i = 0; i < node->Len; ++i)
					keys.push_back(node->Keys[i]);
				level.push_back(keys);
				if (height > 0)
					for (u64 i = 0; i <= node->Len; ++i)
						next.push_back(static_cast<const Tree::BranchNode*>(node)->Edges[i]);
			}
			levels.push_back(level);
			current = next;
		}
		return levels;
	}

	template <typename K, typename V>
	struct TreeChecker
	{
		using Tree = typename OrderedMap<K, V>::Tree;
		using Pairs = std::vector<std::pair<const K*, const V*>>;

		// Walks the subtree in key order, appending its pairs; keys must lie strictly between the
		// bounds handed down from the ancestors.
		static ::testing::AssertionResult Check(const typename Tree::LeafNode* node, u64 height, bool isRoot,
		                                        const K* lower, const K* upper, Pairs& pairs)
		{
			const auto* branch = dynamic_cast<const typename Tree::BranchNode*>(node);
			if ((height > 0) != (branch != nullptr))
				return ::testing::AssertionFailure()
				       << "node kind does not match its height " << height << ": leaves are not all at one depth";
			if (node->Len > Tree::CAPACITY)
				return ::testing::AssertionFailure() << "node holds " << node->Len << " pairs";
			// Splits leave 6 and 4 pairs and nothing removes pairs, so only the root may hold fewer.
			if (!isRoot && node->Len < Tree::SPLIT_SLOT - 2)
				return ::testing::AssertionFailure() << "non-root node holds only " << node->Len << " pairs";

			for (u64 i = 0; i <= node->Len; ++i)
			{
				const K* below = i == 0 ? lower : &node->Keys[i - 1];
				const K* above = i == node->Len ? upper : &node->Keys[i];
				if (below && above && !(*below < *above))
					return ::testing::AssertionFailure() << "keys out of order at slot " << i;
				if (branch)
				{
					const typename Tree::LeafNode* child = branch->Edges[i];
					if (child->Parent != branch || child->ParentIndex != i)
						return ::testing::AssertionFailure() << "edge " << i << " has a wrong parent link";
					::testing::AssertionResult childResult = Check(child, height - 1, false, below, above, pairs);
					if (!childResult)
						return childResult;
				}
				if (i < node->Len)
					pairs.emplace_back(&node->Keys[i], &node->Values[i]);
			}
			return ::testing::AssertionSuccess();
		}

		static ::testing::AssertionResult CheckMap(const OrderedMap<K, V>& map, Pairs& pairs)
		{
			pairs.clear();
			const typename Tree::LeafNode* root = map.GetRootNode();
			if (!root)
				return map.GetLength() == 0 ? ::testing::AssertionSuccess()
				                            : ::testing::AssertionFailure() << "no root but a length";
			if (root->Parent)
				return ::testing::AssertionFailure() << "root has a parent";
			::testing::AssertionResult result = Check(root, map.GetHeight(), true, nullptr, nullptr, pairs);
			if (result && pairs.size() != map.GetLength())
				return ::testing::AssertionFailure()
				       << "tree holds " << pairs.size() << " pairs, length says " << map.GetLength();
			return result;
		}
	};

	// Structural invariants of the whole tree; fills `pairs` with its pairs in key order.
	template <typename K, typename V>
	::testing::AssertionResult TreeIsValid(const OrderedMap<K, V>& map, typename TreeChecker<K, V>::Pairs& pairs)
	{
		return TreeChecker<K, V>::CheckMap(map, pairs);
	}

	template <typename K, typename V>
	::testing::AssertionResult TreeIsValid(const OrderedMap<K, V>& map)
	{
		typename TreeChecker<K, V>::Pairs pairs;
		return TreeChecker<K, V>::CheckMap(map, pairs);
	}

	std::vector<int> Range(int first, int last, int step = 1)
	{
		std::vector<int> keys;
		for (int key = first; step > 0 ? key <= last : key >= last; key += step)
			keys.push_back(key);
		return keys;
	}

	std::vector<int> Concat(std::vector<int> lhs, const std::vector<int>& rhs)
	{
		lhs.insert(lhs.end(), rhs.begin(), rhs.end());
		return lhs;
	}

	void InsertAll(IntMap& map, const std::vector<int>& keys)
	{
		for (int key : keys)
			map.Insert(key, key * 10);
	}

	class OrderedMapTrackedTest : public ::testing::Test
	{
	protected:
		// Counted from the start of each test, so an earlier test's leak is not blamed here.
		void SetUp() override
		{
			LiveBefore = Tracked::Live;
			AllocationsBefore = CustomAlocatedObject::GetLiveAllocationCount();
		}
		void TearDown() override
		{
			EXPECT_EQ(Live(), 0) << "keys or values leaked or destroyed twice";
			EXPECT_EQ(CustomAlocatedObject::GetLiveAllocationCount(), AllocationsBefore) << "nodes leaked";
		}

		int Live() const { return Tracked::Live - LiveBefore; }

		int LiveBefore = 0;
		u64 AllocationsBefore = 0;
	};
} // namespace

TEST(OrderedMapTest, SplitsHappenAtSlotSixAndGrowTheRoot)
{
	struct Case
	{
		const char* Name;
		std::vector<int> Keys;
		u64 Height;
		// Expected keys of the top levels; deeper levels are left to the invariant check.
		std::vector<std::vector<std::vector<int>>> TopLevels;
	};
	const Case cases[] = {
	    {"eleven keys fill one leaf", Range(1, 11), 0, {{Range(1, 11)}}},
	    {"twelfth key splits the leaf", Range(1, 12), 1, {{{7}}, {Range(1, 6), Range(8, 12)}}},
	    {"split comes before a front insertion", Concat(Range(1, 11), {0}), 1, {{{7}}, {Range(0, 6), Range(8, 11)}}},
	    {"new pair at slot six stays left",
	     Concat(Range(0, 20, 2), {11}),
	     1,
	     {{{12}}, {{0, 2, 4, 6, 8, 10, 11}, Range(14, 20, 2)}}},
	    {"new pair at slot seven goes right",
	     Concat(Range(0, 20, 2), {13}),
	     1,
	     {{{12}}, {Range(0, 10, 2), {13, 14, 16, 18, 20}}}},
	    {"root branch splits with the pending pair on the right",
	     Range(1, 89),
	     2,
	     {{{49}}, {Range(7, 42, 7), Range(56, 84, 7)}}},
	    {"root branch splits with the pending pair on the left",
	     Range(200, 134, -1),
	     2,
	     {{{176}}, {Range(141, 171, 5), Range(181, 196, 5)}}},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.Name);
		IntMap map;
		InsertAll(map, c.Keys);
		EXPECT_TRUE(TreeIsValid(map));
		EXPECT_EQ(map.GetLength(), c.Keys.size());
		EXPECT_EQ(map.GetHeight(), c.Height);
		std::vector<std::vector<std::vector<int>>> levels = Levels(map);
		ASSERT_GE(levels.size(), c.TopLevels.size());
		levels.resize(c.TopLevels.size());
		EXPECT_EQ(levels, c.TopLevels);
	}
}

TEST(OrderedMapTest, InsertingExistingKeyReturnsOldValueAndKeepsLengthAndShape)
{
	IntMap map;
	InsertAll(map, Range(1, 12));
	const auto shapeBefore = Levels(map);

	for (int key : {1, 7, 12})
	{
		Optional<int> replaced = map.Insert(key, -key);
		ASSERT_TRUE(replaced.HasValue());
		EXPECT_EQ(replaced.Value(), key * 10);
		EXPECT_EQ(*map.Get(key), -key);
	}
	EXPECT_EQ(map.GetLength(), 12u);
	EXPECT_EQ(Levels(map), shapeBefore);
	EXPECT_FALSE(map.Insert(13, 130).HasValue());
	EXPECT_EQ(map.GetLength(), 13u);
}

TEST(OrderedMapTest, GetOfAbsentKeysReturnsNull)
{
	IntMap empty;
	const IntMap& constEmpty = empty;
	EXPECT_EQ(empty.Get(5), nullptr);
	EXPECT_EQ(constEmpty.Get(5), nullptr);

	IntMap map;
	InsertAll(map, Range(10, 400, 10));
	ASSERT_GT(map.GetHeight(), 0u);
	const IntMap& constMap = map;
	for (int key : {9, 401, 15, 75, 395})
	{
		SCOPED_TRACE(key);
		EXPECT_EQ(map.Get(key), nullptr);
		EXPECT_EQ(constMap.Get(key), nullptr);
	}
	ASSERT_NE(constMap.Get(70), nullptr);
	EXPECT_EQ(*constMap.Get(70), 700);
}

TEST(OrderedMapTest, EntryOfMissingKeyIsVacantAndInsertsThroughIt)
{
	IntMap map;
	IntMap::MapEntry first = map.Entry(5);
	ASSERT_TRUE(first.IsVacant());
	EXPECT_EQ(first.GetValue(), nullptr);
	int* stored = first.Insert(50);
	EXPECT_FALSE(first.IsVacant());
	EXPECT_EQ(first.GetValue(), stored);
	EXPECT_EQ(map.Get(5), stored);
	EXPECT_EQ(*stored, 50);
	EXPECT_EQ(map.GetLength(), 1u);
}

TEST(OrderedMapTest, InsertThroughVacantEntryOfFullLeafPointsAtTheValueAfterTheSplit)
{
	// The full leaf holds 0, 2, ..., 20; these keys belong at slots 0, 6, 7 and 11.
	for (int key : {-1, 11, 13, 21})
	{
		SCOPED_TRACE(key);
		IntMap map;
		InsertAll(map, Range(0, 20, 2));
		ASSERT_EQ(map.GetHeight(), 0u);

		IntMap::MapEntry entry = map.Entry(key);
		ASSERT_TRUE(entry.IsVacant());
		int* stored = entry.Insert(key * 100);
		EXPECT_EQ(map.GetHeight(), 1u);
		EXPECT_EQ(map.Get(key), stored);
		EXPECT_EQ(*stored, key * 100);
		EXPECT_EQ(entry.GetValue(), stored);
		EXPECT_TRUE(TreeIsValid(map));
	}
}

TEST(OrderedMapTest, OccupiedEntryGivesAccessToTheStoredValue)
{
	IntMap map;
	InsertAll(map, Range(1, 30));
	IntMap::MapEntry entry = map.Entry(17);
	ASSERT_FALSE(entry.IsVacant());
	ASSERT_NE(entry.GetValue(), nullptr);
	EXPECT_EQ(*entry.GetValue(), 170);
	*entry.GetValue() = 1;
	EXPECT_EQ(*map.Get(17), 1);
	EXPECT_EQ(map.GetLength(), 30u);
}

TEST(OrderedMapDeathTest, InsertingThroughOccupiedEntryIsFatal)
{
	IntMap map;
	map.Insert(1, 10);
	EXPECT_DEATH(map.Entry(1).Insert(20), "Cannot insert into already occupied map entry!");

	IntMap::MapEntry entry = map.Entry(2);
	entry.Insert(20);
	EXPECT_DEATH(entry.Insert(30), "Cannot insert into already occupied map entry!");
}

TEST(OrderedMapDeathTest, TreePrimitivesRejectCorruptingSteps)
{
	using Tree = IntMap::Tree;
	// A real tree of height 1: root {7}, left leaf 1-6 and a full right leaf 8-18.
	auto build = [](Tree::Root& root)
	{
		for (int key : Range(1, 18))
			Tree::InsertNew(Tree::Search(root, key).Position, int(key), int(key));
	};
	auto leafOf = [](Tree::Root& root, int key) { return Tree::Search(root, key).Position.Ref; };
	auto rootRef = [](Tree::Root& root) { return Tree::NodeRef{root.Height, root.Node, &root}; };

	EXPECT_DEATH(
	    {
		    Tree::Root root;
		    build(root);
		    leafOf(root, 1).Descend(0);
	    },
	    "Cannot Descend from a leaf node!");
	EXPECT_DEATH(
	    {
		    Tree::Root root;
		    build(root);
		    Tree::LeafInsertFit(leafOf(root, 18).Node, 0, 100, 100);
	    },
	    "No space left in the leaf!");
	EXPECT_DEATH(
	    {
		    Tree::Root root;
		    build(root);
		    Tree::BranchInsertFit(rootRef(root), 0, 100, 100, rootRef(root));
	    },
	    "Attempting to insert an edge node of incorrect height\\. Tree corrupted!");
	EXPECT_DEATH(
	    {
		    Tree::Root root;
		    build(root);
		    Tree::PushBack(rootRef(root), 100, 100, rootRef(root));
	    },
	    "Attempting to push an edge node of incorrect height!");
	EXPECT_DEATH(
	    {
		    Tree::Root root;
		    build(root);
		    // The root holds one pair: ten more fill it, the eleventh has no room.
		    for (int extra = 0; extra < 11; ++extra)
			    Tree::BranchInsertFit(rootRef(root), 0, -extra, 0, Tree::NodeRef{0, new Tree::LeafNode(), &root});
	    },
	    "No space left in the branch!");
}

TEST(OrderedMapTest, RandomInsertionsMatchStdMapAndKeepTreeValid)
{
	std::mt19937 random(1234);
	constexpr int KEY_COUNT = 100000;
	std::vector<int> keys(KEY_COUNT);
	std::iota(keys.begin(), keys.end(), 0);
	std::shuffle(keys.begin(), keys.end(), random);
	// Every fifth insertion repeats an earlier key to exercise replacement in every node kind.
	std::uniform_int_distribution<int> pickEarlier(0, KEY_COUNT - 1);

	IntMap map;
	std::map<int, int> oracle;
	for (int i = 0; i < KEY_COUNT; ++i)
	{
		const int key = i % 5 == 4 ? keys[pickEarlier(random) % i] : keys[i];
		const int value = static_cast<int>(random());
		const auto found = oracle.find(key);
		const Optional<int> replaced = map.Insert(key, value);
		ASSERT_EQ(replaced.HasValue(), found != oracle.end()) << "key " << key;
		if (found != oracle.end())
		{
			ASSERT_EQ(replaced.Value(), found->second);
		}
		oracle[key] = value;
	}

	ASSERT_EQ(map.GetLength(), oracle.size());
	TreeChecker<int, int>::Pairs pairs;
	ASSERT_TRUE(TreeIsValid(map, pairs));
	ASSERT_EQ(pairs.size(), oracle.size());
	auto expected = oracle.begin();
	for (const auto& [key, value] : pairs)
	{
		ASSERT_EQ(*key, expected->first);
		ASSERT_EQ(*value, expected->second);
		++expected;
	}
	for (const auto& [key, value] : oracle)
	{
		const int* found = map.Get(key);
		ASSERT_NE(found, nullptr) << "key " << key;
		ASSERT_EQ(*found, value) << "key " << key;
	}
	for (int key = -1; key <= KEY_COUNT; ++key)
	{
		if (oracle.count(key) == 0)
		{
			ASSERT_EQ(map.Get(key), nullptr) << "key " << key;
		}
	}
}

TEST_F(OrderedMapTrackedTest, ClearDestroysEveryKeyAndValueOnceAndLeavesOneEmptyLeaf)
{
	TrackedMap map;
	std::vector<int> keys = Range(0, 2999);
	std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
	for (int key : keys)
		map.Insert(Tracked(key), Tracked(key + 1));
	// Replacing hands the old value back and keeps one value per key.
	EXPECT_EQ(map.Insert(Tracked(5), Tracked(-5)).Value().Value, 6);
	ASSERT_GT(map.GetHeight(), 1u);
	ASSERT_TRUE(TreeIsValid(map));
	EXPECT_EQ(Live(), 2 * 3000);

	map.Clear();

	EXPECT_EQ(Live(), 0);
	EXPECT_EQ(map.GetLength(), 0u);
	EXPECT_TRUE(map.IsEmpty());
	EXPECT_EQ(map.GetHeight(), 0u);
	ASSERT_NE(map.GetRootNode(), nullptr);
	EXPECT_EQ(map.GetRootNode()->Len, 0u);
	EXPECT_EQ(CustomAlocatedObject::GetLiveAllocationCount(), AllocationsBefore + 1);

	map.Insert(Tracked(1), Tracked(2));
	EXPECT_EQ(map.Get(Tracked(1))->Value, 2);
}

TEST_F(OrderedMapTrackedTest, DestructorDestroysEveryKeyAndValueAndFreesEveryNode)
{
	struct Case
	{
		const char* Name;
		int KeyCount;
	};
	const Case cases[] = {{"never filled", 0}, {"single leaf", 7}, {"several levels", 1500}};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.Name);
		{
			TrackedMap map;
			for (int key = c.KeyCount - 1; key >= 0; --key)
				map.Entry(Tracked(key)).Insert(Tracked(key));
			EXPECT_EQ(Live(), 2 * c.KeyCount);
		}
		EXPECT_EQ(Live(), 0);
		EXPECT_EQ(CustomAlocatedObject::GetLiveAllocationCount(), AllocationsBefore);
	}
}

TEST_F(OrderedMapTrackedTest, MovingTransfersThePairsAndLeavesTheSourceEmpty)
{
	TrackedMap source;
	for (int key = 0; key < 40; ++key)
		source.Insert(Tracked(key), Tracked(key));

	TrackedMap moved(std::move(source));
	EXPECT_EQ(moved.GetLength(), 40u);
	EXPECT_EQ(source.GetLength(), 0u);
	EXPECT_EQ(source.Get(Tracked(3)), nullptr);
	EXPECT_EQ(moved.Get(Tracked(3))->Value, 3);

	TrackedMap target;
	target.Insert(Tracked(100), Tracked(100));
	target = std::move(moved);
	EXPECT_EQ(Live(), 2 * 40) << "the target's own pairs must be destroyed";
	EXPECT_EQ(target.Get(Tracked(100)), nullptr);
	EXPECT_EQ(target.Get(Tracked(39))->Value, 39);
	EXPECT_TRUE(TreeIsValid(target));

	source.Insert(Tracked(1), Tracked(1));
	EXPECT_EQ(source.GetLength(), 1u);
}

TEST(OrderedMapTest, StringKeysAreOrderedByTheirText)
{
	OrderedMap<String, int> map;
	const char* words[] = {"pear",  "apple", "fig",   "kiwi",  "plum",  "date",   "lime",
	                       "lemon", "mango", "grape", "melon", "peach", "cherry", "banana"};
	for (int i = 0; i < 14; ++i)
		map.Insert(words[i], i);
	EXPECT_EQ(map.GetHeight(), 1u);
	ASSERT_TRUE(TreeIsValid(map));
	EXPECT_EQ(*map.Get("fig"), 2);
	EXPECT_EQ(*map.Get("banana"), 13);
	EXPECT_EQ(map.Get("quince"), nullptr);
	// The first eleven words sorted put "lime" at slot 6, so the twelfth insertion sends it up.
	EXPECT_EQ(map.GetRootNode()->Keys[0], "lime");
}
