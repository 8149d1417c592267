#include "ecs/componentbase.hpp"

namespace Vorn
{
	// Out of line so that the class's vtable and type information live once, in the engine library.
	ComponentBase::~ComponentBase() = default;
} // namespace Vorn
