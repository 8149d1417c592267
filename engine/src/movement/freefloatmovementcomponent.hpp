#pragma once

#include "ecs/componentbase.hpp"

namespace Vorn
{
	// Makes its entity a free-flying observer: W/S/A/D/Q/E move it along its own axes, the mouse wheel changes
	// its speed and mouse motion with the left button held turns it (MovementSystem::MovementUpdatePhase).
	class FreeFloatMovementComponent : public ComponentBase
	{
	public:
		FreeFloatMovementComponent(float movementSpeed = 1.0f, float angularVelocity = 1.0f,
		                           float wheelSensitivity = 1.0f)
		    : MovementSpeed(movementSpeed), AngularVelocity(angularVelocity), WheelSensitivity(wheelSensitivity)
		{
		}

		// World units per second.
		float GetMovementSpeed() const { return MovementSpeed; }
		void SetMovementSpeed(float speed) { MovementSpeed = speed; }
		// Radians per pixel of mouse motion.
		float GetAngularVelocity() const { return AngularVelocity; }
		void SetAngularVelocity(float angularVelocity) { AngularVelocity = angularVelocity; }
		// Speed change per wheel step.
		float GetWheelSensitivity() const { return WheelSensitivity; }
		void SetWheelSensitivity(float sensitivity) { WheelSensitivity = sensitivity; }

	private:
		float MovementSpeed;
		float AngularVelocity;
		float WheelSensitivity;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::FreeFloatMovementComponent);
