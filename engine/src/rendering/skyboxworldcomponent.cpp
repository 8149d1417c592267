#include "rendering/skyboxworldcomponent.hpp"

#include "resources/textureresource.hpp"
#include "utils/console.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::SkyboxWorldComponent);

namespace Vorn
{
	SkyboxWorldComponent::SkyboxWorldComponent(const String& panoramaPath, eResourceSource source)
	    : EquirectangularPanorama(ResourceManager<TextureResource>::Load(panoramaPath, source, eTextureUsageType::HDR))
	{
		gConsole.LogInfo("SkyboxWorldComponent::SkyboxWorldComponent panoramaPath: {}", panoramaPath);
	}

	SkyboxWorldComponent::~SkyboxWorldComponent()
	{
		if (EquirectangularPanorama)
			ResourceManager<TextureResource>::Release(EquirectangularPanorama);
	}
} // namespace Vorn
