#pragma once

#include "collections/dynarray.hpp"
#include "memory/baseobject.hpp"
#include "rendering/viewport.hpp"

namespace Vorn
{
	class AARect;
	class CameraComponent;
	class DirectionalLightComponent;
	class MeshRenderingComponent;
	class PointLightComponent;
	class World;

	// What one viewport needs drawn this frame, built on the stack by the device for each viewport and handed
	// to the renderer. The lists point into the world's pools and keep the world's iteration order; anything
	// else a renderer needs it reads from the world itself.
	class SceneView : public BaseObject
	{
	public:
		SceneView(World* world, const Viewport& viewport)
		    : WorldData(world), ViewportData(viewport), Rect(viewport.GetRect()), CameraCmp(viewport.GetCamera())
		{
		}
		SceneView(const SceneView&) = delete;
		SceneView& operator=(const SceneView&) = delete;

		World* WorldData;
		const Viewport& ViewportData;
		// In fractions of the screen (0..1).
		const AARect& Rect;
		// Null while the viewport has no camera.
		CameraComponent* CameraCmp;
		// Meshes shaded PBR, split by blending mode.
		Dynarray<MeshRenderingComponent*> OpaqueQueue;
		Dynarray<MeshRenderingComponent*> TranslucentQueue;
		Dynarray<DirectionalLightComponent*> DirectionalLights;
		Dynarray<PointLightComponent*> PointLights;
	};
} // namespace Vorn
