#pragma once

#include "collections/unsafestorage.hpp"
#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/check.hpp"

#include <utility>

namespace Vorn::Impl
{
	// Node layout and the search and insertion steps of the B-tree behind OrderedMap.
	// Keys are ordered by operator< alone; two keys are equal when neither is less.
	template <typename K, typename V, u64 B>
	struct BTree
	{
		static_assert(B >= 2, "A B-tree node needs room for at least three pairs");

		static constexpr u64 CAPACITY = 2 * B - 1;
		static constexpr u64 EDGE_CAPACITY = 2 * B;
		// A full node keeps pairs below this slot, sends this slot's pair up and moves the rest right.
		static constexpr u64 SPLIT_SLOT = B;

		struct BranchNode;

		struct LeafNode : public BaseObject
		{
			UnsafeStorage<K, CAPACITY> Keys;
			UnsafeStorage<V, CAPACITY> Values;
			BranchNode* Parent = nullptr;
			u16 ParentIndex = 0;
			u16 Len = 0;
		};

		// Edge i leads to the keys below key i; edge Len to the keys above the last one.
		struct BranchNode : public LeafNode
		{
			UnsafeStorage<LeafNode*, EDGE_CAPACITY> Edges;
		};

		// What the map owns. An empty map may have no root at all.
		struct Root
		{
			LeafNode* Node = nullptr;
			u64 Height = 0;
			u64 Length = 0;
		};

		// A node together with its height (0 for leaves) and the tree it belongs to.
		struct NodeRef
		{
			u64 Height = 0;
			LeafNode* Node = nullptr;
			Root* Map = nullptr;

			bool IsLeaf() const { return Height == 0; }
			BranchNode* AsBranch() const { return static_cast<BranchNode*>(Node); }

			NodeRef Descend(u64 edgeIndex) const
			{
				VORN_CHECK(Height > 0, "Cannot Descend from a leaf node!");
				return NodeRef{Height - 1, AsBranch()->Edges[edgeIndex], Map};
			}

			NodeRef Ascend() const { return NodeRef{Height + 1, Node->Parent, Map}; }
		};

		// A slot of a node: a pair when it holds one, otherwise the place where a pair belongs.
		struct Handle
		{
			NodeRef Ref;
			u64 Index = 0;

			V& GetValue() const { return Ref.Node->Values[Index]; }
		};

		struct SearchResult
		{
			Handle Position;
			bool IsFound = false;
		};

		// Finds the key, or the leaf slot where it belongs. Without a root the position has no node.
		static SearchResult Search(Root& map, const K& key)
		{
			NodeRef ref{map.Height, map.Node, &map};
			if (!ref.Node)
				return SearchResult{Handle{ref, 0}, false};
			for (;;)
			{
				// Stop at the first key that is not less than the searched one.
				const LeafNode* node = ref.Node;
				const u64 len = node->Len;
				u64 index = 0;
				while (index < len)
				{
					const K& slotKey = node->Keys[index];
					if (!(slotKey < key))
					{
						if (!(key < slotKey))
							return SearchResult{Handle{ref, index}, true};
						break;
					}
					++index;
				}
				if (ref.IsLeaf())
					return SearchResult{Handle{ref, index}, false};
				ref = ref.Descend(index);
			}
		}

		// Stores a pair at `index` of a leaf that has room, shifting later pairs right.
		static void LeafInsertFit(LeafNode* leaf, u64 index, K&& key, V&& value)
		{
			VORN_CHECK(leaf->Len < CAPACITY, "No space left in the leaf!");
			leaf->Keys.ShiftRight(index, leaf->Len);
			leaf->Values.ShiftRight(index, leaf->Len);
			leaf->Keys.Construct(index, std::move(key));
			leaf->Values.Construct(index, std::move(value));
			++leaf->Len;
		}

		// Stores a pair at `index` of a branch that has room and the node holding the keys
		// just above it at edge index + 1; shifted children learn their new edge index.
		static void BranchInsertFit(NodeRef branch, u64 index, K&& key, V&& value, NodeRef edge)
		{
			VORN_CHECK(edge.Height + 1 == branch.Height,
			           "Attempting to insert an edge node of incorrect height. Tree corrupted!");
			BranchNode* node = branch.AsBranch();
			VORN_CHECK(node->Len < CAPACITY, "No space left in the branch!");
			node->Keys.ShiftRight(index, node->Len);
			node->Values.ShiftRight(index, node->Len);
			node->Edges.ShiftRight(index + 1, node->Len + 1);
			node->Keys.Construct(index, std::move(key));
			node->Values.Construct(index, std::move(value));
			node->Edges.Construct(index + 1, edge.Node);
			++node->Len;
			AdoptEdges(node, index + 1, node->Len + 1);
		}

		// Appends a pair and the edge after it to a branch with room.
		static void PushBack(NodeRef branch, K&& key, V&& value, NodeRef edge)
		{
			VORN_CHECK(edge.Height + 1 == branch.Height, "Attempting to push an edge node of incorrect height!");
			BranchNode* node = branch.AsBranch();
			VORN_CHECK(node->Len < CAPACITY, "No space left in the branch!");
			const u64 index = node->Len;
			node->Keys.Construct(index, std::move(key));
			node->Values.Construct(index, std::move(value));
			node->Edges.Construct(index + 1, edge.Node);
			++node->Len;
			AdoptEdges(node, index + 1, index + 2);
		}

		struct SplitResult
		{
			K MiddleKey;
			V MiddleValue;
			NodeRef Right;
		};

