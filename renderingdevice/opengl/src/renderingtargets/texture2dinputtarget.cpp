#include "renderingtargets/texture2dinputtarget.hpp"

#include "resources/resourcemanager.hpp"
#include "resources/textureresource.hpp"

namespace Vorn
{
	Texture2DInputTarget::Texture2DInputTarget(String const& path)
	    : Texture(ResourceManager<TextureResource>::Load(path, eResourceSource::ENGINE, eTextureUsageType::ALBEDO))
	{
	}

	Texture2DInputTarget::~Texture2DInputTarget()
	{
		if (Texture)
			ResourceManager<TextureResource>::Release(Texture);
	}

	u32 Texture2DInputTarget::GetTextureID() const { return Texture ? Texture->GetTextureProxy()->GetResourceID() : 0; }
} // namespace Vorn
