#include "rendering/camera/camerasystem.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/testengine.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace Vorn;
using namespace VornTests;

namespace
{
	const Angle CAMERA_FOV = Angle::FromDegrees(60.0f);
	constexpr float CAMERA_NEAR = 0.5f;
	constexpr float CAMERA_FAR = 300.0f;
	const AARect FULL_SCREEN(Vector2f(0.0f, 0.0f), Vector2f(1.0f, 1.0f));
	const AARect LEFT_HALF(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 1.0f));
	const AARect RIGHT_HALF(Vector2f(0.5f, 0.0f), Vector2f(0.5f, 1.0f));

	Matrix Perspective(Angle fov, float aspect)
	{
		Matrix projection;
		projection.SetPerspective(fov, aspect, CAMERA_NEAR, CAMERA_FAR);
		return projection;
	}

	// An engine whose viewport 0 shows a camera of its own, on an entity the test can move.
	class CameraSystemTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Harness.Init();
			Camera = AddCamera(true);
			Viewports().SetCamera(0, Camera);
		}

		World* GetWorld() { return Harness.GetWorld(); }
		ViewportWorldComponent& Viewports() { return *GetWorld()->GetWorldComponent<ViewportWorldComponent>(); }

		// Through the deferred task system the camera is flagged as new for its first frame, as games add it;
		// added straight to the world it is not.
		CameraComponent* AddCamera(bool isNewlyCreated)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			if (isNewlyCreated)
				return DeferredTaskSystem::AddComponentImmediate<CameraComponent>(GetWorld(), entity, CAMERA_FOV,
				                                                                  CAMERA_NEAR, CAMERA_FAR);
			return GetWorld()->AddComponent<CameraComponent>(entity, CAMERA_FOV, CAMERA_NEAR, CAMERA_FAR);
		}

		TestEngine Harness;
		CameraComponent* Camera = nullptr;
	};

	using CameraSystemDeathTest = CameraSystemTest;
} // namespace

TEST_F(CameraSystemTest, AspectIsScreenSizeTimesViewportSizeAndBuildsThePerspective)
{
	const struct
	{
		const char* Name;
		ScreenSize Screen;
		AARect Rect;
		float ExpectedAspect;
	} cases[] = {
	    {"full screen 1280x720 (about 1.7778)", {1280, 720}, FULL_SCREEN, 1280.0f / 720.0f},
	    {"half width of 1000x500", {1000, 500}, RIGHT_HALF, 1.0f},
	    {"quarter of 800x600", {800, 600}, AARect(Vector2f(0.5f, 0.5f), Vector2f(0.5f, 0.5f)), 800.0f / 600.0f},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Name);
		Harness.GetEngine().ResizeScreen(c.Screen);
		Viewports().ResizeViewport(0, c.Rect);
		Harness.RunFrame();
		EXPECT_FLOAT_EQ(Camera->GetAspect(), c.ExpectedAspect);
		EXPECT_EQ(Camera->GetClipFromView(), Perspective(CAMERA_FOV, c.ExpectedAspect));
	}
}

TEST_F(CameraSystemTest, NewlyCreatedCameraGetsItsProjectionEvenWhenTheAspectMatchesTheInitialOne)
{
	// Two square viewports: aspect 1.0, which both cameras already hold from construction.
	Harness.GetEngine().ResizeScreen({1000, 500});
	Viewports().ResizeViewport(0, LEFT_HALF);
	CameraComponent* oldCamera = AddCamera(false);
	Viewports().SetCamera(Viewports().AddViewport(RIGHT_HALF), oldCamera);

	Harness.RunFrame();

	EXPECT_EQ(Camera->GetClipFromView(), Perspective(CAMERA_FOV, 1.0f));
	EXPECT_FALSE(Camera->CheckFlags(eComponentBaseFlags::NEWLY_CREATED)) << "cleared at the end of the frame";
	EXPECT_EQ(oldCamera->GetClipFromView(), Matrix::IDENTITY) << "neither new nor a changed aspect";
}

