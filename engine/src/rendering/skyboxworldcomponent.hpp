#pragma once

#include "ecs/componentbase.hpp"
#include "math/color.hpp"
#include "resources/resourcemanager.hpp"
#include "utils/string.hpp"

namespace Vorn
{
	class TextureResource;

	// The sky: an equirectangular HDR panorama that the device turns into its environment cubemaps. Holds a
	// reference to the panorama, so it is not copied.
	class SkyboxWorldComponent : public ComponentBase
	{
	public:
		SkyboxWorldComponent(const String& panoramaPath, eResourceSource source);
		~SkyboxWorldComponent() override;
		SkyboxWorldComponent(const SkyboxWorldComponent&) = delete;
		SkyboxWorldComponent& operator=(const SkyboxWorldComponent&) = delete;

		// Null when the panorama could not be loaded.
		TextureResource* GetPanorama() const { return EquirectangularPanorama; }
		const Color& GetTint() const { return Tint; }
		void SetTint(const Color& tint) { Tint = tint; }

	private:
		TextureResource* EquirectangularPanorama;
		Color Tint = Color::WHITE;
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::SkyboxWorldComponent);
