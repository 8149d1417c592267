#pragma once

#include "math/vector.hpp"

namespace Vorn
{
	// How a world's 3D simulation steps.
	struct Physics3DConfig
	{
		float TimeStep = 1.0f / 60.0f; // seconds simulated by one step
		Vector Gravity = Vector(0.0f, -9.81f, 0.0f, 1.0f);
	};
} // namespace Vorn