		// Splits a full node at SPLIT_SLOT: the node keeps the lower pairs, a new node of the
		// same height takes the upper pairs (and the edges above the middle), and the middle
		// pair is handed back to go up.
		static SplitResult Split(NodeRef ref)
		{
			LeafNode* left = ref.Node;
			LeafNode* right = ref.IsLeaf() ? new LeafNode() : new BranchNode();
			const u64 rightLen = left->Len - SPLIT_SLOT - 1;
			left->Keys.MoveRangeTo(SPLIT_SLOT + 1, left->Len, right->Keys, 0);
			left->Values.MoveRangeTo(SPLIT_SLOT + 1, left->Len, right->Values, 0);
			if (!ref.IsLeaf())
			{
				BranchNode* rightBranch = static_cast<BranchNode*>(right);
				ref.AsBranch()->Edges.MoveRangeTo(SPLIT_SLOT + 1, left->Len + 1, rightBranch->Edges, 0);
				AdoptEdges(rightBranch, 0, rightLen + 1);
			}
			right->Len = static_cast<u16>(rightLen);
			left->Len = static_cast<u16>(SPLIT_SLOT);
			return SplitResult{left->Keys.Take(SPLIT_SLOT), left->Values.Take(SPLIT_SLOT),
			                   NodeRef{ref.Height, right, ref.Map}};
		}

		// Inserts a key known to be absent at the leaf position found by Search, splitting full
		// nodes on the way up and growing the root when it splits. Returns where the pair landed.
		static Handle InsertNew(Handle position, K&& key, V&& value)
		{
			Root& map = *position.Ref.Map;
			if (!map.Node)
			{
				map.Node = new LeafNode();
				map.Height = 0;
				position = Handle{NodeRef{0, map.Node, &map}, 0};
			}
			++map.Length;

			NodeRef leaf = position.Ref;
			if (leaf.Node->Len < CAPACITY)
			{
				LeafInsertFit(leaf.Node, position.Index, std::move(key), std::move(value));
				return position;
			}

			// The split comes first, whatever the insertion slot; the pair then joins one half.
			SplitResult split = Split(leaf);
			Handle inserted;
			if (position.Index <= SPLIT_SLOT)
				inserted = Handle{leaf, position.Index};
			else
				inserted = Handle{split.Right, position.Index - (SPLIT_SLOT + 1)};
			LeafInsertFit(inserted.Ref.Node, inserted.Index, std::move(key), std::move(value));

			NodeRef left = leaf;
			for (;;)
			{
				if (!left.Node->Parent)
				{
					GrowRoot(map);
					PushBack(NodeRef{map.Height, map.Node, &map}, std::move(split.MiddleKey),
					         std::move(split.MiddleValue), split.Right);
					return inserted;
				}

				const u64 parentIndex = left.Node->ParentIndex;
				NodeRef parent = left.Ascend();
				if (parent.Node->Len < CAPACITY)
				{
					BranchInsertFit(parent, parentIndex, std::move(split.MiddleKey), std::move(split.MiddleValue),
					                split.Right);
					return inserted;
				}

				SplitResult parentSplit = Split(parent);
				if (parentIndex <= SPLIT_SLOT)
					BranchInsertFit(parent, parentIndex, std::move(split.MiddleKey), std::move(split.MiddleValue),
					                split.Right);
				else
					BranchInsertFit(parentSplit.Right, parentIndex - (SPLIT_SLOT + 1), std::move(split.MiddleKey),
					                std::move(split.MiddleValue), split.Right);
				split = std::move(parentSplit);
				left = parent;
			}
		}

		// Puts a new branch above the root, holding the old root as its only edge.
		static void GrowRoot(Root& map)
		{
			BranchNode* newRoot = new BranchNode();
			newRoot->Edges.Construct(0, map.Node);
			map.Node->Parent = newRoot;
			map.Node->ParentIndex = 0;
			map.Node = newRoot;
			++map.Height;
		}

		// Destroys every pair in ascending key order and frees each node once its pairs and
		// children are done, climbing back through parent links instead of keeping a stack.
		// Leaves the map without a root.
		static void DestroyAll(Root& map)
		{
			if (!map.Node)
				return;
			NodeRef ref{map.Height, map.Node, &map};
			while (!ref.IsLeaf())
				ref = ref.Descend(0);

			for (;;)
			{
				LeafNode* leaf = ref.Node;
				leaf->Keys.DestructFirst(leaf->Len);
				leaf->Values.DestructFirst(leaf->Len);

				// Climb until a parent still has a pair to the right of the finished child.
				LeafNode* finished = leaf;
				NodeRef parent = ref.Ascend();
				u64 edgeIndex = finished->ParentIndex;
				delete finished;
				while (parent.Node && edgeIndex == parent.Node->Len)
				{
					finished = parent.Node;
					edgeIndex = finished->ParentIndex;
					parent = parent.Ascend();
					delete finished;
				}
				if (!parent.Node)
					break;

				parent.Node->Keys.Destruct(edgeIndex);
				parent.Node->Values.Destruct(edgeIndex);
				ref = parent.Descend(edgeIndex + 1);
				while (!ref.IsLeaf())
					ref = ref.Descend(0);
			}
			map = Root{};
		}

		// Edges [low, high) of a branch learn that branch as parent and their slot as index.
		static void AdoptEdges(BranchNode* branch, u64 low, u64 high)
		{
			for (u64 i = low; i < high; ++i)
			{
				LeafNode* child = branch->Edges[i];
				child->Parent = branch;
				child->ParentIndex = static_cast<u16>(i);
			}
		}
	};
} // namespace Vorn::Impl
