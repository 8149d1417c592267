#pragma once

#include "defines.hpp"
#include "math/vector.hpp"

namespace Vorn
{
	// How a world's 2D simulation steps. One world unit is one Box2D metre; angles are radians.
	struct Physics2DConfig
	{
		float TimeStep = 1.0f / 60.0f; // seconds simulated by one step
		i32 VelocityIterations = 8;
		i32 PositionIterations = 3;
		Vector Gravity = Vector(0.0f, -9.81f, 0.0f, 1.0f); // only x and y are used
	};
} // namespace Vorn
