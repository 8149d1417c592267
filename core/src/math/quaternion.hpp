#pragma once

#include "math/angle.hpp"
#include "math/eulerangles.hpp"
#include "math/vector.hpp"

#include <iosfwd>

namespace Vorn
{
	struct Matrix;

	// Rotation quaternion (x, y, z vector part, w scalar part); identity by default. Rotating operations
	// expect a unit quaternion.
	class Quaternion
	{
	public:
		constexpr Quaternion() = default;
		constexpr Quaternion(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}
		// Rotation by `angle` about `axis` (right-hand rule); the axis need not be normalised.
		Quaternion(const Vector& axis, Angle angle);
		// Applies X first, then Y, then Z (as the matrix product Rz * Ry * Rx).
		explicit Quaternion(const EulerAngles& angles);

		// The rotation part of `matrix`, whose upper 3x3 must be a pure rotation.
		static Quaternion FromRotationMatrix(const Matrix& matrix);

		// Interpolates along the shorter arc; nearly parallel inputs fall back to a normalised lerp.
		static Quaternion Slerp(const Quaternion& from, const Quaternion& to, float t);

		// Inverse of the constructor from Euler angles. Y comes back within [-90, 90] degrees, X and Z within
		// [-180, 180]; a rotation about a single axis gives that axis' angle only (Y only up to 90 degrees).
		// At gimbal lock (Y = +-90 degrees) X is reported as 0 and Z carries the rest.
		EulerAngles ToEulerAngles() const;
		Matrix ToRotationMatrix() const;

		// q1 * q2 applies q2 first, then q1.
		Quaternion operator*(const Quaternion& rhs) const;
		// The rotated vector, with w = 1.
		Vector operator*(const Vector& vector) const;
		Quaternion& operator*=(const Quaternion& rhs) { return *this = *this * rhs; }

		float Dot(const Quaternion& rhs) const { return x * rhs.x + y * rhs.y + z * rhs.z + w * rhs.w; }
		float Length() const { return std::sqrt(Dot(*this)); }
		// A zero quaternion becomes the identity rather than dividing by zero.
		void Normalize();
		Quaternion GetNormalized() const
		{
			Quaternion result = *this;
			result.Normalize();
			return result;
		}
		Quaternion GetConjugated() const { return Quaternion(-x, -y, -z, w); }
		// The opposite rotation; equal to the conjugate for unit quaternions.
		Quaternion GetInversed() const;

		// q and -q describe the same rotation, so both count as equal (every component within epsilon).
		bool Equals(const Quaternion& rhs, float epsilon = MATH_EPSILON) const;
		// Uses Equals with MATH_EPSILON.
		bool operator==(const Quaternion& rhs) const { return Equals(rhs); }
		bool operator!=(const Quaternion& rhs) const { return !Equals(rhs); }

		float x = 0.0f;
		float y = 0.0f;
		float z = 0.0f;
		float w = 1.0f;
	};

	std::ostream& operator<<(std::ostream& stream, const Quaternion& quaternion);
} // namespace Vorn
