#pragma once

#include "defines.hpp"

namespace Vorn
{
	// Integer pair for pixel positions, sizes and mouse or wheel amounts.
	struct Vector2i
	{
		constexpr Vector2i() = default;
		constexpr Vector2i(i32 x, i32 y) : x(x), y(y) {}

		constexpr Vector2i operator+(const Vector2i& rhs) const { return Vector2i(x + rhs.x, y + rhs.y); }
		constexpr Vector2i operator-(const Vector2i& rhs) const { return Vector2i(x - rhs.x, y - rhs.y); }
		constexpr Vector2i operator-() const { return Vector2i(-x, -y); }
		constexpr Vector2i operator*(i32 factor) const { return Vector2i(x * factor, y * factor); }

		Vector2i& operator+=(const Vector2i& rhs)
		{
			x += rhs.x;
			y += rhs.y;
			return *this;
		}
		Vector2i& operator-=(const Vector2i& rhs)
		{
			x -= rhs.x;
			y -= rhs.y;
			return *this;
		}

		constexpr bool operator==(const Vector2i& rhs) const { return x == rhs.x && y == rhs.y; }
		constexpr bool operator!=(const Vector2i& rhs) const { return !(*this == rhs); }

		i32 x = 0;
		i32 y = 0;
	};
} // namespace Vorn
