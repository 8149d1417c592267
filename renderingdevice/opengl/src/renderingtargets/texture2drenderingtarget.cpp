#include "renderingtargets/texture2drenderingtarget.hpp"

#include "glrenderingdevice.hpp"

namespace Vorn
{
	Texture2DRenderingTarget::Texture2DRenderingTarget(u32 /*internalFormat*/, eRenderTargetType type)
	    : RenderTargetType(type)
	{
		const ScreenSize& size = gRenderingDevice->GetScreenSize();
		Texture.reset(new GLTextureDeviceProxy(static_cast<std::size_t>(size.Width),
		                                       static_cast<std::size_t>(size.Height), type));
	}

	Texture2DRenderingTarget::~Texture2DRenderingTarget() = default;

	void Texture2DRenderingTarget::Resize(ScreenSize const& size) { Texture->Resize(size); }
} // namespace Vorn
