#include "particles/spritesheetcomponent.hpp"

#include "resources/textureresource.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::SpritesheetComponent);

namespace Vorn
{
	SpritesheetComponent::SpritesheetComponent(const SpritesheetSettings& settings)
	    : Settings(settings), Spritesheet(ResourceManager<TextureResource>::Load(
	                              settings.SpritePath, settings.SpriteSource, eTextureUsageType::ALBEDO))
	{
	}

	SpritesheetComponent::~SpritesheetComponent()
	{
		if (Spritesheet)
			ResourceManager<TextureResource>::Release(Spritesheet);
	}
} // namespace Vorn
