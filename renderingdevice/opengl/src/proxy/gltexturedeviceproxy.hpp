#pragma once

#include "defines.hpp"
#include "rendering/irenderingdevice.hpp"
#include "rendering/itexturedeviceproxy.hpp"

#include <cstddef>

namespace Vorn
{
	// What a render-target texture is attached as.
	enum class eRenderTargetType : u32
	{
		NONE = 0, // an ordinary texture
		COLOR = 1,
		DEPTH = 2,
		HDR_COLOR = 3, // RGBA 16-bit floating point, for colour beyond 1
	};

	// A 2D OpenGL texture whose storage formats follow from its usage. Owns the texture name; must die before the
	// device's context.
	class GLTextureDeviceProxy : public ITextureDeviceProxy
	{
	public:
		GLTextureDeviceProxy(std::size_t width, std::size_t height, std::size_t channels, eTextureUsageType usage);
		// Render targets only: no channel count, usage RENDER_TARGET.
		GLTextureDeviceProxy(std::size_t width, std::size_t height, eRenderTargetType type);
		~GLTextureDeviceProxy() override;
		GLTextureDeviceProxy(const GLTextureDeviceProxy&) = delete;
		GLTextureDeviceProxy& operator=(const GLTextureDeviceProxy&) = delete;

		void SetContent(const unsigned char* data) override;
		void SetContentHDR(const float* data) override;
		void SetSubContent(std::size_t width, std::size_t height, std::size_t offsetX, std::size_t offsetY,
		                   const unsigned char* data) override;
		unsigned int GetResourceID() const override { return TextureID; }

		// Render targets follow the screen size; the content is lost.
		void Resize(ScreenSize const& size);

	private:
		void InitTexture();
		void AllocateLevelZero();
		void WriteLevelZero(const void* data, u32 dataType);
		void UploadWholeImage(const void* data, u32 dataType);

		u64 Width = 0;
		u64 Height = 0;
		u64 Channels = 0;
		u32 TextureID = 0;
		u32 InternalFormat = 0;
		u32 Format = 0;
		eTextureUsageType Usage = eTextureUsageType::ALBEDO;
		eRenderTargetType RenderTargetType = eRenderTargetType::NONE;
	};
} // namespace Vorn
