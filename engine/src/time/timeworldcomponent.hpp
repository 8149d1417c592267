#pragma once

#include "defines.hpp"
#include "ecs/componentbase.hpp"
#include "time/timer.hpp"

#include <unordered_map>

namespace Vorn
{
	class World;

	// Timer IDs the engine owns; games register theirs in the same ID space from 2 on.
	enum class eEngineTimer : u64
	{
		SYSTEM = 0,   // never pauses
		GAMEPLAY = 1, // stops while the world's time is paused
		_COUNT
	};

	namespace TimeSystem
	{
		void TimeUpdatePhase(World* world);
		void RegisterTimer(World* world, u64 id, bool isPausable, double multiplier);
	} // namespace TimeSystem

	// The world's timers. Systems read time only from here, never from a clock.
	class TimeWorldComponent : public ComponentBase
	{
	public:
		TimeWorldComponent();

		bool IsPaused() const { return Paused; }
		void SetPaused(bool isPaused) { Paused = isPaused; }
		double GetSystemTime() const;
		double GetGameplayTime() const;

		// The timer with `id`, or null when none is registered under it.
		const Timer* FindTimer(u64 id) const;
		Timer* FindTimer(u64 id);

	private:
		// Advances every timer by the time since the previous call, clamped to the maximum frame time.
		void Advance(u64 clockNanoseconds);

		u64 MaxFrameTimeMs = 60;
		u64 LastClockReading;
		std::unordered_map<u64, Timer> Timers;
		bool Paused = false;

		friend void TimeSystem::TimeUpdatePhase(World* world);
		friend void TimeSystem::RegisterTimer(World* world, u64 id, bool isPausable, double multiplier);
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::TimeWorldComponent);
