#pragma once

#include "defines.hpp"
#include "rendering/itexturedeviceproxy.hpp"
#include "resources/resourcemanager.hpp"

#include <memory>

namespace Vorn
{
	// A 2D image file on the device, shared per path through ResourceManager<TextureResource>. The pixels
	// are uploaded once and freed; only the device texture and the image size stay.
	class TextureResource : public ResourceBase
	{
	public:
		// `path` is the full path. `usage` picks the channel count asked from the decoder and handed to the
		// device; HDR decodes to floats. Throws ResourceLoadFailedException when the file gives no pixels.
		TextureResource(const String& path, eTextureUsageType usage);

		ITextureDeviceProxy* GetTextureProxy() const { return TextureProxy.get(); }
		i32 GetWidth() const { return Width; }
		i32 GetHeight() const { return Height; }
		// The channel count stored in the file, which may differ from the count on the device.
		i32 GetChannels() const { return Channels; }

	protected:
		~TextureResource() override;

	private:
		std::unique_ptr<ITextureDeviceProxy> TextureProxy;
		i32 Width = 0;
		i32 Height = 0;
		i32 Channels = 0;
	};
} // namespace Vorn

VORN_DECLARE_RESOURCE_REGISTRY(TextureResource, gTextureResourcesMap)
