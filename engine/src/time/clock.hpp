#pragma once

#include "defines.hpp"

#include <functional>

namespace Vorn
{
	// Reading of the monotonic clock in nanoseconds; the only clock the engine reads.
	u64 GetClockNanoseconds();

	namespace Impl
	{
		// Replaces the clock for tests that need to step time exactly; an empty function restores the
		// monotonic clock.
		void SetClockOverride(std::function<u64()> clock);
	} // namespace Impl
} // namespace Vorn
