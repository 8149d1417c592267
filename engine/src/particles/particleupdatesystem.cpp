#include "particles/particleupdatesystem.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "particles/particlecomponent.hpp"
#include "time/timesystem.hpp"

namespace Vorn
{
	void ParticleUpdateSystem::ParticleUpdatePhase(World* world)
	{
		const float deltaTime = static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY));

		for (auto [component] : world->IterateComponents<ParticleComponent>())
		{
			ParticleEmitter& emitter = *component->GetEmitter();

			const bool isWorldSpace = emitter.GetSettings().SimulationSpace == eSimulationSpace::WORLD_SPACE;
			emitter.SpawnRequested(isWorldSpace ? component->GetTransform().GetGlobalTranslation()
			                                    : Vector(0.0f, 0.0f, 0.0f));
			emitter.UpdateBursts(deltaTime);
			emitter.AgeParticles(deltaTime);
			emitter.MoveParticles();
			emitter.GetParticleProxy()->Update(emitter);
		}
	}
} // namespace Vorn
