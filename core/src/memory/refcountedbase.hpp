#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/check.hpp"

namespace Vorn
{
	// Intrusive reference count. Whoever sees RemoveRef() return true destroys the object.
	class RefCountedBase : public BaseObject
	{
	public:
		void AddRef() { ++RefCount; }
		bool RemoveRef()
		{
			VORN_CHECK(RefCount > 0, "Removing a reference that was never added!");
			--RefCount;
			return RefCount == 0;
		}
		u64 GetRefCount() const { return RefCount; }

	private:
		u64 RefCount = 0;
	};
} // namespace Vorn
