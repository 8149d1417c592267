#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"

#include <memory>

namespace Vorn
{
	// Owned block of raw bytes, e.g. a whole file read into memory.
	class BinaryBuffer : public BaseObject
	{
	public:
		explicit BinaryBuffer(u64 size) : Size(size), Data(new u8[size == 0 ? 1 : size]()) {}

		u8* GetData() { return Data.get(); }
		const u8* GetData() const { return Data.get(); }
		u64 GetSize() const { return Size; }

	private:
		u64 Size;
		std::unique_ptr<u8[]> Data;
	};
} // namespace Vorn
