#pragma once

#include "defines.hpp"
#include "time/timeworldcomponent.hpp"

namespace Vorn
{
	class World;

	// Timers of the world's TimeWorldComponent. Getters and setters raise std::invalid_argument for an ID
	// that was never registered.
	namespace TimeSystem
	{
		// The time phase, first of the frame.
		void TimeUpdatePhase(World* world);

		// Adds a game timer; the ID must be new (the engine timers already use 0 and 1).
		void RegisterTimer(World* world, u64 id, bool isPausable, double multiplier);

		double GetTimerDeltaTime(World* world, u64 id);
		double GetTimerElapsedTime(World* world, u64 id);
		double GetTimerMultiplier(World* world, u64 id);
		void SetTimerMultiplier(World* world, u64 id, double multiplier);

		double GetTimerDeltaTime(World* world, eEngineTimer timer);
		double GetTimerElapsedTime(World* world, eEngineTimer timer);
		double GetTimerMultiplier(World* world, eEngineTimer timer);
		void SetTimerMultiplier(World* world, eEngineTimer timer, double multiplier);
	} // namespace TimeSystem
} // namespace Vorn
