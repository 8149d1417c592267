#include "renderingtargets/depthrenderingtarget.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	DepthRenderingTarget::DepthRenderingTarget()
	    : Texture2DRenderingTarget(GL_DEPTH_COMPONENT24, eRenderTargetType::DEPTH)
	{
	}
} // namespace Vorn
