#pragma once

#include "defines.hpp"
#include "utils/check.hpp"

#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace Vorn
{
	// Inline array of N uninitialised slots. The owner decides which slots hold live values:
	// constructing, reading, moving and destroying are explicit calls, and the storage never
	// destroys anything on its own. Only slot indices and ranges are verified, not liveness.
	template <typename T, u64 N>
	class UnsafeStorage
	{
	public:
		static constexpr u64 SIZE = N;

		UnsafeStorage() = default;
		// Which slots are live is known only to the owner, so the storage cannot copy itself.
		UnsafeStorage(const UnsafeStorage&) = delete;
		UnsafeStorage& operator=(const UnsafeStorage&) = delete;

		T& operator[](u64 index)
		{
			CheckIndex(index);
			return *Slot(index);
		}
		const T& operator[](u64 index) const
		{
			CheckIndex(index);
			return *Slot(index);
		}

		template <typename... Args>
		T& Construct(u64 index, Args&&... args)
		{
			CheckIndex(index);
			return *new (RawSlot(index)) T(std::forward<Args>(args)...);
		}

		void Destruct(u64 index)
		{
			CheckIndex(index);
			Slot(index)->~T();
		}

		// Destroys the live values in slots 0 to count - 1.
		void DestructFirst(u64 count)
		{
			VORN_CHECK(count <= N, "Attempting to destruct more values than the storage can possibly hold");
			if constexpr (!std::is_trivially_destructible_v<T>)
			{
				for (u64 i = 0; i < count; ++i)
					Slot(i)->~T();
			}
		}

		// Moves the value out of a slot and leaves the slot uninitialised.
		T Take(u64 index)
		{
			CheckIndex(index);
			T* slot = Slot(index);
			T value(std::move(*slot));
			slot->~T();
			return value;
		}

		// Moves the live values of slots [low, high) one slot up, into [low + 1, high + 1).
		// Slot low is left uninitialised.
		void ShiftRight(u64 low, u64 high)
		{
			CheckRange(low, high, N - 1);
			if constexpr (std::is_trivially_copyable_v<T>)
			{
				if (high > low)
					std::memmove(RawSlot(low + 1), RawSlot(low), (high - low) * sizeof(T));
			}
			else
			{
				for (u64 i = high; i > low; --i)
				{
					new (RawSlot(i)) T(std::move(*Slot(i - 1)));
					Slot(i - 1)->~T();
				}
			}
		}

		// Moves the live values of slots [low, high) into `target` starting at slot targetLow.
		// The source slots are left uninitialised; the target slots must be uninitialised.
		void MoveRangeTo(u64 low, u64 high, UnsafeStorage& target, u64 targetLow)
		{
			CheckRange(low, high, N);
			CheckRange(targetLow, targetLow + (high - low), N);
			if constexpr (std::is_trivially_copyable_v<T>)
			{
				if (high > low)
					std::memcpy(target.RawSlot(targetLow), RawSlot(low), (high - low) * sizeof(T));
			}
			else
			{
				for (u64 i = low; i < high; ++i)
				{
					new (target.RawSlot(targetLow + (i - low))) T(std::move(*Slot(i)));
					Slot(i)->~T();
				}
			}
		}

	private:
		static void CheckIndex(u64 index) { VORN_CHECK(index < N, "Index out of bounds"); }

		// A wrapped-around subtraction shows up as a lower bound beyond the maximum, so that
		// case gets its own message.
		static void CheckRange(u64 low, u64 high, u64 maximum)
		{
			VORN_CHECK(low <= high, "Lower bound is greater than the higher bound");
			VORN_CHECK(low <= maximum, "Lower bound is greater than maximum. Possible negative integer overflow.");
			VORN_CHECK(high <= maximum, "Higher bound is greater than maximum");
		}

		void* RawSlot(u64 index) { return Bytes + index * sizeof(T); }
		T* Slot(u64 index) { return std::launder(reinterpret_cast<T*>(Bytes + index * sizeof(T))); }
		const T* Slot(u64 index) const { return std::launder(reinterpret_cast<const T*>(Bytes + index * sizeof(T))); }

		alignas(T) unsigned char Bytes[sizeof(T) * N];
	};
} // namespace Vorn
