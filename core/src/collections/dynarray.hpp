#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/check.hpp"

#include <algorithm>
#include <initializer_list>
#include <new>
#include <utility>

namespace Vorn
{
	// Growable array. A full array grows to Capacity * 2 + 2; removal keeps element order.
	template <typename T>
	class Dynarray
	{
	public:
		class ConstIterator;

		class Iterator
		{
		public:
			bool operator==(const Iterator& rhs) const
			{
				VORN_CHECK(Owner == rhs.Owner, "Not valid iterator pair");
				return Index == rhs.Index;
			}
			bool operator!=(const Iterator& rhs) const { return !(*this == rhs); }
			T& operator*() const { return (*Owner)[Index]; }
			T* operator->() const { return &(*Owner)[Index]; }
			Iterator& operator++()
			{
				++Index;
				return *this;
			}
			Iterator operator++(int)
			{
				Iterator copy = *this;
				++Index;
				return copy;
			}

		private:
			Iterator(Dynarray* owner, u64 index) : Owner(owner), Index(index) {}
			Dynarray* Owner;
			u64 Index;
			friend class Dynarray;
			friend class ConstIterator;
		};

		class ConstIterator
		{
		public:
			ConstIterator(const Iterator& it) : Owner(it.Owner), Index(it.Index) {}
			bool operator==(const ConstIterator& rhs) const
			{
				VORN_CHECK(Owner == rhs.Owner, "Not valid iterator pair");
				return Index == rhs.Index;
			}
			bool operator!=(const ConstIterator& rhs) const { return !(*this == rhs); }
			const T& operator*() const { return (*Owner)[Index]; }
			const T* operator->() const { return &(*Owner)[Index]; }
			ConstIterator& operator++()
			{
				++Index;
				return *this;
			}
			ConstIterator operator++(int)
			{
				ConstIterator copy = *this;
				++Index;
				return copy;
			}

		private:
			ConstIterator(const Dynarray* owner, u64 index) : Owner(owner), Index(index) {}
			const Dynarray* Owner;
			u64 Index;
			friend class Dynarray;
		};

		Dynarray() = default;
		explicit Dynarray(u64 capacity) { Reserve(capacity); }
		Dynarray(std::initializer_list<T> list)
		{
			Reserve(list.size());
			for (const T& value : list)
				PushBack(value);
		}
		Dynarray(const Dynarray& rhs) { *this = rhs; }
		Dynarray(Dynarray&& rhs) noexcept { *this = std::move(rhs); }
		~Dynarray() { Free(); }

		Dynarray& operator=(const Dynarray& rhs)
		{
			if (this == &rhs)
				return *this;
			Clear();
			Reserve(rhs.Size);
			for (u64 i = 0; i < rhs.Size; ++i)
				new (Data + i) T(rhs.Data[i]);
			Size = rhs.Size;
			return *this;
		}

		Dynarray& operator=(Dynarray&& rhs) noexcept
		{
			if (this == &rhs)
				return *this;
			Free();
			Size = std::exchange(rhs.Size, 0);
			Capacity = std::exchange(rhs.Capacity, 0);
			Data = std::exchange(rhs.Data, nullptr);
			return *this;
		}

		bool operator==(const Dynarray& rhs) const
		{
			return Size == rhs.Size && std::equal(Data, Data + Size, rhs.Data);
		}
		bool operator!=(const Dynarray& rhs) const { return !(*this == rhs); }

		u64 GetSize() const { return Size; }
		u64 GetCapacity() const { return Capacity; }
		bool IsEmpty() const { return Size == 0; }
		T* GetData() { return Data; }
		const T* GetData() const { return Data; }

		T& operator[](u64 index)
		{
			VORN_CHECK(index < Size, "Index out of bounds!");
			return Data[index];
		}
		const T& operator[](u64 index) const
		{
			VORN_CHECK(index < Size, "Index out of bounds!");
			return Data[index];
		}
		T& Front() { return (*this)[0]; }
		T& Back() { return (*this)[Size - 1]; }
		const T& Front() const { return (*this)[0]; }
		const T& Back() const { return (*this)[Size - 1]; }

