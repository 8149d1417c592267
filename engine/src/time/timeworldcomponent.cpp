#include "time/timeworldcomponent.hpp"

#include "time/clock.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::TimeWorldComponent);

namespace Vorn
{
	TimeWorldComponent::TimeWorldComponent() : LastClockReading(GetClockNanoseconds())
	{
		Timers.emplace(static_cast<u64>(eEngineTimer::SYSTEM), Timer(false, 1.0));
		Timers.emplace(static_cast<u64>(eEngineTimer::GAMEPLAY), Timer(true, 1.0));
	}

	double TimeWorldComponent::GetSystemTime() const
	{
		return FindTimer(static_cast<u64>(eEngineTimer::SYSTEM))->GetTime();
	}

	double TimeWorldComponent::GetGameplayTime() const
	{
		return FindTimer(static_cast<u64>(eEngineTimer::GAMEPLAY))->GetTime();
	}

	const Timer* TimeWorldComponent::FindTimer(u64 id) const
	{
		const auto found = Timers.find(id);
		return found != Timers.end() ? &found->second : nullptr;
	}

	Timer* TimeWorldComponent::FindTimer(u64 id)
	{
		const auto found = Timers.find(id);
		return found != Timers.end() ? &found->second : nullptr;
	}

	void TimeWorldComponent::Advance(u64 clockNanoseconds)
	{
		double frameTime = static_cast<double>(clockNanoseconds - LastClockReading) / 1.0e9;
		LastClockReading = clockNanoseconds;

		// A long frame (a stall, a breakpoint) slows the game down instead of making it jump.
		const double maxFrameTime = static_cast<double>(MaxFrameTimeMs) / 1000.0;
		if (frameTime > maxFrameTime)
			frameTime = maxFrameTime;

		for (auto& [id, timer] : Timers)
		{
			if (Paused && timer.IsPausable)
			{
				timer.DeltaTime = 0.0;
				continue;
			}
			timer.DeltaTime = frameTime * timer.Multiplier;
			timer.Time += timer.DeltaTime;
		}
	}
} // namespace Vorn
