#include "rendering/viewport.hpp"

#include "utils/check.hpp"

namespace Vorn
{
	void Viewport::SetCamera(CameraComponent* camera)
	{
		VORN_CHECK(camera != nullptr, "Null camera is not allowed.");
		Camera = camera;
	}
} // namespace Vorn
