#pragma once

#include "defines.hpp"
#include "ecs/componentbase.hpp"
#include "math/aarect.hpp"
#include "rendering/viewport.hpp"

#include <unordered_map>

namespace Vorn
{
	class CameraComponent;

	// The world's viewports. It starts with one full-screen viewport, ID 0, which needs a camera before the
	// first camera phase. IDs are never reused.
	class ViewportWorldComponent : public ComponentBase
	{
	public:
		ViewportWorldComponent();

		// Iteration order carries no meaning.
		const std::unordered_map<u64, Viewport>& GetViewports() const { return Viewports; }

		u64 AddViewport(const AARect& rect);
		void RemoveViewport(u64 id);
		void ResizeViewport(u64 id, const AARect& rect);
		void SetCamera(u64 id, CameraComponent* camera);

	private:
		Viewport& GetViewport(u64 id);

		std::unordered_map<u64, Viewport> Viewports;
		u64 NextViewportID = 0;
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::ViewportWorldComponent);
