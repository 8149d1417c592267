#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/check.hpp"

#include <new>
#include <utility>

namespace Vorn
{
	// Ring buffer. A push into a full queue regrows it to Capacity * 2 + 2 and lays the
	// elements out again from slot 0 in queue order.
	template <typename T>
	class Queue
	{
	public:
		Queue() = default;
		explicit Queue(u64 capacity) { Reserve(capacity); }
		Queue(const Queue& rhs) { *this = rhs; }
		Queue(Queue&& rhs) noexcept { *this = std::move(rhs); }
		~Queue() { Free(); }

		Queue& operator=(const Queue& rhs)
		{
			if (this == &rhs)
				return *this;
			Clear();
			if (Capacity < rhs.Size)
				Reserve(rhs.Size);
			for (u64 i = 0; i < rhs.Size; ++i)
				PushBack(rhs[i]);
			return *this;
		}

		Queue& operator=(Queue&& rhs) noexcept
		{
			if (this == &rhs)
				return *this;
			Free();
			Head = std::exchange(rhs.Head, 0);
			Tail = std::exchange(rhs.Tail, 0);
			Size = std::exchange(rhs.Size, 0);
			Capacity = std::exchange(rhs.Capacity, 0);
			Data = std::exchange(rhs.Data, nullptr);
			return *this;
		}

		u64 GetSize() const { return Size; }
		u64 GetCapacity() const { return Capacity; }
		bool IsEmpty() const { return Size == 0; }

		void PushBack(const T& value) { EmplaceBack(value); }
		void PushBack(T&& value) { EmplaceBack(std::move(value)); }

		template <typename... Args>
		T& EmplaceBack(Args&&... args)
		{
			if (Size == Capacity)
			{
				// Build first: the arguments may refer to an element that regrowth moves.
				T value(std::forward<Args>(args)...);
				Reserve(Capacity * 2 + 2);
				return Store(std::move(value));
			}
			return Store(std::forward<Args>(args)...);
		}

		T& Front()
		{
			VORN_CHECK(Size > 0, "Trying to access empty queue!");
			return Data[Head];
		}
		const T& Front() const
		{
			VORN_CHECK(Size > 0, "Trying to access empty queue!");
			return Data[Head];
		}

		void PopFront()
		{
			VORN_CHECK(Size > 0, "Trying to access empty queue!");
			Data[Head].~T();
			Head = (Head + 1) % Capacity;
			--Size;
		}

		// Element `index` counted from the front.
		T& operator[](u64 index)
		{
			VORN_CHECK(index < Size, "Index out of bounds!");
			return Data[(Head + index) % Capacity];
		}
		const T& operator[](u64 index) const
		{
			VORN_CHECK(index < Size, "Index out of bounds!");
			return Data[(Head + index) % Capacity];
		}

		void Reserve(u64 capacity)
		{
			VORN_CHECK(capacity >= Size, "Invalid resize capacity!");
			VORN_CHECK(capacity >= Capacity, "Capacity too small!");
			if (capacity == Capacity)
				return;
			T* newData = static_cast<T*>(Impl::AllocateBlock(capacity * sizeof(T)));
			for (u64 i = 0; i < Size; ++i)
			{
				T& element = Data[(Head + i) % Capacity];
				new (newData + i) T(std::move(element));
				element.~T();
			}
			Impl::FreeBlock(Data);
			Data = newData;
			Capacity = capacity;
			Head = 0;
			Tail = Size;
		}

		void Clear()
		{
			while (Size > 0)
				PopFront();
			Head = 0;
			Tail = 0;
		}

	private:
		template <typename... Args>
		T& Store(Args&&... args)
		{
			T* slot = new (Data + Tail) T(std::forward<Args>(args)...);
			Tail = (Tail + 1) % Capacity;
			++Size;
			return *slot;
		}

		void Free()
		{
			Clear();
			Impl::FreeBlock(Data);
			Data = nullptr;
			Capacity = 0;
		}

		u64 Head = 0;
		u64 Tail = 0;
		u64 Size = 0;
		u64 Capacity = 0;
		T* Data = nullptr;
	};
} // namespace Vorn
