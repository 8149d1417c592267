#pragma once

#include "math/mathutils.hpp"
#include "math/vector3f.hpp"

#include <iosfwd>

namespace Vorn
{
	// A 3D point or direction with a homogeneous w (1 unless set otherwise). Arithmetic and the
	// geometric operations work on x, y, z only and always produce w = 1; w matters only when the
	// vector is multiplied by a Matrix (w = 0 for a direction that must ignore translation).
	struct Vector
	{
		static const Vector ZERO;
		static const Vector ONE;
		static const Vector UNIT_X;
		static const Vector UNIT_Y;
		static const Vector UNIT_Z;

		constexpr Vector() = default;
		constexpr Vector(float x, float y, float z, float w = 1.0f) : x(x), y(y), z(z), w(w) {}
		constexpr explicit Vector(const Vector3f& xyz, float w = 1.0f) : x(xyz.x), y(xyz.y), z(xyz.z), w(w) {}

		constexpr Vector3f ToVector3f() const { return Vector3f(x, y, z); }

		constexpr Vector operator+(const Vector& rhs) const { return Vector(x + rhs.x, y + rhs.y, z + rhs.z); }
		constexpr Vector operator-(const Vector& rhs) const { return Vector(x - rhs.x, y - rhs.y, z - rhs.z); }
		constexpr Vector operator-() const { return Vector(-x, -y, -z); }
		constexpr Vector operator*(float factor) const { return Vector(x * factor, y * factor, z * factor); }
		constexpr Vector operator/(float divisor) const { return Vector(x / divisor, y / divisor, z / divisor); }
		// Component-wise product, e.g. for combining scales.
		constexpr Vector operator*(const Vector& rhs) const { return Vector(x * rhs.x, y * rhs.y, z * rhs.z); }

		Vector& operator+=(const Vector& rhs) { return *this = *this + rhs; }
		Vector& operator-=(const Vector& rhs) { return *this = *this - rhs; }
		Vector& operator*=(float factor) { return *this = *this * factor; }
		Vector& operator/=(float divisor) { return *this = *this / divisor; }
		Vector& operator*=(const Vector& rhs) { return *this = *this * rhs; }

		constexpr float Dot(const Vector& rhs) const { return x * rhs.x + y * rhs.y + z * rhs.z; }
		constexpr Vector Cross(const Vector& rhs) const
		{
			return Vector(y * rhs.z - z * rhs.y, z * rhs.x - x * rhs.z, x * rhs.y - y * rhs.x);
		}
		constexpr float LengthSquared() const { return Dot(*this); }
		float Length() const { return std::sqrt(LengthSquared()); }

		// A zero-length vector has no direction and is left unchanged (w still becomes 1).
		void Normalize();
		Vector GetNormalized() const
		{
			Vector result = *this;
			result.Normalize();
			return result;
		}

		// Approximate: every component, w included, within epsilon.
		bool Equals(const Vector& rhs, float epsilon = MATH_EPSILON) const
		{
			return IsNearlyEqual(x, rhs.x, epsilon) && IsNearlyEqual(y, rhs.y, epsilon) &&
			       IsNearlyEqual(z, rhs.z, epsilon) && IsNearlyEqual(w, rhs.w, epsilon);
		}
		// Uses Equals with MATH_EPSILON, so float noise from transforms does not break comparisons.
		bool operator==(const Vector& rhs) const { return Equals(rhs); }
		bool operator!=(const Vector& rhs) const { return !Equals(rhs); }

		float x = 0.0f;
		float y = 0.0f;
		float z = 0.0f;
		float w = 1.0f;
	};

	constexpr Vector operator*(float factor, const Vector& vector) { return vector * factor; }

	std::ostream& operator<<(std::ostream& stream, const Vector& vector);

	inline constexpr Vector Vector::ZERO = Vector(0.0f, 0.0f, 0.0f, 1.0f);
	inline constexpr Vector Vector::ONE = Vector(1.0f, 1.0f, 1.0f, 1.0f);
	inline constexpr Vector Vector::UNIT_X = Vector(1.0f, 0.0f, 0.0f, 1.0f);
	inline constexpr Vector Vector::UNIT_Y = Vector(0.0f, 1.0f, 0.0f, 1.0f);
	inline constexpr Vector Vector::UNIT_Z = Vector(0.0f, 0.0f, 1.0f, 1.0f);
} // namespace Vorn
