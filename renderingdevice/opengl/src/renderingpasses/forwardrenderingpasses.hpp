#pragma once

#include "renderingpasses/renderingpassbase.hpp"

namespace Vorn
{
	// The fallback renderer's geometry passes besides Blinn-Phong. Each draws one kind of component of the world
	// through the camera; the renderer sets the shared depth, blending and culling state around them.

	// Every mesh component in its materials' colours and albedo maps, without light.
	class UnlitRenderingPass : public RenderingPassBase
	{
	public:
		explicit UnlitRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};

	// A flat square in each material's colour for every translucent mesh near the camera.
	class TransparentRenderingPass : public RenderingPassBase
	{
	public:
		// How far from the camera, vertically (and times the aspect, horizontally), a translucent mesh is drawn.
		static constexpr float VISIBLE_HALF_HEIGHT = 8.5f;
		// The square floats this far above the mesh along +Z.
		static constexpr float RAISE = 0.5f;

		explicit TransparentRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};

	// The world's sky panorama behind everything, looked up by direction. Draws nothing without a sky.
	class SkyboxRenderingPass : public RenderingPassBase
	{
	public:
		explicit SkyboxRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};

	// The world's particle emitters, the same way the tiled renderer draws them.
	class ParticlesRenderingPass : public RenderingPassBase
	{
	public:
		explicit ParticlesRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};

	// Every SpritesheetComponent as a camera-facing quad stepping through its sheet's sub-images.
	class SpritesheetRenderingPass : public RenderingPassBase
	{
	public:
		explicit SpritesheetRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};

	// The world's screen-space texts, the same way the tiled renderer's overlays draw them.
	class Text2DRenderingPass : public RenderingPassBase
	{
	public:
		explicit Text2DRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};

	// The frame's debug lines, the same way the tiled renderer's overlays draw them; the lists are emptied.
	class DebugRenderingPass : public RenderingPassBase
	{
	public:
		explicit DebugRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};

	// The meshes Blinn-Phong would draw, coloured by their world-space normals.
	class DebugNormalsRenderingPass : public RenderingPassBase
	{
	public:
		explicit DebugNormalsRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};

	// Every mesh's triangle edges with a short line along the normal at each corner, built by a geometry shader.
	class DebugNormalsWireframeRenderingPass : public RenderingPassBase
	{
	public:
		explicit DebugNormalsWireframeRenderingPass(GLRenderingDevice* device);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};
} // namespace Vorn
