#include "physics2d/physics2dsystem.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "math/quaternion.hpp"
#include "physics2d/physics2dimpl.hpp"
#include "physics2d/physics2dworldcomponent.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"
#include "time/timesystem.hpp"

namespace Vorn
{
	void Physics2DSystem::Physics2DUpdatePhase(World* world)
	{
		Physics2DWorldComponent& physics = *world->GetWorldComponent<Physics2DWorldComponent>();
		physics.AccumulatedTime += static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY));
		const bool isRootAligned = world->GetRoot()->GetTransform().IsLocalIdentity();

		// The entity is authoritative at the start of a frame: whatever game code did to it teleports the body.
		for (auto [body] : world->IterateComponents<RigidBody2DComponent>())
		{
			body->PushTransformToBody(isRootAligned);
			body->EnsureInit();
		}

		const Physics2DConfig& config = physics.Config;
		b2World& box2DWorld = physics.ImplData->Box2DWorld;
		while (physics.AccumulatedTime >= config.TimeStep)
		{
			physics.AccumulatedTime -= config.TimeStep;
			box2DWorld.Step(config.TimeStep, config.VelocityIterations, config.PositionIterations);
		}

		for (auto [body] : world->IterateComponents<RigidBody2DComponent>())
			body->PullTransformFromBody(isRootAligned);
	}
} // namespace Vorn
