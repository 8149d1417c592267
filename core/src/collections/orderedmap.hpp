#pragma once

#include "collections/btreeprimitives.hpp"
#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/check.hpp"
#include "utils/optional.hpp"

#include <utility>

namespace Vorn
{
	// Ordered associative container: a B-tree with small fixed-size nodes, keyed by operator<
	// of K (two keys are the same when neither is less). Maps are moved, never copied.
	template <typename K, typename V>
	class OrderedMap : public BaseObject
	{
	public:
		using Tree = Impl::BTree<K, V, 6>;

		// Result of Entry(key): either the pair already in the map, or the place where the key
		// belongs together with the key itself. Any other change to the map invalidates it.
		class MapEntry
		{
		public:
			bool IsVacant() const { return Vacant; }

			// The stored value of an occupied entry; null while vacant.
			V* GetValue() const { return Vacant ? nullptr : &Position.GetValue(); }

			// Stores the entry's key with `value`; the entry is occupied afterwards.
			V* Insert(V value)
			{
				VORN_CHECK(Vacant, "Cannot insert into already occupied map entry!");
				Position = Tree::InsertNew(Position, std::move(Key), std::move(value));
				Vacant = false;
				return &Position.GetValue();
			}

		private:
			MapEntry(typename Tree::Handle position, K&& key, bool isVacant)
			    : Position(position), Key(std::move(key)), Vacant(isVacant)
			{
			}

			typename Tree::Handle Position;
			K Key;
			bool Vacant;

			friend class OrderedMap;
		};

		OrderedMap() = default;
		OrderedMap(const OrderedMap&) = delete;
		OrderedMap& operator=(const OrderedMap&) = delete;
		OrderedMap(OrderedMap&& rhs) noexcept : BaseObject(), Root(std::exchange(rhs.Root, typename Tree::Root{})) {}
		OrderedMap& operator=(OrderedMap&& rhs) noexcept
		{
			if (this != &rhs)
			{
				Tree::DestroyAll(Root);
				Root = std::exchange(rhs.Root, typename Tree::Root{});
			}
			return *this;
		}
		~OrderedMap() override { Tree::DestroyAll(Root); }

		// Returns the value that was replaced, or nothing when the key is new.
		Optional<V> Insert(K key, V value)
		{
			const typename Tree::SearchResult result = Tree::Search(Root, key);
			if (result.IsFound)
			{
				V& slot = result.Position.GetValue();
				Optional<V> replaced(std::move(slot));
				slot = std::move(value);
				return replaced;
			}
			Tree::InsertNew(result.Position, std::move(key), std::move(value));
			return Optional<V>();
		}

		V* Get(const K& key)
		{
			const typename Tree::SearchResult result = Tree::Search(Root, key);
			return result.IsFound ? &result.Position.GetValue() : nullptr;
		}
		const V* Get(const K& key) const { return const_cast<OrderedMap*>(this)->Get(key); }

		MapEntry Entry(K key)
		{
			const typename Tree::SearchResult result = Tree::Search(Root, key);
			return MapEntry(result.Position, std::move(key), !result.IsFound);
		}

		// Destroys every pair; the map keeps one empty leaf as its root.
		void Clear()
		{
			Tree::DestroyAll(Root);
			Root.Node = new typename Tree::LeafNode();
		}

		u64 GetLength() const { return Root.Length; }
		bool IsEmpty() const { return Root.Length == 0; }

		// Read-only view of the tree's shape, for diagnostics and tests: the root is null for a
		// map that never held a pair, and its height is 0 while it is a leaf.
		u64 GetHeight() const { return Root.Height; }
		const typename Tree::LeafNode* GetRootNode() const { return Root.Node; }

	private:
		typename Tree::Root Root;
	};
} // namespace Vorn
