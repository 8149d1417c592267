#include "rendering/camera/camerasystem.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "input/inputworldcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "utils/check.hpp"

namespace Vorn
{
	namespace
	{
		struct RenderingModeKey
		{
			eKey Key;
			eRenderingModeType Mode;
		};

		// Tested in this order, so of several held keys the last one listed wins.
		constexpr RenderingModeKey RENDERING_MODE_KEYS[] = {
		    {eKey::F5, eRenderingModeType::LIT},
		    {eKey::F6, eRenderingModeType::UNLIT},
		    {eKey::F7, eRenderingModeType::WIREFRAME},
		    {eKey::F8, eRenderingModeType::DEBUG_NORMALS},
		    {eKey::F9, eRenderingModeType::DEBUG_NORMALS_WIREFRAME},
		    {eKey::F10, eRenderingModeType::DEBUG_DRAW},
		};
	} // namespace

	void CameraSystem::CameraUpdatePhase(World* world)
	{
		const ScreenSize& screen = gEngine->GetRenderingDevice()->GetScreenSize();
		const ViewportWorldComponent* viewports = world->GetWorldComponent<ViewportWorldComponent>();
		const InputWorldComponent* input = world->GetWorldComponent<InputWorldComponent>();

		for (const auto& [id, viewport] : viewports->GetViewports())
		{
			const Vector2f& size = viewport.GetRect().GetSize();
			const float aspect =
			    (static_cast<float>(screen.Width) * size.x) / (static_cast<float>(screen.Height) * size.y);

			CameraComponent* camera = viewport.GetCamera();
			VORN_CHECK(camera != nullptr, "Viewport without camera?");

			// A new camera still holds the identity projection, which would survive if its aspect happened to
			// match the initial one.
			if (camera->CheckFlags(eComponentBaseFlags::NEWLY_CREATED) || camera->Aspect != aspect)
			{
				camera->Aspect = aspect;
				if (camera->IsPerspective)
					camera->ClipFromView.SetPerspective(camera->FOV, aspect, camera->Near, camera->Far);
				else
					camera->ClipFromView.SetOrthographic(camera->OrthoBottom, camera->OrthoTop, camera->OrthoLeft,
					                                     camera->OrthoRight, camera->Near, camera->Far);
			}

			camera->ViewFromWorld = camera->GetTransform().GetWorldFromModel().GetInversed();
			camera->ClipFromWorld = camera->ClipFromView * camera->ViewFromWorld;

			for (const RenderingModeKey& modeKey : RENDERING_MODE_KEYS)
				if (input->IsPressed(modeKey.Key))
					camera->RenderingMode = modeKey.Mode;
		}
	}
} // namespace Vorn
