#include "utils/uniqueid.hpp"

#include <cstdio>

namespace Vorn
{
	UniqueID UniqueID::Generate()
	{
		// A 64-bit counter cannot wrap within a process lifetime, so IDs never repeat and never are 0.
		static u64 counter = 0;
		return UniqueID(++counter);
	}

	String UniqueID::ToString() const
	{
		char buffer[17];
		std::snprintf(buffer, sizeof(buffer), "%016llx", static_cast<unsigned long long>(Value));
		return String(buffer);
	}
} // namespace Vorn
