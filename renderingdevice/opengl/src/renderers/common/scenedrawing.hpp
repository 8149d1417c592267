#pragma once

#include "defines.hpp"
#include "math/matrix.hpp"
#include "resources/meshresource.hpp"

namespace Vorn
{
	class CameraComponent;
	class GLShaderProgram;
	class TextureResource;
	class World;

	// Drawing steps and small helpers both renderers use, so each thing is drawn one way.
	namespace SceneDrawing
	{
		// The texture's name, or `fallback` while it has none (not loaded, or failed to load).
		int TextureName(const TextureResource* texture, u32 fallback);

		// Binds the sub-mesh's vertex array and draws all its triangles.
		void DrawSubMesh(const MeshResource::SubMesh& subMesh);

		// The matrix without its translation: the sky follows the camera's rotation only.
		Matrix WithoutTranslation(Matrix matrix);

		// The rasterisation mode in effect, GL_FILL or GL_LINE.
		u32 CurrentPolygonMode();

		// A random value in 0..1 from the C library's generator, whatever its RAND_MAX.
		float NextRandomFraction();

		// Draws every ParticleComponent of the world through `camera` with `particleShader` (the instanced quad
		// program), each emitter's live particles in one instanced draw, with face culling off. Blending, depth and
		// the framebuffer are the caller's.
		void DrawParticles(GLShaderProgram& particleShader, World* world, CameraComponent const& camera,
		                   u32 whiteTexture);
	} // namespace SceneDrawing
} // namespace Vorn
