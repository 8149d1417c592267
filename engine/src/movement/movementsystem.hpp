#pragma once

#include "math/vector.hpp"

namespace Vorn
{
	class EntityTransform;
	class World;

	// Free-float movement and the directions of an entity. Forward is -Z, right +X and up +Y in the entity's
	// own frame.
	namespace MovementSystem
	{
		// Moves and turns every entity with a FreeFloatMovementComponent by this frame's input and gameplay time.
		void MovementUpdatePhase(World* world);

		// Relative to the parent: the local rotation applied to the axis.
		Vector GetLocalForward(const EntityTransform& transform);
		Vector GetLocalRight(const EntityTransform& transform);
		Vector GetLocalUp(const EntityTransform& transform);
		// In world space: the global rotation applied to the axis.
		Vector GetGlobalForward(const EntityTransform& transform);
		Vector GetGlobalRight(const EntityTransform& transform);
		Vector GetGlobalUp(const EntityTransform& transform);
	} // namespace MovementSystem
} // namespace Vorn
