#pragma once

#include "renderers/irendererinterface.hpp"

namespace Vorn
{
	enum class eGeometryRenderPassType : u32;
	enum class ePassType : u32;

	// The fallback renderer, for contexts without the tiled renderer's compute shaders (OpenGL 3.3): classic
	// forward shading with Blinn-Phong light and a few debug views. It only sets OpenGL state and runs the device's
	// passes (the geometry passes draw into the device's shared HDR colour and depth targets, the final
	// postprocess pass brings that image to the window) in the order the camera's rendering mode asks for:
	//
	//   LIT, DEBUG_DRAW          sky, lit opaque meshes, then particles and sprite sheets blended over them
	//   UNLIT                    every mesh flat in its materials' colours, then the translucent stand-ins
	//   DEBUG_NORMALS            the meshes coloured by normal, then the translucent stand-ins
	//   WIREFRAME                every mesh as lit lines, then the debug lines
	//   DEBUG_NORMALS_WIREFRAME  triangle edges and normals as lines, then the debug lines
	//
	// and in every mode the postprocess pass, then the debug lines and the screen texts over the finished image.
	// The renderer owns nothing; the passes live in the device's tables.
	class ForwardRenderer : public IRendererInterface
	{
	public:
		explicit ForwardRenderer(GLRenderingDevice* device);

		void Init() override;
		void Resize(ScreenSize const& size) override;
		// Draws one viewport into its rectangle of the window. A viewport without a camera draws nothing.
		void Render(SceneView const& sceneView) override;
		void Deinit() override;

	private:
		void RunGeometryPass(eGeometryRenderPassType type, SceneView const& view, ePassType passType);
		// Sets the viewport's rectangle and clears it in the shared targets.
		void PrepareViewport(SceneView const& view);
	};
} // namespace Vorn
