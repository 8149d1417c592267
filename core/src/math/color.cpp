#include "math/color.hpp"

#include <ostream>

namespace Vorn
{
	std::ostream& operator<<(std::ostream& stream, const Color& color)
	{
		return stream << "(" << color.r << ", " << color.g << ", " << color.b << ", " << color.a << ")";
	}
} // namespace Vorn
