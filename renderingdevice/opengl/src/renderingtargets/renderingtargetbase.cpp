#include "renderingtargets/renderingtargetbase.hpp"

namespace Vorn
{
	RenderingTargetBase::~RenderingTargetBase() = default;
} // namespace Vorn
