#pragma once

#include "math/angle.hpp"

namespace Vorn
{
	// Rotations about the X, Y and Z axes. Quaternion converts them with X applied first, then Y, then Z.
	struct EulerAngles
	{
		constexpr EulerAngles() = default;
		constexpr EulerAngles(Angle x, Angle y, Angle z) : X(x), Y(y), Z(z) {}

		Angle X;
		Angle Y;
		Angle Z;
	};
} // namespace Vorn
