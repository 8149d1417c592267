#include "rendering/meshrenderingcomponent.hpp"

#include "resources/meshresource.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::MeshRenderingComponent);

namespace Vorn
{
	MeshRenderingComponent::MeshRenderingComponent(const String& path, eResourceSource source)
	    : Mesh(ResourceManager<MeshResource>::Load(path, source))
	{
		if (Mesh)
			Materials.Resize(Mesh->GetSubMeshes().GetSize());
	}

	MeshRenderingComponent::~MeshRenderingComponent()
	{
		if (Mesh)
			ResourceManager<MeshResource>::Release(Mesh);
	}
} // namespace Vorn
