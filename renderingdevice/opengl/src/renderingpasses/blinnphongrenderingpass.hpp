#pragma once

#include "renderingpasses/renderingpassbase.hpp"

namespace Vorn
{
	class MeshRenderingComponent;

	// The fallback renderer's lit meshes: Blinn-Phong shading under the world's ambient light and its first eight
	// directional, point and spot lights each. With DEFAULT it draws the opaque and cut-out PBR meshes (translucent
	// ones are left to the transparent pass); FORCE_ALL draws every mesh. A mesh component set to wireframe is drawn
	// as lines, and so is every mesh while the renderer rasterises lines. A world without ambient light is lit with
	// black ambient light.
	class BlinnPhongRenderingPass : public RenderingPassBase
	{
	public:
		static constexpr int MAX_LIGHTS = 8;
		// Every material's shininess: the materials carry roughness, which Blinn-Phong has no use for.
		static constexpr float SHININESS = 16.0f;

		explicit BlinnPhongRenderingPass(GLRenderingDevice* device);

		// The filter: FORCE_ALL takes every mesh, DEFAULT the PBR meshes that are not translucent.
		static bool IsDrawn(const MeshRenderingComponent& mesh, ePassType passType);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;

	private:
		void SetLights(World* world);
	};
} // namespace Vorn
