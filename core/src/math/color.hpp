#pragma once

#include <iosfwd>

namespace Vorn
{
	// Linear RGBA colour in floats; component-wise arithmetic, exact equality.
	struct Color
	{
		static const Color WHITE;
		static const Color BLACK;
		static const Color RED;
		static const Color GREEN;
		static const Color BLUE;

		constexpr Color() = default;
		constexpr Color(float r, float g, float b, float a = 1.0f) : r(r), g(g), b(b), a(a) {}

		constexpr Color operator+(const Color& rhs) const { return Color(r + rhs.r, g + rhs.g, b + rhs.b, a + rhs.a); }
		constexpr Color operator-(const Color& rhs) const { return Color(r - rhs.r, g - rhs.g, b - rhs.b, a - rhs.a); }
		constexpr Color operator*(const Color& rhs) const { return Color(r * rhs.r, g * rhs.g, b * rhs.b, a * rhs.a); }
		constexpr Color operator*(float factor) const { return Color(r * factor, g * factor, b * factor, a * factor); }

		Color& operator+=(const Color& rhs) { return *this = *this + rhs; }
		Color& operator-=(const Color& rhs) { return *this = *this - rhs; }
		Color& operator*=(const Color& rhs) { return *this = *this * rhs; }
		Color& operator*=(float factor) { return *this = *this * factor; }

		constexpr bool operator==(const Color& rhs) const
		{
			return r == rhs.r && g == rhs.g && b == rhs.b && a == rhs.a;
		}
		constexpr bool operator!=(const Color& rhs) const { return !(*this == rhs); }

		// Opaque black by default.
		float r = 0.0f;
		float g = 0.0f;
		float b = 0.0f;
		float a = 1.0f;
	};

	std::ostream& operator<<(std::ostream& stream, const Color& color);

	inline constexpr Color Color::WHITE = Color(1.0f, 1.0f, 1.0f);
	inline constexpr Color Color::BLACK = Color(0.0f, 0.0f, 0.0f);
	inline constexpr Color Color::RED = Color(1.0f, 0.0f, 0.0f);
	inline constexpr Color Color::GREEN = Color(0.0f, 1.0f, 0.0f);
	inline constexpr Color Color::BLUE = Color(0.0f, 0.0f, 1.0f);
} // namespace Vorn
