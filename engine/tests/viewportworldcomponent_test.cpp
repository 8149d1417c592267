#include "rendering/viewportworldcomponent.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

namespace
{
	const AARect FullScreen(Vector2f(0.0f, 0.0f), Vector2f(1.0f, 1.0f));
	const AARect LeftHalf(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 1.0f));
	const AARect RightHalf(Vector2f(0.5f, 0.0f), Vector2f(0.5f, 1.0f));

	// Viewports only store their camera pointer, so any distinct address stands in for a camera here.
	CameraComponent* FakeCamera(int& storage) { return reinterpret_cast<CameraComponent*>(&storage); }
} // namespace

TEST(ViewportWorldComponentTest, StartsWithOneFullScreenViewportWithoutCamera)
{
	ViewportWorldComponent viewports;
	ASSERT_EQ(viewports.GetViewports().size(), 1u);
	const Viewport& first = viewports.GetViewports().at(0);
	EXPECT_EQ(first.GetRect(), FullScreen);
	EXPECT_EQ(first.GetCamera(), nullptr);
}

TEST(ViewportWorldComponentTest, IdentifiersAreNeverReused)
{
	ViewportWorldComponent viewports;
	viewports.RemoveViewport(0);
	EXPECT_EQ(viewports.AddViewport(LeftHalf), 1u);
	viewports.RemoveViewport(1);
	EXPECT_EQ(viewports.AddViewport(RightHalf), 2u);
	EXPECT_EQ(viewports.AddViewport(LeftHalf), 3u);
	EXPECT_EQ(viewports.GetViewports().size(), 2u);
	EXPECT_EQ(viewports.GetViewports().at(2).GetRect(), RightHalf);
}

TEST(ViewportWorldComponentTest, ResizeReplacesTheRectangleAndKeepsTheCamera)
{
	int cameraStorage = 0;
	ViewportWorldComponent viewports;
	viewports.SetCamera(0, FakeCamera(cameraStorage));
	viewports.ResizeViewport(0, LeftHalf);
	EXPECT_EQ(viewports.GetViewports().at(0).GetRect(), LeftHalf);
	EXPECT_EQ(viewports.GetViewports().at(0).GetCamera(), FakeCamera(cameraStorage));
}

TEST(ViewportWorldComponentTest, CameraIsSetOnTheNamedViewportOnly)
{
	int cameraStorage = 0;
	ViewportWorldComponent viewports;
	const u64 second = viewports.AddViewport(RightHalf);
	viewports.SetCamera(second, FakeCamera(cameraStorage));
	EXPECT_EQ(viewports.GetViewports().at(second).GetCamera(), FakeCamera(cameraStorage));
	EXPECT_EQ(viewports.GetViewports().at(0).GetCamera(), nullptr);
}

TEST(ViewportWorldComponentDeathTest, UnknownViewportsAndNullCamerasStop)
{
	int cameraStorage = 0;
	ViewportWorldComponent viewports;
	viewports.RemoveViewport(0);
	EXPECT_DEATH(viewports.RemoveViewport(0), "Viewport doesn't exist\\.");
	EXPECT_DEATH(viewports.ResizeViewport(5, LeftHalf), "Viewport doesn't exist\\.");
	EXPECT_DEATH(viewports.SetCamera(0, FakeCamera(cameraStorage)), "Viewport doesn't exist\\.");

	const u64 id = viewports.AddViewport(FullScreen);
	EXPECT_DEATH(viewports.SetCamera(id, nullptr), "Null camera is not allowed\\.");
	Viewport viewport(FullScreen);
	EXPECT_DEATH(viewport.SetCamera(nullptr), "Null camera is not allowed\\.");
}
