#pragma once

namespace Vorn
{
	class World;

	namespace ParticleUpdateSystem
	{
		// For every particle emitter: spawns the requested particles, schedules bursts, ages and kills
		// particles, moves the survivors and hands the emitter to its device proxy.
		void ParticleUpdatePhase(World* world);
	} // namespace ParticleUpdateSystem
} // namespace Vorn
