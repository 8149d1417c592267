#include "rendering/camera/cameracomponent.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

TEST(CameraComponentTest, PerspectiveCameraStartsWithSquareAspectLitModeAndIdentityMatrices)
{
	const CameraComponent camera(Angle::FromDegrees(35.0f), 1.0f, 5000.0f);
	EXPECT_TRUE(camera.GetIsPerspective());
	EXPECT_EQ(camera.GetFOV(), Angle::FromDegrees(35.0f));
	EXPECT_EQ(camera.GetTargetFOV(), Angle::FromDegrees(0.0f));
	EXPECT_EQ(camera.GetClippingPlaneNear(), 1.0f);
	EXPECT_EQ(camera.GetClippingPlaneFar(), 5000.0f);
	EXPECT_EQ(camera.GetAspect(), 1.0f);
	EXPECT_EQ(camera.GetRenderingMode(), eRenderingModeType::LIT);
	// The projection is built by the camera phase, not by the constructor.
	EXPECT_EQ(camera.GetClipFromView(), Matrix::IDENTITY);
	EXPECT_EQ(camera.GetClipFromWorld(), Matrix::IDENTITY);
}

TEST(CameraComponentDeathTest, OrthographicCameraIsNotSupportedYet)
{
	EXPECT_DEATH(CameraComponent(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 100.0f),
	             "Orthographics projection is not yet implemented");
}
