#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/check.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace Vorn
{
	namespace Impl
	{
		// Pools keep a single pointer to their block array. For alignments the raw allocator does
		// not guarantee, the raw block's address is stored just before the aligned array.
		inline void* AllocatePoolBlocks(std::size_t size, std::size_t alignment)
		{
			if (alignment <= alignof(std::max_align_t))
				return AllocateBlock(size);
			void* raw = AllocateBlock(size + alignment);
			// The raw block is max_align_t aligned, so the gap is at least that wide and holds the pointer.
			const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(raw) + alignment) & ~(alignment - 1);
			std::memcpy(reinterpret_cast<void*>(aligned - sizeof(void*)), &raw, sizeof(void*));
			return reinterpret_cast<void*>(aligned);
		}

		inline void FreePoolBlocks(void* blocks, std::size_t alignment) noexcept
		{
			if (alignment <= alignof(std::max_align_t))
			{
				FreeBlock(blocks);
				return;
			}
			void* raw = nullptr;
			std::memcpy(&raw, static_cast<unsigned char*>(blocks) - sizeof(void*), sizeof(void*));
			FreeBlock(raw);
		}

		// A free block keeps the index of the next free block in its first 8 bytes, so a block is
		// never smaller than that index.
		template <typename T>
		constexpr std::size_t PoolStorageSize = std::max(sizeof(T), sizeof(u64));

		inline u64 ReadNextFreeIndex(const void* block)
		{
			u64 index = 0;
			std::memcpy(&index, block, sizeof(index));
			return index;
		}

		inline void WriteNextFreeIndex(void* block, u64 index) { std::memcpy(block, &index, sizeof(index)); }
	} // namespace Impl

	namespace Impl
	{
		// Builds a T in a cell taken from `pool`, giving the cell back if the constructor throws.
		template <typename T, typename Pool, typename... Args>
		T* ConstructInPool(Pool& pool, Args&&... args)
		{
			T* memory = pool.Alloc();
			try
			{
				return new (memory) T(std::forward<Args>(args)...);
			}
			catch (...)
			{
				pool.Free(memory);
				throw;
			}
		}
	} // namespace Impl

	// Fixed pool of T without iteration. Alloc and Free deal in raw memory: the caller constructs
	// with placement new and runs the destructor before freeing (New and Delete do both).
	// Freed blocks are reused last in, first out; the pool never grows.
	template <typename T>
	class PoolAllocator : public BaseObject
	{
	public:
		explicit PoolAllocator(u64 capacity) : Capacity(capacity), FreeBlockCount(capacity)
		{
			VORN_CHECK(capacity >= 1, "Cell count cannot be lower than 1.");
			Data = static_cast<Block*>(Impl::AllocatePoolBlocks(sizeof(Block) * capacity, alignof(Block)));
			NextFreeBlock = Data;
		}

		~PoolAllocator() override
		{
			VORN_CHECK(Data != nullptr, "Allocator is invalid");
			Impl::FreePoolBlocks(Data, alignof(Block));
		}

		PoolAllocator(const PoolAllocator&) = delete;
		PoolAllocator& operator=(const PoolAllocator&) = delete;

		T* Alloc()
		{
			VORN_CHECK(Data != nullptr, "Allocator is invalid");
			if (InitializedBlockCount < Capacity)
			{
				Impl::WriteNextFreeIndex(Data + InitializedBlockCount, InitializedBlockCount + 1);
				++InitializedBlockCount;
			}
			// The pool never grows; running out of blocks means it was sized too small for its use.
			VORN_CHECK(FreeBlockCount > 0, "Pool allocator is full!");
			Block* block = NextFreeBlock;
			--FreeBlockCount;
			NextFreeBlock = FreeBlockCount == 0 ? nullptr : Data + Impl::ReadNextFreeIndex(block);
			return reinterpret_cast<T*>(block);
		}

		void Free(T* object)
		{
			VORN_CHECK(Data != nullptr, "Allocator is invalid");
			Block* block = reinterpret_cast<Block*>(object);
			Impl::WriteNextFreeIndex(block, NextFreeBlock ? static_cast<u64>(NextFreeBlock - Data) : Capacity);
			NextFreeBlock = block;
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

		u64 GetSize() const { return Capacity - FreeBlockCount; }
		u64 GetCapacity() const { return Capacity; }

	private:
		struct alignas(std::max(alignof(T), alignof(u64))) Block
		{
			unsigned char Storage[Impl::PoolStorageSize<T>];
		};

		u64 Capacity;
		u64 FreeBlockCount;
		u64 InitializedBlockCount = 0;
		Block* Data = nullptr;
		Block* NextFreeBlock = nullptr;
	};
} // namespace Vorn
