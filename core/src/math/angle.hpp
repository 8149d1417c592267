#pragma once

#include "math/mathutils.hpp"

namespace Vorn
{
	// An angle stored in radians; the named constructors keep the unit explicit at every call site.
	class Angle
	{
	public:
		constexpr Angle() = default;

		static constexpr Angle FromRadians(float radians) { return Angle(radians); }
		static constexpr Angle FromDegrees(float degrees) { return Angle(degrees * (PI / 180.0f)); }

		constexpr float AsRadians() const { return Radians; }
		constexpr float AsDegrees() const { return Radians * (180.0f / PI); }

		constexpr Angle operator+(Angle rhs) const { return Angle(Radians + rhs.Radians); }
		constexpr Angle operator-(Angle rhs) const { return Angle(Radians - rhs.Radians); }
		constexpr Angle operator-() const { return Angle(-Radians); }
		constexpr Angle operator*(float factor) const { return Angle(Radians * factor); }
		constexpr Angle operator/(float divisor) const { return Angle(Radians / divisor); }
		constexpr float operator/(Angle rhs) const { return Radians / rhs.Radians; }

		Angle& operator+=(Angle rhs)
		{
			Radians += rhs.Radians;
			return *this;
		}
		Angle& operator-=(Angle rhs)
		{
			Radians -= rhs.Radians;
			return *this;
		}
		Angle& operator*=(float factor)
		{
			Radians *= factor;
			return *this;
		}
		Angle& operator/=(float divisor)
		{
			Radians /= divisor;
			return *this;
		}

		// Exact comparisons: angles are ordered scalars (use IsNearlyEqual on AsRadians for tolerance).
		constexpr bool operator==(Angle rhs) const { return Radians == rhs.Radians; }
		constexpr bool operator!=(Angle rhs) const { return Radians != rhs.Radians; }
		constexpr bool operator<(Angle rhs) const { return Radians < rhs.Radians; }
		constexpr bool operator<=(Angle rhs) const { return Radians <= rhs.Radians; }
		constexpr bool operator>(Angle rhs) const { return Radians > rhs.Radians; }
		constexpr bool operator>=(Angle rhs) const { return Radians >= rhs.Radians; }

	private:
		constexpr explicit Angle(float radians) : Radians(radians) {}

		float Radians = 0.0f;
	};

	constexpr Angle operator*(float factor, Angle angle) { return angle * factor; }
} // namespace Vorn
