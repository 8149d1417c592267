#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "memory/poolallocator.hpp"
#include "utils/check.hpp"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>

namespace Vorn
{
	// Lets an owner free objects of pools whose element type it does not know.
	class IterablePoolAllocatorBase : public BaseObject
	{
	public:
		virtual ~IterablePoolAllocatorBase() = default;
		// The caller has already run the object's destructor.
		virtual void Free(void* object) = 0;
	};

	// Fixed pool of T whose live objects can be walked in cell (address) order, whatever order
	// they were allocated in. Alloc and Free deal in raw memory like PoolAllocator; freed cells
	// are reused last in, first out. One extra cell past the end is the sentinel that ends the
	// live list and never holds an object.
	template <typename T>
	class IterablePoolAllocator : public IterablePoolAllocatorBase
	{
		struct alignas(std::max(alignof(T), alignof(u64))) Cell
		{
			unsigned char Storage[Impl::PoolStorageSize<T>];
			Cell* Prev;
			Cell* Next;
		};

	public:
		template <bool IsConst>
		class BasicIterator
		{
			using CellPointer = std::conditional_t<IsConst, const Cell*, Cell*>;

		public:
			using iterator_category = std::forward_iterator_tag;
			using value_type = T;
			using difference_type = std::ptrdiff_t;
			using pointer = std::conditional_t<IsConst, const T*, T*>;
			using reference = std::conditional_t<IsConst, const T&, T&>;

			template <bool WasConst, typename = std::enable_if_t<IsConst && !WasConst>>
			BasicIterator(const BasicIterator<WasConst>& rhs) : Current(rhs.Current)
			{
			}

			reference operator*() const { return *ObjectOf(Current); }
			pointer operator->() const { return ObjectOf(Current); }
			BasicIterator& operator++()
			{
				Current = Current->Next;
				return *this;
			}
			BasicIterator operator++(int)
			{
				BasicIterator copy = *this;
				Current = Current->Next;
				return copy;
			}
			bool operator==(const BasicIterator& rhs) const { return Current == rhs.Current; }
			bool operator!=(const BasicIterator& rhs) const { return Current != rhs.Current; }

		private:
			explicit BasicIterator(CellPointer cell) : Current(cell) {}

			static pointer ObjectOf(CellPointer cell)
			{
				using Byte = std::conditional_t<IsConst, const unsigned char, unsigned char>;
				return std::launder(reinterpret_cast<pointer>(static_cast<Byte*>(cell->Storage)));
			}

			CellPointer Current;
			friend class IterablePoolAllocator;
			friend class BasicIterator<!IsConst>;
		};

		using Iterator = BasicIterator<false>;
		using ConstIterator = BasicIterator<true>;

		explicit IterablePoolAllocator(u64 count) : Capacity(count), FreeBlockCount(count)
		{
			VORN_CHECK(count >= 1, "Cell count cannot be lower than 1.");
			Data = static_cast<Cell*>(Impl::AllocatePoolBlocks(sizeof(Cell) * (count + 1), alignof(Cell)));
			NextFreeCell = Data;
			Tail = Data + count;
			Tail->Prev = nullptr;
			Tail->Next = nullptr;
			Head = Tail;
		}

		~IterablePoolAllocator() override
		{
			VORN_CHECK(Data != nullptr, "Allocator is invalid");
			Impl::FreePoolBlocks(Data, alignof(Cell));
		}

		IterablePoolAllocator(const IterablePoolAllocator&) = delete;
		IterablePoolAllocator& operator=(const IterablePoolAllocator&) = delete;

		T* Alloc()
		{
			VORN_CHECK(Data != nullptr, "Allocator is invalid");
			if (InitializedBlockCount < Capacity)
			{
				Impl::WriteNextFreeIndex(Data[InitializedBlockCount].Storage, InitializedBlockCount + 1);
				++InitializedBlockCount;
			}
			// The pool never grows; running out of cells means it was sized too small for its use.
			VORN_CHECK(FreeBlockCount > 0, "Pool allocator is full!");
			Cell* cell = NextFreeCell;
			--FreeBlockCount;
			NextFreeCell = FreeBlockCount == 0 ? nullptr : Data + Impl::ReadNextFreeIndex(cell->Storage);
			LinkLive(cell);
			if (NextFreeCell)
			{
				NextFreeCell->Prev = nullptr;
				NextFreeCell->Next = nullptr;
			}
			return reinterpret_cast<T*>(cell->Storage);
		}

		void Free(void* object) override
		{
			VORN_CHECK(Data != nullptr, "Allocator is invalid");
			Cell* cell = reinterpret_cast<Cell*>(object);
			if (cell == Head)
			{
				Head = cell->Next;
				Head->Prev = nullptr;
			}
			else
			{
				cell->Prev->Next = cell->Next;
				cell->Next->Prev = cell->Prev;
			}
			cell->Prev = nullptr;
			cell->Next = nullptr;

			Impl::WriteNextFreeIndex(cell->Storage, NextFreeCell ? static_cast<u64>(NextFreeCell - Data) : Capacity);
			NextFreeCell = cell;
			++FreeBlockCount;
		}

		template <typename... Args>
		T* New(Args&&... args)
		{
			return Impl::ConstructInPool<T>(*this, std::forward<Args>(args)...);
		}

		void Delete(T* object)
		{
			object->~T();
			Free(object);
		}

		Iterator begin() { return Iterator(Head); }
		Iterator end() { return Iterator(Tail); }
		ConstIterator begin() const { return ConstIterator(Head); }
		ConstIterator end() const { return ConstIterator(Tail); }

		u64 GetSize() const { return Capacity - FreeBlockCount; }
		u64 GetCapacity() const { return Capacity; }

	private:
		// Only asked about cells between the head and the last live cell. Live cells always have a
		// successor; free ones there have null links, as Free clears them (never-used cells all lie
		// above the last live cell).
		static bool IsLive(const Cell* cell) { return cell->Next != nullptr; }

		// Keeps the live list in ascending address order. Filling a pool and refilling freed runs
		// would walk from the head every time (quadratic), so the common placements are found in
		// constant time first: below the head, above the last live cell, or next to a live neighbour.
		void LinkLive(Cell* cell)
		{
			Cell* before = nullptr;
			if (Head == Tail || cell < Head)
				before = Head;
			else if (cell > Tail->Prev)
				before = Tail;
			else if (IsLive(cell + 1))
				before = cell + 1;
			else if (IsLive(cell - 1))
				before = (cell - 1)->Next;
			else
			{
				Cell* after = Head;
				while (after->Next != nullptr && after->Next < cell)
					after = after->Next;
				VORN_CHECK(after->Next != nullptr, "prev is null");
				before = after->Next;
			}

			cell->Next = before;
			cell->Prev = before->Prev;
			if (before == Head)
				Head = cell;
			else
				cell->Prev->Next = cell;
			before->Prev = cell;
		}

		u64 Capacity;
		u64 FreeBlockCount;
		u64 InitializedBlockCount = 0;
		Cell* Data = nullptr;
		Cell* NextFreeCell = nullptr;
		Cell* Head = nullptr;
		Cell* Tail = nullptr;
	};
} // namespace Vorn
