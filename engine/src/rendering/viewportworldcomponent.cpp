#include "rendering/viewportworldcomponent.hpp"

#include "utils/check.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::ViewportWorldComponent);

namespace Vorn
{
	ViewportWorldComponent::ViewportWorldComponent()
	{
		AddViewport(AARect(Vector2f(0.0f, 0.0f), Vector2f(1.0f, 1.0f)));
	}

	u64 ViewportWorldComponent::AddViewport(const AARect& rect)
	{
		const u64 id = NextViewportID++;
		Viewports.emplace(id, Viewport(rect));
		return id;
	}

	void ViewportWorldComponent::RemoveViewport(u64 id)
	{
		VORN_CHECK(Viewports.erase(id) == 1, "Viewport doesn't exist.");
	}

	void ViewportWorldComponent::ResizeViewport(u64 id, const AARect& rect) { GetViewport(id).SetRect(rect); }

	void ViewportWorldComponent::SetCamera(u64 id, CameraComponent* camera)
	{
		Viewport& viewport = GetViewport(id);
		VORN_CHECK(camera != nullptr, "Null camera is not allowed.");
		viewport.SetCamera(camera);
	}

	Viewport& ViewportWorldComponent::GetViewport(u64 id)
	{
		const auto found = Viewports.find(id);
		VORN_CHECK(found != Viewports.end(), "Viewport doesn't exist.");
		return found->second;
	}
} // namespace Vorn
