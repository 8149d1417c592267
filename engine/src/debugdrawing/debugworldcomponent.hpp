#pragma once

#include "debugdrawing/fpssystem.hpp"
#include "ecs/componentbase.hpp"
#include "time/clock.hpp"

namespace Vorn
{
	// The frame counter's state.
	class DebugWorldComponent : public ComponentBase
	{
	public:
		DebugWorldComponent() : StartClockNanoseconds(GetClockNanoseconds()) {}

		FPSSystem::FPSData GetFPSData() const { return FPSData; }

	private:
		FPSSystem::FPSData FPSData;
		// The counter measures real time from here: the system timer caps every frame at its longest frame time,
		// which would make a slow machine read a frame rate it does not reach.
		u64 StartClockNanoseconds;

		friend void FPSSystem::FPSUpdatePhase(World* world);
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::DebugWorldComponent);
