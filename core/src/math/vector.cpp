#include "math/vector.hpp"

#include <ostream>

namespace Vorn
{
	void Vector::Normalize()
	{
		const float length = Length();
		if (length > 0.0f)
		{
			*this /= length;
		}
		w = 1.0f;
	}

	std::ostream& operator<<(std::ostream& stream, const Vector& vector)
	{
		return stream << "(" << vector.x << ", " << vector.y << ", " << vector.z << ", " << vector.w << ")";
	}
} // namespace Vorn
