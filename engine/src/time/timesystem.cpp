#include "time/timesystem.hpp"

#include "ecs/world.hpp"
#include "time/clock.hpp"
#include "utils/check.hpp"

#include <stdexcept>

namespace Vorn
{
	namespace
	{
		Timer& GetTimer(World* world, u64 id)
		{
			Timer* timer = world->GetWorldComponent<TimeWorldComponent>()->FindTimer(id);
			if (!timer)
				throw std::invalid_argument("Timer with given id does not exist.");
			return *timer;
		}
	} // namespace

	void TimeSystem::TimeUpdatePhase(World* world)
	{
		world->GetWorldComponent<TimeWorldComponent>()->Advance(GetClockNanoseconds());
	}

	void TimeSystem::RegisterTimer(World* world, u64 id, bool isPausable, double multiplier)
	{
		TimeWorldComponent* time = world->GetWorldComponent<TimeWorldComponent>();
		const bool isNew = time->Timers.emplace(id, Timer(isPausable, multiplier)).second;
		VORN_CHECK(isNew, "Same timer id provided twice!");
	}

	double TimeSystem::GetTimerDeltaTime(World* world, u64 id) { return GetTimer(world, id).GetDeltaTime(); }
	double TimeSystem::GetTimerElapsedTime(World* world, u64 id) { return GetTimer(world, id).GetTime(); }
	double TimeSystem::GetTimerMultiplier(World* world, u64 id) { return GetTimer(world, id).GetMultiplier(); }
	void TimeSystem::SetTimerMultiplier(World* world, u64 id, double multiplier)
	{
		GetTimer(world, id).SetMultiplier(multiplier);
	}

	double TimeSystem::GetTimerDeltaTime(World* world, eEngineTimer timer)
	{
		return GetTimerDeltaTime(world, static_cast<u64>(timer));
	}
	double TimeSystem::GetTimerElapsedTime(World* world, eEngineTimer timer)
	{
		return GetTimerElapsedTime(world, static_cast<u64>(timer));
	}
	double TimeSystem::GetTimerMultiplier(World* world, eEngineTimer timer)
	{
		return GetTimerMultiplier(world, static_cast<u64>(timer));
	}
	void TimeSystem::SetTimerMultiplier(World* world, eEngineTimer timer, double multiplier)
	{
		SetTimerMultiplier(world, static_cast<u64>(timer), multiplier);
	}
} // namespace Vorn
