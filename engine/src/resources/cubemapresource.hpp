#pragma once

#include "defines.hpp"
#include "rendering/icubemapdeviceproxy.hpp"
#include "resources/resourcemanager.hpp"
#include "utils/enumutils.hpp"

#include <memory>

namespace Vorn
{
	// A cubemap built from six float images. Cubemaps have no registry: whoever constructs one owns it.
	class CubemapResource : public ResourceBase
	{
	public:
		// Six paths relative to the engine asset root, one per side. Throws ResourceLoadFailedException when a
		// side cannot be decoded.
		explicit CubemapResource(EnumArray<String, eCubemapSide> paths);
		~CubemapResource() override;

		ICubemapDeviceProxy* GetTextureProxy() const { return TextureProxy.get(); }
		// The largest width and the largest height among the six sides.
		i32 GetWidth() const { return Width; }
		i32 GetHeight() const { return Height; }
		// Always 3: every face reaches the device as three floats per texel.
		i32 GetChannels() const { return Channels; }
		// The side images are freed once uploaded, so this is null for a finished cubemap.
		const float* GetImage(eCubemapSide side) const { return Images[side]; }

	private:
		std::unique_ptr<ICubemapDeviceProxy> TextureProxy;
		EnumArray<float*, eCubemapSide> Images;
		i32 Width = 0;
		i32 Height = 0;
		i32 Channels = 3;
	};
} // namespace Vorn
