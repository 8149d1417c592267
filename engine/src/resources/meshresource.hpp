#pragma once

#include "collections/dynarray.hpp"
#include "memory/baseobject.hpp"
#include "rendering/imeshdeviceproxy.hpp"
#include "rendering/itexturedeviceproxy.hpp"
#include "resources/mesh.hpp"
#include "resources/resourcemanager.hpp"

#include <cstddef>
#include <memory>

// The importer's records are only named here; their headers stay inside the engine's sources.
struct aiMesh;
struct aiMaterial;

namespace Vorn
{
	class TextureResource;

	// Model files and every file the importer opens beside them (material libraries) are refused above this size.
	constexpr std::size_t MAX_MODEL_FILE_BYTES = 256 * 1024 * 1024;

	// A model file, shared per path through ResourceManager<MeshResource>. Every triangle mesh of the file
	// becomes a sub-mesh with its own geometry, device mesh and material textures; node transforms, cameras,
	// lights and animations of the file are not read.
	class MeshResource : public ResourceBase
	{
	public:
		class SubMesh : public BaseObject
		{
		public:
			// `path` is the model's full path; texture paths of the material are relative to its folder.
			SubMesh(const String& path, aiMesh* mesh, aiMaterial* material);
			~SubMesh() override;
			SubMesh(const SubMesh&) = delete;
			SubMesh& operator=(const SubMesh&) = delete;

			const Mesh& GetMeshData() const { return MeshData; }
			IMeshDeviceProxy* GetMeshProxy() const { return MeshProxy.get(); }

		private:
			void LoadGeometry(aiMesh* mesh);
			// The first texture of assimp texture type `type`, or null.
			static TextureResource* LoadTexture(const aiMaterial* material, const String& path, unsigned int type,
			                                    eTextureUsageType usage);

			// Declared before the proxy so that the device mesh goes first.
			Mesh MeshData;
			std::unique_ptr<IMeshDeviceProxy> MeshProxy;
		};

		// `path` is the full path. Throws ResourceLoadFailedException when the file cannot be imported or holds
		// no triangle mesh.
		explicit MeshResource(const String& path);

		// In the order of the file's mesh list, without the meshes that are not made of triangles.
		const Dynarray<std::unique_ptr<SubMesh>>& GetSubMeshes() const { return SubMeshes; }

	protected:
		~MeshResource() override;

	private:
		Dynarray<std::unique_ptr<SubMesh>> SubMeshes;
	};
} // namespace Vorn

VORN_DECLARE_RESOURCE_REGISTRY(MeshResource, gMeshResourcesMap)
