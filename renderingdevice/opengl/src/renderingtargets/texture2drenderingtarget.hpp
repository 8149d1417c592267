#pragma once

#include "defines.hpp"
#include "proxy/gltexturedeviceproxy.hpp"
#include "renderingtargets/renderingtargetbase.hpp"

#include <memory>

namespace Vorn
{
	// A texture at the current screen size that passes draw into and sample from. Resizing keeps its texture
	// name, so framebuffers that reference it stay valid.
	class Texture2DRenderingTarget : public RenderingTargetBase
	{
	public:
		// `internalFormat` documents what the caller asks for but is not used: the texture's format follows `type`
		// (RGB8 for COLOR, RGBA16F for HDR_COLOR, a depth texture for DEPTH). Needs a live device for the screen size.
		explicit Texture2DRenderingTarget(u32 internalFormat, eRenderTargetType type = eRenderTargetType::COLOR);
		~Texture2DRenderingTarget() override;

		eRenderingTargetType GetType() const override { return eRenderingTargetType::TEXTURE_2D; }
		void Resize(ScreenSize const& size) override;

		u32 GetTextureID() const { return Texture->GetResourceID(); }
		eRenderTargetType GetRenderTargetType() const { return RenderTargetType; }

	private:
		eRenderTargetType RenderTargetType;
		std::unique_ptr<GLTextureDeviceProxy> Texture;
	};
} // namespace Vorn