TEST_F(CameraSystemTest, ProjectionIsKeptAfterSetFOVUntilTheAspectChanges)
{
	Harness.RunFrame();
	const Matrix builtProjection = Camera->GetClipFromView();
	ASSERT_EQ(builtProjection, Perspective(CAMERA_FOV, 1280.0f / 720.0f));

	const Angle widerFOV = Angle::FromDegrees(90.0f);
	Camera->SetFOV(widerFOV);
	Harness.RunFrame();
	EXPECT_EQ(Camera->GetClipFromView(), builtProjection);

	Viewports().ResizeViewport(0, LEFT_HALF);
	Harness.RunFrame();
	EXPECT_EQ(Camera->GetClipFromView(), Perspective(widerFOV, 640.0f / 720.0f));
}

TEST_F(CameraSystemTest, ViewMatricesFollowTheEntityEveryFrame)
{
	EntityTransform& transform = Camera->GetTransform();
	const struct
	{
		Vector Translation;
		Quaternion Rotation;
	} placements[] = {
	    {Vector(3.0f, -2.0f, 10.0f), Quaternion()},
	    {Vector(-50.0f, 580.0f, 0.0f), Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-90.0f)) *
	                                       Quaternion(Vector::UNIT_X, Angle::FromDegrees(-90.0f))},
	};
	for (const auto& placement : placements)
	{
		transform.SetLocalTranslation(placement.Translation);
		transform.SetLocalRotation(placement.Rotation);
		Harness.RunFrame();

		const Matrix expectedView = transform.GetWorldFromModel().GetInversed();
		EXPECT_TRUE(Camera->GetViewFromWorld().Equals(expectedView, 1e-4f));
		EXPECT_TRUE(Camera->GetClipFromWorld().Equals(Camera->GetClipFromView() * expectedView, 1e-3f));
		// The camera's own position lands at the view-space origin.
		EXPECT_TRUE((Camera->GetViewFromWorld() * placement.Translation).Equals(Vector(0.0f, 0.0f, 0.0f), 1e-3f));
	}
}

TEST_F(CameraSystemTest, RenderingModeKeysAreTestedFromF5ToF10SoTheLastListedHeldKeyWins)
{
	const struct
	{
		std::initializer_list<eKey> HeldKeys;
		eRenderingModeType Expected;
	} cases[] = {
	    {{eKey::F5}, eRenderingModeType::LIT},
	    {{eKey::F6}, eRenderingModeType::UNLIT},
	    {{eKey::F7}, eRenderingModeType::WIREFRAME},
	    {{eKey::F8}, eRenderingModeType::DEBUG_NORMALS},
	    {{eKey::F9}, eRenderingModeType::DEBUG_NORMALS_WIREFRAME},
	    {{eKey::F10}, eRenderingModeType::DEBUG_DRAW},
	    {{eKey::F7, eKey::F5}, eRenderingModeType::WIREFRAME},
	    {{eKey::F10, eKey::F6, eKey::F8}, eRenderingModeType::DEBUG_DRAW},
	    {{}, eRenderingModeType::DEBUG_NORMALS_WIREFRAME},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(static_cast<int>(c.Expected));
		Camera->SetRenderingMode(eRenderingModeType::DEBUG_NORMALS_WIREFRAME);
		for (eKey key : c.HeldKeys)
			Harness.GetEngine().KeyDown(key);
		Harness.RunFrame();
		EXPECT_EQ(Camera->GetRenderingMode(), c.Expected);
		for (eKey key : c.HeldKeys)
			Harness.GetEngine().KeyUp(key);
		Harness.RunFrame();
	}
}

TEST_F(CameraSystemTest, CameraInNoViewportIsNotTouched)
{
	CameraComponent* hidden = AddCamera(true);
	hidden->GetTransform().SetLocalTranslation(Vector(1.0f, 2.0f, 3.0f));
	Harness.GetEngine().KeyDown(eKey::F7);
	Harness.RunFrame();

	EXPECT_EQ(hidden->GetClipFromView(), Matrix::IDENTITY);
	EXPECT_EQ(hidden->GetViewFromWorld(), Matrix::IDENTITY);
	EXPECT_EQ(hidden->GetAspect(), 1.0f);
	EXPECT_EQ(hidden->GetRenderingMode(), eRenderingModeType::LIT);
	EXPECT_EQ(Camera->GetRenderingMode(), eRenderingModeType::WIREFRAME);
}

TEST_F(CameraSystemDeathTest, ViewportWithoutCameraStops)
{
	Viewports().AddViewport(LEFT_HALF);
	EXPECT_DEATH(Harness.RunFrame(), "Viewport without camera\\?");
}
