#include "memory/safeptr.hpp"
#include "utils/uniqueid.hpp"

#include <gtest/gtest.h>

#include <set>

using namespace Vorn;

namespace
{
	struct Node : public SafePtrRoot
	{
		int Value = 0;
	};
} // namespace

TEST(SafePtrTest, HandleOfDestroyedObjectIsNullEvenWhenMemoryIsReused)
{
	alignas(Node) unsigned char memory[sizeof(Node)];
	Node* first = new (memory) Node();
	const u64 handle = SafePtrRoot::RegisterPointer(first);
	EXPECT_EQ(SafePtrRoot::RegisterPointer(first), handle) << "one object, one handle";
	EXPECT_EQ(SafePtrRoot::GetPointer(handle), first);
	first->~Node();
	EXPECT_EQ(SafePtrRoot::GetPointer(handle), nullptr);

	// Same address, and it takes the freed registry slot: the old handle must still miss.
	Node* second = new (memory) Node();
	const u64 secondHandle = SafePtrRoot::RegisterPointer(second);
	EXPECT_NE(secondHandle, handle);
	EXPECT_EQ(SafePtrRoot::GetPointer(handle), nullptr);
	EXPECT_EQ(SafePtrRoot::GetPointer(secondHandle), second);
	second->~Node();
}

TEST(SafePtrTest, RegistryStaysBoundedByLiveObjects)
{
	const u64 capacityBefore = SafePtrRoot::GetRegistryCapacity();
	for (int i = 0; i < 10000; ++i)
	{
		Node node;
		SafePtr<Node> pointer(&node);
		ASSERT_EQ(pointer.Get(), &node);
	}
	EXPECT_LE(SafePtrRoot::GetRegistryCapacity(), capacityBefore + 1);
}

TEST(SafePtrTest, TypedHandleFollowsItsObject)
{
	SafePtr<Node> empty;
	EXPECT_EQ(empty.Get(), nullptr);
	EXPECT_EQ(SafePtrRoot::GetPointer(0), nullptr) << "0 is never a handle";
	EXPECT_EQ(SafePtrRoot::GetPointer(0xFFFF'FFFF'FFFF'FFFFull), nullptr) << "unknown slots resolve to null";

	SafePtr<Node> pointer;
	{
		Node node;
		node.Value = 3;
		pointer = SafePtr<Node>(&node);
		EXPECT_EQ(pointer->Value, 3);
		EXPECT_EQ(SafePtr<Node>(&node), pointer);
	}
	EXPECT_FALSE(pointer);
}

TEST(UniqueIDTest, GeneratedIdsAreDistinctAndNonEmpty)
{
	EXPECT_FALSE(UniqueID());
	std::set<u64> seen;
	for (int i = 0; i < 1000; ++i)
	{
		const UniqueID id = UniqueID::Generate();
		EXPECT_TRUE(id);
		EXPECT_TRUE(seen.insert(id.GetValue()).second);
	}
}
