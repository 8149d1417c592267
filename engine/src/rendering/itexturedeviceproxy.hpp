#pragma once

#include "memory/baseobject.hpp"

#include <cstddef>

namespace Vorn
{
	// What a 2D texture is for; the device picks its storage format from it.
	enum class eTextureUsageType
	{
		ALBEDO,
		METALLIC,
		ROUGHNESS,
		AMBIENT_OCCLUSION,
		EMISSIVE,
		NORMAL,
		FONT,
		HDR,
		RENDER_TARGET, // device-internal; the engine never asks for one
		_COUNT
	};

	// A 2D texture living on the device. HDR textures take only float data, every other usage only bytes.
	class ITextureDeviceProxy : public BaseObject
	{
	public:
		ITextureDeviceProxy() = default;
		ITextureDeviceProxy(const ITextureDeviceProxy&) = default;
		ITextureDeviceProxy(ITextureDeviceProxy&&) = default;
		ITextureDeviceProxy& operator=(const ITextureDeviceProxy&) = default;
		ITextureDeviceProxy& operator=(ITextureDeviceProxy&&) = default;
		~ITextureDeviceProxy() override;

		// Whole image, width * height * channels bytes in the image loader's row order.
		virtual void SetContent(const unsigned char* data) = 0;
		virtual void SetContentHDR(const float* data) = 0;
		// A width x height rectangle whose first texel lands at (offsetX, offsetY); it must lie inside the texture.
		virtual void SetSubContent(std::size_t width, std::size_t height, std::size_t offsetX, std::size_t offsetY,
		                           const unsigned char* data) = 0;
		virtual unsigned int GetResourceID() const = 0;
	};
} // namespace Vorn
