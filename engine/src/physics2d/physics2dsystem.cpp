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
	namespace
	{
		bool IsAligned(const EntityTransform& root)
		{
			const Vector& translation = root.GetLocalTranslation();
			const Vector& scale = root.GetLocalScale();
			const Quaternion& rotation = root.GetLocalRotation();
			return translation.x == 0.0f && translation.y == 0.0f && translation.z == 0.0f && scale.x == 1.0f &&
			       scale.y == 1.0f && scale.z == 1.0f && rotation.x == 0.0f && rotation.y == 0.0f &&
			       rotation.z == 0.0f && rotation.w == 1.0f;
		}
	} // namespace

	void Physics2DSystem::Physics2DUpdatePhase(World* world)
	{
		Physics2DWorldComponent& physics = *world->GetWorldComponent<Physics2DWorldComponent>();
		physics.AccumulatedTime += static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY));
		const bool isRootAligned = IsAligned(world->GetRoot()->GetTransform());

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
