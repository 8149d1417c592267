#include "math/quaternion.hpp"

#include "math/matrix.hpp"

#include <algorithm>
#include <ostream>

namespace Vorn
{
	Quaternion::Quaternion(const Vector& axis, Angle angle)
	{
		const Vector unitAxis = axis.GetNormalized();
		const float halfAngle = angle.AsRadians() * 0.5f;
		const float sine = std::sin(halfAngle);
		x = unitAxis.x * sine;
		y = unitAxis.y * sine;
		z = unitAxis.z * sine;
		w = std::cos(halfAngle);
	}

	Quaternion::Quaternion(const EulerAngles& angles)
	{
		*this = Quaternion(Vector::UNIT_Z, angles.Z) * Quaternion(Vector::UNIT_Y, angles.Y) *
		        Quaternion(Vector::UNIT_X, angles.X);
	}

	Quaternion Quaternion::FromRotationMatrix(const Matrix& matrix)
	{
		const auto& r = matrix.m;
		const float trace = r[0][0] + r[1][1] + r[2][2];
		Quaternion result;
		// Divide by the largest of the four candidates (4w, 4x, 4y, 4z) to stay clear of cancellation.
		if (trace > 0.0f)
		{
			const float s = std::sqrt(trace + 1.0f) * 2.0f;
			result = Quaternion((r[2][1] - r[1][2]) / s, (r[0][2] - r[2][0]) / s, (r[1][0] - r[0][1]) / s, 0.25f * s);
		}
		else if (r[0][0] > r[1][1] && r[0][0] > r[2][2])
		{
			const float s = std::sqrt(1.0f + r[0][0] - r[1][1] - r[2][2]) * 2.0f;
			result = Quaternion(0.25f * s, (r[0][1] + r[1][0]) / s, (r[0][2] + r[2][0]) / s, (r[2][1] - r[1][2]) / s);
		}
		else if (r[1][1] > r[2][2])
		{
			const float s = std::sqrt(1.0f + r[1][1] - r[0][0] - r[2][2]) * 2.0f;
			result = Quaternion((r[0][1] + r[1][0]) / s, 0.25f * s, (r[1][2] + r[2][1]) / s, (r[0][2] - r[2][0]) / s);
		}
		else
		{
			const float s = std::sqrt(1.0f + r[2][2] - r[0][0] - r[1][1]) * 2.0f;
			result = Quaternion((r[0][2] + r[2][0]) / s, (r[1][2] + r[2][1]) / s, 0.25f * s, (r[1][0] - r[0][1]) / s);
		}
		result.Normalize();
		return result;
	}

	Quaternion Quaternion::Slerp(const Quaternion& from, const Quaternion& to, float t)
	{
		Quaternion target = to;
		float cosine = from.Dot(to);
		if (cosine < 0.0f)
		{
			target = Quaternion(-to.x, -to.y, -to.z, -to.w);
			cosine = -cosine;
		}

		float fromWeight = 1.0f - t;
		float toWeight = t;
		// Near-parallel inputs make sin(angle) vanish; a normalised lerp is indistinguishable there.
		if (cosine < 0.9995f)
		{
			const float angle = std::acos(cosine);
			const float sine = std::sin(angle);
			fromWeight = std::sin((1.0f - t) * angle) / sine;
			toWeight = std::sin(t * angle) / sine;
		}

		Quaternion result(fromWeight * from.x + toWeight * target.x, fromWeight * from.y + toWeight * target.y,
		                  fromWeight * from.z + toWeight * target.z, fromWeight * from.w + toWeight * target.w);
		result.Normalize();
		return result;
	}

	EulerAngles Quaternion::ToEulerAngles() const
	{
		const Matrix rotation = ToRotationMatrix();
		const auto& r = rotation.m;
		// For R = Rz * Ry * Rx the bottom row is (-sin Y, sin X cos Y, cos X cos Y).
		const float sinY = std::clamp(-r[2][0], -1.0f, 1.0f);
		const Angle angleY = Angle::FromRadians(std::asin(sinY));
		if (std::fabs(sinY) > 0.99999f)
		{
			// Gimbal lock: X and Z turn about the same axis; put the whole turn into Z.
			return EulerAngles(Angle(), angleY, Angle::FromRadians(std::atan2(-r[0][1], r[1][1])));
		}
		return EulerAngles(Angle::FromRadians(std::atan2(r[2][1], r[2][2])), angleY,
		                   Angle::FromRadians(std::atan2(r[1][0], r[0][0])));
	}

	Matrix Quaternion::ToRotationMatrix() const
	{
		const float xx = x * x, yy = y * y, zz = z * z;
		const float xy = x * y, xz = x * z, yz = y * z;
		const float wx = w * x, wy = w * y, wz = w * z;

		Matrix result;
		result.m[0][0] = 1.0f - 2.0f * (yy + zz);
		result.m[0][1] = 2.0f * (xy - wz);
		result.m[0][2] = 2.0f * (xz + wy);
		result.m[1][0] = 2.0f * (xy + wz);
		result.m[1][1] = 1.0f - 2.0f * (xx + zz);
		result.m[1][2] = 2.0f * (yz - wx);
		result.m[2][0] = 2.0f * (xz - wy);
		result.m[2][1] = 2.0f * (yz + wx);
		result.m[2][2] = 1.0f - 2.0f * (xx + yy);
		return result;
	}

	Quaternion Quaternion::operator*(const Quaternion& rhs) const
	{
		return Quaternion(w * rhs.x + x * rhs.w + y * rhs.z - z * rhs.y, w * rhs.y - x * rhs.z + y * rhs.w + z * rhs.x,
		                  w * rhs.z + x * rhs.y - y * rhs.x + z * rhs.w, w * rhs.w - x * rhs.x - y * rhs.y - z * rhs.z);
	}

	Vector Quaternion::operator*(const Vector& vector) const
	{
		// v' = v + 2w (q x v) + 2 q x (q x v), the expanded form of q v q* for a unit q.
		const Vector axis(x, y, z);
		const Vector twiceCross = axis.Cross(vector) * 2.0f;
		return vector + twiceCross * w + axis.Cross(twiceCross);
	}

	void Quaternion::Normalize()
	{
		const float length = Length();
		if (length == 0.0f)
		{
			*this = Quaternion();
			return;
		}
		x /= length;
		y /= length;
		z /= length;
		w /= length;
	}

	Quaternion Quaternion::GetInversed() const
	{
		const float lengthSquared = Dot(*this);
		if (lengthSquared == 0.0f)
		{
			return Quaternion();
		}
		return Quaternion(-x / lengthSquared, -y / lengthSquared, -z / lengthSquared, w / lengthSquared);
	}

	bool Quaternion::Equals(const Quaternion& rhs, float epsilon) const
	{
		const bool same = IsNearlyEqual(x, rhs.x, epsilon) && IsNearlyEqual(y, rhs.y, epsilon) &&
		                  IsNearlyEqual(z, rhs.z, epsilon) && IsNearlyEqual(w, rhs.w, epsilon);
		const bool opposite = IsNearlyEqual(x, -rhs.x, epsilon) && IsNearlyEqual(y, -rhs.y, epsilon) &&
		                      IsNearlyEqual(z, -rhs.z, epsilon) && IsNearlyEqual(w, -rhs.w, epsilon);
		return same || opposite;
	}

	std::ostream& operator<<(std::ostream& stream, const Quaternion& quaternion)
	{
		return stream << "(" << quaternion.x << ", " << quaternion.y << ", " << quaternion.z << ", " << quaternion.w
		              << ")";
	}
} // namespace Vorn
