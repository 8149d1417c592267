#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "ecs/componentbase.hpp"
#include "rendering/material.hpp"
#include "resources/resourcemanager.hpp"
#include "utils/string.hpp"

#include <cstddef>

namespace Vorn
{
	class MeshResource;

	enum class eShadingMode : u32
	{
		NONE, // hides the mesh
		UNLIT,
		PBR, // the only mode the device draws
		_COUNT
	};

	enum class eBlendingMode : u32
	{
		NONE,
		OPAQUE,
		TRANSLUCENT,
		_COUNT
	};

	// Draws a mesh resource with the transform of its entity, one material per sub-mesh. Holds a reference to
	// the mesh, so it is not copied.
	class MeshRenderingComponent : public ComponentBase
	{
	public:
		MeshRenderingComponent(const String& path, eResourceSource source);
		~MeshRenderingComponent() override;
		MeshRenderingComponent(const MeshRenderingComponent&) = delete;
		MeshRenderingComponent& operator=(const MeshRenderingComponent&) = delete;

		// Null when the mesh could not be loaded; such a component has no materials and draws nothing.
		MeshResource* GetMesh() const { return Mesh; }

		// One per sub-mesh, in sub-mesh order.
		const Material& GetMaterial(int index) const { return Materials[static_cast<u64>(index)]; }
		void SetMaterial(std::size_t index, const Material& material) { Materials[index] = material; }

		eShadingMode GetShadingModel() const { return ShadingModel; }
		void SetShadingModel(eShadingMode mode) { ShadingModel = mode; }
		eBlendingMode GetBlendingMode() const { return BlendingMode; }
		void SetBlendingMode(eBlendingMode mode) { BlendingMode = mode; }
		// Draws the edges only.
		bool GetIsWireframe() const { return IsWireframe; }
		void SetIsWireframe(bool isWireframe) { IsWireframe = isWireframe; }

	private:
		MeshResource* Mesh;
		Dynarray<Material> Materials;
		eShadingMode ShadingModel = eShadingMode::PBR;
		eBlendingMode BlendingMode = eBlendingMode::OPAQUE;
		bool IsWireframe = false;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::MeshRenderingComponent);