		// Grows or shrinks storage; never below the elements held.
		void Reserve(u64 capacity)
		{
			VORN_CHECK(capacity >= Size, "Invalid resize capacity!");
			if (capacity == Capacity)
				return;
			T* newData = capacity > 0 ? static_cast<T*>(Impl::AllocateBlock(capacity * sizeof(T))) : nullptr;
			for (u64 i = 0; i < Size; ++i)
			{
				new (newData + i) T(std::move(Data[i]));
				Data[i].~T();
			}
			Impl::FreeBlock(Data);
			Data = newData;
			Capacity = capacity;
		}

		// Shrinks by destroying the tail, grows by default-constructing new elements.
		void Resize(u64 size)
		{
			if (size > Capacity)
				Reserve(size);
			for (u64 i = size; i < Size; ++i)
				Data[i].~T();
			for (u64 i = Size; i < size; ++i)
				new (Data + i) T();
			Size = size;
		}

		void PushBack(const T& value) { EmplaceBack(value); }
		void PushBack(T&& value) { EmplaceBack(std::move(value)); }

		template <typename... Args>
		T& EmplaceBack(Args&&... args)
		{
			if (Size == Capacity)
			{
				// Build first: the arguments may refer to an element that growth moves.
				T value(std::forward<Args>(args)...);
				Reserve(Capacity * 2 + 2);
				new (Data + Size) T(std::move(value));
			}
			else
				new (Data + Size) T(std::forward<Args>(args)...);
			return Data[Size++];
		}

		void PopBack()
		{
			VORN_CHECK(Size > 0, "Index out of bounds!");
			Data[--Size].~T();
		}

		// Inserts before `index`; index == size appends.
		void Insert(u64 index, const T& value)
		{
			VORN_CHECK(index <= Size, "Index out of bounds!");
			T copy(value);
			if (Size == Capacity)
				Reserve(Capacity * 2 + 2);
			if (index == Size)
			{
				new (Data + Size) T(std::move(copy));
			}
			else
			{
				new (Data + Size) T(std::move(Data[Size - 1]));
				for (u64 i = Size - 1; i > index; --i)
					Data[i] = std::move(Data[i - 1]);
				Data[index] = std::move(copy);
			}
			++Size;
		}

		void RemoveByIdx(u64 index)
		{
			VORN_CHECK(index < Size, "Index out of bounds!");
			for (u64 i = index; i + 1 < Size; ++i)
				Data[i] = std::move(Data[i + 1]);
			Data[--Size].~T();
		}

		// Removes the first element equal to `value`; it must be present.
		void Remove(const T& value)
		{
			const u64 index = FindIdx(value);
			VORN_CHECK(index < Size, "Index out of bounds!");
			RemoveByIdx(index);
		}

		// Index of the first element equal to `value`, or the size when absent.
		u64 FindIdx(const T& value) const
		{
			for (u64 i = 0; i < Size; ++i)
				if (Data[i] == value)
					return i;
			return Size;
		}
		bool Contains(const T& value) const { return FindIdx(value) < Size; }

		void Clear()
		{
			for (u64 i = 0; i < Size; ++i)
				Data[i].~T();
			Size = 0;
		}

		Iterator begin() { return Iterator(this, 0); }
		Iterator end() { return Iterator(this, Size); }
		ConstIterator begin() const { return ConstIterator(this, 0); }
		ConstIterator end() const { return ConstIterator(this, Size); }

	private:
		void Free()
		{
			Clear();
			Impl::FreeBlock(Data);
			Data = nullptr;
			Capacity = 0;
		}

		u64 Size = 0;
		u64 Capacity = 0;
		T* Data = nullptr;
	};
} // namespace Vorn
