#include "memory/baseobject.hpp"

#include <cstdlib>

namespace Vorn
{
	namespace
	{
		u64 gLiveAllocations = 0;
	}

	void* Impl::AllocateBlock(std::size_t size)
	{
		void* block = std::malloc(size == 0 ? 1 : size);
		if (!block)
			throw std::bad_alloc();
		++gLiveAllocations;
		return block;
	}

	void Impl::FreeBlock(void* ptr) noexcept
	{
		if (!ptr)
			return;
		--gLiveAllocations;
		std::free(ptr);
	}

	void* CustomAlocatedObject::operator new(std::size_t size) { return Impl::AllocateBlock(size); }
	void* CustomAlocatedObject::operator new[](std::size_t size) { return Impl::AllocateBlock(size); }
	void CustomAlocatedObject::operator delete(void* ptr) noexcept { Impl::FreeBlock(ptr); }
	void CustomAlocatedObject::operator delete[](void* ptr) noexcept { Impl::FreeBlock(ptr); }

	u64 CustomAlocatedObject::GetLiveAllocationCount() { return gLiveAllocations; }
} // namespace Vorn
