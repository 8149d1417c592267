#pragma once

#include "defines.hpp"

#include <new>

namespace Vorn
{
	// Class-level allocator of engine objects. It counts what is alive so tests and tools
	// can tell whether everything created through it was given back.
	class CustomAlocatedObject
	{
	public:
		static void* operator new(std::size_t size);
		static void* operator new[](std::size_t size);
		static void operator delete(void* ptr) noexcept;
		static void operator delete[](void* ptr) noexcept;
		// Placement forms stay available for pools that construct objects in their cells.
		static void* operator new(std::size_t, void* where) noexcept { return where; }
		static void operator delete(void*, void*) noexcept {}

		static u64 GetLiveAllocationCount();
	};

	class BaseObject : public CustomAlocatedObject
	{
	public:
		BaseObject() = default;
		virtual ~BaseObject() = default;
	};

	namespace Impl
	{
		// Raw block allocation used by pools and nodes that manage object lifetime themselves.
		void* AllocateBlock(std::size_t size);
		void FreeBlock(void* ptr) noexcept;
	} // namespace Impl
} // namespace Vorn
