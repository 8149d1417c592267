#include "time/clock.hpp"

#include <chrono>
#include <utility>

namespace Vorn
{
	namespace
	{
		std::function<u64()>& GetClockOverride()
		{
			static std::function<u64()> clockOverride;
			return clockOverride;
		}
	} // namespace

	u64 GetClockNanoseconds()
	{
		const std::function<u64()>& clockOverride = GetClockOverride();
		if (clockOverride)
			return clockOverride();
		const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
		return static_cast<u64>(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count());
	}

	void Impl::SetClockOverride(std::function<u64()> clock) { GetClockOverride() = std::move(clock); }
} // namespace Vorn
