#include "gameplaytime.hpp"

#include "ecs/world.hpp"
#include "time/timesystem.hpp"
#include "time/timeworldcomponent.hpp"

namespace Vorn
{
	float GetGameplayTime(World* world)
	{
		if (!world->GetWorldComponent<TimeWorldComponent>())
			return 0.0f;
		return static_cast<float>(TimeSystem::GetTimerElapsedTime(world, eEngineTimer::GAMEPLAY));
	}
} // namespace Vorn
