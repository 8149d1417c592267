#include "rendering/camera/cameracomponent.hpp"

#include "utils/check.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::CameraComponent);

namespace Vorn
{
	CameraComponent::CameraComponent(Angle fov, float nearPlane, float farPlane)
	    : IsPerspective(true), FOV(fov), Near(nearPlane), Far(farPlane)
	{
	}

	CameraComponent::CameraComponent(float bottom, float top, float left, float right, float nearPlane, float farPlane)
	    : IsPerspective(false), FOV(Angle::FromDegrees(0.0f)), OrthoBottom(bottom), OrthoTop(top), OrthoLeft(left),
	      OrthoRight(right), Near(nearPlane), Far(farPlane)
	{
		VORN_FAIL("Orthographics projection is not yet implemented");
	}
} // namespace Vorn
