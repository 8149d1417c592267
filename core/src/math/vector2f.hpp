#pragma once

namespace Vorn
{
	// Plain pair of floats (screen fractions, sprite sheet grids). Equality is exact.
	struct Vector2f
	{
		constexpr Vector2f() = default;
		constexpr Vector2f(float x, float y) : x(x), y(y) {}

		constexpr Vector2f operator+(const Vector2f& rhs) const { return Vector2f(x + rhs.x, y + rhs.y); }
		constexpr Vector2f operator-(const Vector2f& rhs) const { return Vector2f(x - rhs.x, y - rhs.y); }
		constexpr Vector2f operator-() const { return Vector2f(-x, -y); }
		constexpr Vector2f operator*(float factor) const { return Vector2f(x * factor, y * factor); }
		constexpr Vector2f operator/(float divisor) const { return Vector2f(x / divisor, y / divisor); }

		Vector2f& operator+=(const Vector2f& rhs)
		{
			x += rhs.x;
			y += rhs.y;
			return *this;
		}
		Vector2f& operator-=(const Vector2f& rhs)
		{
			x -= rhs.x;
			y -= rhs.y;
			return *this;
		}

		constexpr bool operator==(const Vector2f& rhs) const { return x == rhs.x && y == rhs.y; }
		constexpr bool operator!=(const Vector2f& rhs) const { return !(*this == rhs); }

		float x = 0.0f;
		float y = 0.0f;
	};
} // namespace Vorn
