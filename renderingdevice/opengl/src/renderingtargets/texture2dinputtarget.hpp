#pragma once

#include "renderingtargets/renderingtargetbase.hpp"
#include "utils/string.hpp"

namespace Vorn
{
	class TextureResource;

	// A texture from the engine assets, loaded as an albedo map, that a pass samples like any other input.
	// Holds one registry reference to the texture for its whole life.
	class Texture2DInputTarget : public RenderingTargetBase
	{
	public:
		// `path` is relative to the engine assets. A file that does not load leaves the target without a texture
		// (the registry logs why).
		explicit Texture2DInputTarget(String const& path);
		~Texture2DInputTarget() override;

		eRenderingTargetType GetType() const override { return eRenderingTargetType::TEXTURE_2D_INPUT; }
		// Images keep their own size.
		void Resize(ScreenSize const&) override {}

		// Null when the file did not load.
		TextureResource* GetTexture() const { return Texture; }
		// 0 when the file did not load.
		u32 GetTextureID() const;

	private:
		TextureResource* Texture = nullptr;
	};
} // namespace Vorn
