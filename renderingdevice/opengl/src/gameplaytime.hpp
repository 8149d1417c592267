#pragma once

namespace Vorn
{
	class World;

	// The world's gameplay time in seconds, which animated shaders read. A world without timers (one not run by
	// an engine) stays at time 0.
	float GetGameplayTime(World* world);
} // namespace Vorn
