#pragma once

#include "math/angle.hpp"
#include "math/vector.hpp"

#include <iosfwd>

namespace Vorn
{
	class Quaternion;

	// 4x4 float matrix stored row-major (m[row][col]) and applied to column vectors: M * v transforms v,
	// A * B applies B first, and translation lives in the last column. Uploading to OpenGL therefore
	// needs a transpose (or the transpose flag).
	struct Matrix
	{
		static const Matrix IDENTITY;

		constexpr Matrix() : m{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}} {}
		// The sixteen values in row order.
		explicit Matrix(const float (&rowMajor)[16]);
		// World-to-view matrix of a camera at `position` looking at `target`; view space looks down -Z
		// with `up` projected to +Y (right-handed, like gluLookAt). `up` must not be parallel to the view direction.
		Matrix(const Vector& position, const Vector& target, const Vector& up);

		// The product T * R * S that Decompose takes apart.
		static Matrix Compose(const Vector& translation, const Quaternion& rotation, const Vector& scale);

		// Both setters write only their own entries (last column, diagonal) and leave the rest untouched.
		void SetTranslation(const Vector& translation);
		void SetScale(const Vector& scale);
		Vector GetTranslation() const { return Vector(m[0][3], m[1][3], m[2][3]); }

		// OpenGL perspective projection (as gluPerspective): vertical field of view, right-handed view space
		// looking down -Z, points at distance zNear and zFar map to clip depth -1 and +1. Replaces every entry.
		void SetPerspective(Angle fov, float aspect, float zNear, float zFar);
		// OpenGL orthographic projection (as glOrtho(left, right, bottom, top, zNear, zFar)) - note the argument
		// order here starts with bottom and top. Replaces every entry.
		void SetOrthographic(float bottom, float top, float left, float right, float zNear, float zFar);

		// General inverse; a singular matrix has none and yields the zero matrix.
		Matrix GetInversed() const;
		Matrix GetTransposed() const;
		float GetDeterminant() const;

		// Splits a translation * rotation * scale matrix into its parts. A mirroring matrix (negative
		// determinant) gets a negative x scale so that the rotation stays proper; with a zero scale no
		// rotation can be recovered and the identity comes back.
		void Decompose(Vector& translation, Quaternion& rotation, Vector& scale) const;

		Matrix operator*(const Matrix& rhs) const;
		// Uses all four components of the vector, w included, and does no perspective divide.
		Vector operator*(const Vector& vector) const;
		Matrix& operator*=(const Matrix& rhs) { return *this = *this * rhs; }

		float* GetData() { return &m[0][0]; }
		const float* GetData() const { return &m[0][0]; }

		bool Equals(const Matrix& rhs, float epsilon = MATH_EPSILON) const;
		// Uses Equals with MATH_EPSILON.
		bool operator==(const Matrix& rhs) const { return Equals(rhs); }
		bool operator!=(const Matrix& rhs) const { return !Equals(rhs); }

		float m[4][4];
	};

	std::ostream& operator<<(std::ostream& stream, const Matrix& matrix);

	inline constexpr Matrix Matrix::IDENTITY = Matrix();
} // namespace Vorn
