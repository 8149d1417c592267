#pragma once

#include "renderingtargets/texture2drenderingtarget.hpp"

namespace Vorn
{
	// A screen-sized depth texture; a pass with colour outputs needs one as its depth.
	class DepthRenderingTarget : public Texture2DRenderingTarget
	{
	public:
		DepthRenderingTarget();

		eRenderingTargetType GetType() const override { return eRenderingTargetType::DEPTH; }
	};
} // namespace Vorn
