#include "resources/mesh.hpp"

#include "resources/textureresource.hpp"

namespace Vorn
{
	Mesh::~Mesh()
	{
		for (TextureResource* map : {AlbedoMap, RoughnessMap, MetallicMap, AmbientOcclusionMap, NormalMap, EmissiveMap})
		{
			if (map)
				ResourceManager<TextureResource>::Release(map);
		}
	}
} // namespace Vorn
