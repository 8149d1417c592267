#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "math/vector3f.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	class TextureResource;

	// CPU geometry of one sub-mesh of a model, with the textures of its material. Every vertex array that is
	// present has one entry per vertex; indices come three per triangle. The device reads the arrays when the
	// mesh is uploaded, and the 3D physics builds collision meshes from them later, so they stay alive.
	class Mesh : public BaseObject
	{
	public:
		struct TextCoord
		{
			float U = 0.0f;
			float V = 0.0f;
		};

		Mesh() = default;
		~Mesh() override;
		Mesh(const Mesh&) = delete;
		Mesh& operator=(const Mesh&) = delete;

		// Each map is null or holds one registry reference owned by the mesh.
		TextureResource* GetAlbedoMap() const { return AlbedoMap; }
		TextureResource* GetRoughnessMap() const { return RoughnessMap; }
		TextureResource* GetMetallicMap() const { return MetallicMap; }
		TextureResource* GetAmbientOcclusionMap() const { return AmbientOcclusionMap; }
		TextureResource* GetNormalMap() const { return NormalMap; }
		TextureResource* GetEmissiveMap() const { return EmissiveMap; }

		const Dynarray<Vector3f>& GetPositions() const { return Positions; }
		const Dynarray<Vector3f>& GetNormals() const { return Normals; }
		const Dynarray<Vector3f>& GetTangents() const { return Tangents; }
		const Dynarray<Vector3f>& GetBitangents() const { return Bitangents; }
		const Dynarray<TextCoord>& GetTextCoords() const { return TextCoords; }
		const Dynarray<u32>& GetIndicies() const { return Indicies; }

		u64 GetVertexCount() const { return Positions.GetSize(); }
		u64 GetTriangleCount() const { return Indicies.GetSize() / 3; }

		bool HasVertices() const { return !Positions.IsEmpty(); }
		bool HasNormals() const { return !Normals.IsEmpty(); }
		bool HasTangents() const { return !Tangents.IsEmpty(); }
		bool HasBitangents() const { return !Bitangents.IsEmpty(); }
		bool HasTextCoords() const { return !TextCoords.IsEmpty(); }
		bool HasIndicies() const { return !Indicies.IsEmpty(); }

	private:
		TextureResource* AlbedoMap = nullptr;
		TextureResource* RoughnessMap = nullptr;
		TextureResource* MetallicMap = nullptr;
		TextureResource* AmbientOcclusionMap = nullptr;
		TextureResource* NormalMap = nullptr;
		TextureResource* EmissiveMap = nullptr;

		Dynarray<Vector3f> Positions;
		Dynarray<Vector3f> Normals;
		Dynarray<Vector3f> Tangents;
		Dynarray<Vector3f> Bitangents;
		Dynarray<TextCoord> TextCoords;
		Dynarray<u32> Indicies;

		// The model loader fills the arrays and maps.
		friend class MeshResource;
	};

	static_assert(sizeof(Mesh::TextCoord) == 2 * sizeof(float), "Texture coordinates are uploaded as packed pairs");
} // namespace Vorn
