#include "movement/movementsystem.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "input/inputworldcomponent.hpp"
#include "movement/freefloatmovementcomponent.hpp"
#include "time/timesystem.hpp"

#include <algorithm>

namespace Vorn
{
	namespace
	{
		const Vector FORWARD(0.0f, 0.0f, -1.0f);
		const Vector RIGHT(1.0f, 0.0f, 0.0f);
		const Vector UP(0.0f, 1.0f, 0.0f);

		constexpr float MIN_MOVEMENT_SPEED = 0.001f;
		constexpr float MAX_MOVEMENT_SPEED = 10000.0f;

		// Of two opposite keys held together the first one wins.
		float AxisInput(const InputWorldComponent& input, eKey negativeKey, eKey positiveKey)
		{
			if (input.IsPressed(negativeKey))
				return -1.0f;
			if (input.IsPressed(positiveKey))
				return 1.0f;
			return 0.0f;
		}
	} // namespace

	void MovementSystem::MovementUpdatePhase(World* world)
	{
		const InputWorldComponent& input = *world->GetWorldComponent<InputWorldComponent>();
		const float deltaTime = static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY));
		const float wheelDelta = static_cast<float>(input.GetWheelPosDelta().y);
		const Vector2i& mouseDelta = input.GetMousePosDelta();
		const bool isLooking = input.IsPressed(eMouseButton::LEFT);

		for (auto [movement] : world->IterateComponents<FreeFloatMovementComponent>())
		{
			EntityTransform& transform = movement->GetTransform();

			const float speed = movement->GetMovementSpeed() + wheelDelta * movement->GetWheelSensitivity();
			movement->SetMovementSpeed(std::clamp(speed, MIN_MOVEMENT_SPEED, MAX_MOVEMENT_SPEED));

			Vector direction(AxisInput(input, eKey::A, eKey::D), AxisInput(input, eKey::Q, eKey::E),
			                 AxisInput(input, eKey::W, eKey::S));
			// Normalised so that diagonal movement is no faster than straight movement.
			if (direction.LengthSquared() > 0.0f)
			{
				direction.Normalize();
				direction *= movement->GetMovementSpeed() * deltaTime;
				transform.SetLocalTranslation(transform.GetLocalTranslation() +
				                              transform.GetLocalRotation() * direction);
			}

			if (!isLooking)
				continue;

			const float angularVelocity = movement->GetAngularVelocity();
			const Quaternion yaw(UP, Angle::FromRadians(-static_cast<float>(mouseDelta.x) * angularVelocity));
			const Quaternion pitch(RIGHT, Angle::FromRadians(-static_cast<float>(mouseDelta.y) * angularVelocity));
			// Yaw about the parent's up axis keeps the horizon level; pitch turns about the entity's own right axis.
			Quaternion rotation = yaw * transform.GetLocalRotation() * pitch;
			// Exact test: a tolerance would swallow the small turns of slow mouse motion.
			if (!rotation.Equals(Quaternion(), 0.0f))
			{
				rotation.Normalize();
				transform.SetLocalRotation(rotation);
			}
		}
	}

	Vector MovementSystem::GetLocalForward(const EntityTransform& transform)
	{
		return transform.GetLocalRotation() * FORWARD;
	}

	Vector MovementSystem::GetLocalRight(const EntityTransform& transform)
	{
		return transform.GetLocalRotation() * RIGHT;
	}

	Vector MovementSystem::GetLocalUp(const EntityTransform& transform) { return transform.GetLocalRotation() * UP; }

	Vector MovementSystem::GetGlobalForward(const EntityTransform& transform)
	{
		return transform.GetGlobalRotation() * FORWARD;
	}

	Vector MovementSystem::GetGlobalRight(const EntityTransform& transform)
	{
		return transform.GetGlobalRotation() * RIGHT;
	}

	Vector MovementSystem::GetGlobalUp(const EntityTransform& transform) { return transform.GetGlobalRotation() * UP; }
} // namespace Vorn
