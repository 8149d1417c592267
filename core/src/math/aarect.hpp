#pragma once

#include "math/vector2f.hpp"

namespace Vorn
{
	// Axis-aligned rectangle given by its minimum corner and its size.
	class AARect
	{
	public:
		constexpr AARect() = default;
		constexpr AARect(const Vector2f& min, const Vector2f& size) : Min(min), Size(size) {}

		constexpr const Vector2f& GetMin() const { return Min; }
		constexpr Vector2f GetMax() const { return Min + Size; }
		constexpr const Vector2f& GetSize() const { return Size; }

		constexpr bool operator==(const AARect& rhs) const { return Min == rhs.Min && Size == rhs.Size; }
		constexpr bool operator!=(const AARect& rhs) const { return !(*this == rhs); }

	private:
		Vector2f Min;
		Vector2f Size;
	};
} // namespace Vorn
