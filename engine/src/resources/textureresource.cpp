#include "resources/textureresource.hpp"

#include "engine.hpp"
#include "resources/image.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <memory>

VORN_DEFINE_RESOURCE_REGISTRY(TextureResource, gTextureResourcesMap)

namespace Vorn
{
	namespace
	{
		int GetRequestedChannels(eTextureUsageType usage)
		{
			switch (usage)
			{
			case eTextureUsageType::ALBEDO:
			case eTextureUsageType::EMISSIVE:
			case eTextureUsageType::RENDER_TARGET:
				return 4;
			case eTextureUsageType::METALLIC:
			case eTextureUsageType::ROUGHNESS:
			case eTextureUsageType::AMBIENT_OCCLUSION:
			case eTextureUsageType::NORMAL:
			case eTextureUsageType::FONT:
			case eTextureUsageType::HDR:
				return 3;
			default:
				VORN_FAIL("Uknown eTextureUsageType!");
			}
		}
	} // namespace

	TextureResource::TextureResource(const String& path, eTextureUsageType usage)
	{
		gConsole.LogInfo("TextureResource::TextureResource path: {} usage: {}", path, usage);
		const int requestedChannels = GetRequestedChannels(usage);
		IRenderingDevice* device = gEngine->GetRenderingDevice();

		if (usage == eTextureUsageType::HDR)
		{
			// Owned so that a device failure on the way still frees the pixels.
			std::unique_ptr<float, void (*)(float*)> data(LoadImageHDR(path, &Width, &Height, &Channels), FreeImageHDR);
			if (!data)
				throw ResourceLoadFailedException();
			// The device reads three floats per texel; a grey image converted to floats holds fewer and would be
			// read past its end.
			if (Channels < 3)
			{
				gConsole.LogError("TextureResource::TextureResource {} has {} channels, an HDR texture needs 3", path,
				                  Channels);
				throw ResourceLoadFailedException();
			}
			gConsole.LogInfo("TextureResource::TextureResource loaded width: {}, height: {}, channels: {}", Width,
			                 Height, Channels);
			TextureProxy = device->CreateTexture(Width, Height, 3, eTextureUsageType::HDR);
			TextureProxy->SetContentHDR(data.get());
			return;
		}

		std::unique_ptr<unsigned char, void (*)(unsigned char*)> data(
		    LoadImage(path, &Width, &Height, &Channels, requestedChannels), FreeImage);
		if (!data)
			throw ResourceLoadFailedException();
		gConsole.LogInfo(
		    "TextureResource::TextureResource loaded width: {}, height: {}, channels: {}, desiredChannels: {}", Width,
		    Height, Channels, requestedChannels);
		TextureProxy = device->CreateTexture(Width, Height, requestedChannels, usage);
		TextureProxy->SetContent(data.get());
	}

	TextureResource::~TextureResource() = default;
} // namespace Vorn
