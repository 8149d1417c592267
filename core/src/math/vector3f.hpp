#pragma once

namespace Vorn
{
	// Three tightly packed floats, the layout of vertex attributes and debug lines. Equality is exact.
	struct Vector3f
	{
		constexpr Vector3f() = default;
		constexpr Vector3f(float x, float y, float z) : x(x), y(y), z(z) {}

		constexpr Vector3f operator+(const Vector3f& rhs) const { return Vector3f(x + rhs.x, y + rhs.y, z + rhs.z); }
		constexpr Vector3f operator-(const Vector3f& rhs) const { return Vector3f(x - rhs.x, y - rhs.y, z - rhs.z); }
		constexpr Vector3f operator-() const { return Vector3f(-x, -y, -z); }
		constexpr Vector3f operator*(float factor) const { return Vector3f(x * factor, y * factor, z * factor); }
		constexpr Vector3f operator/(float divisor) const { return Vector3f(x / divisor, y / divisor, z / divisor); }

		Vector3f& operator+=(const Vector3f& rhs)
		{
			x += rhs.x;
			y += rhs.y;
			z += rhs.z;
			return *this;
		}
		Vector3f& operator-=(const Vector3f& rhs)
		{
			x -= rhs.x;
			y -= rhs.y;
			z -= rhs.z;
			return *this;
		}

		constexpr bool operator==(const Vector3f& rhs) const { return x == rhs.x && y == rhs.y && z == rhs.z; }
		constexpr bool operator!=(const Vector3f& rhs) const { return !(*this == rhs); }

		float x = 0.0f;
		float y = 0.0f;
		float z = 0.0f;
	};

	static_assert(sizeof(Vector3f) == 3 * sizeof(float), "Vector3f must stay tightly packed for vertex buffers");
} // namespace Vorn
