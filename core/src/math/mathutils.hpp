#pragma once

#include <cmath>

namespace Vorn
{
	constexpr float PI = 3.14159265358979323846f;

	// Absolute per-component tolerance of the approximate comparisons of Vector, Matrix and Quaternion.
	constexpr float MATH_EPSILON = 1e-5f;

	inline bool IsNearlyEqual(float lhs, float rhs, float epsilon = MATH_EPSILON)
	{
		return std::fabs(lhs - rhs) <= epsilon;
	}
} // namespace Vorn
