#pragma once

#include "glrenderingdevice.hpp"

#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>

// One hidden window for a whole suite; every test makes its own device (and with it a fresh context).
template <int WIDTH, int HEIGHT>
class HiddenWindowDeviceTest : public testing::Test
{
protected:
	static constexpr Vorn::ScreenSize WINDOW_SIZE = {WIDTH, HEIGHT};

	static void SetUpTestSuite()
	{
		ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
		TestWindow = SDL_CreateWindow("VornDeviceTest", 0, 0, WIDTH, HEIGHT, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
		ASSERT_NE(TestWindow, nullptr) << SDL_GetError();
	}

	static void TearDownTestSuite()
	{
		SDL_DestroyWindow(TestWindow);
		TestWindow = nullptr;
		SDL_Quit();
	}

	void SetUp() override
	{
		ASSERT_NE(TestWindow, nullptr);
		Device.reset(new Vorn::GLRenderingDevice(TestWindow, WINDOW_SIZE));
	}

	void TearDown() override { Device.reset(); }

	static inline SDL_Window* TestWindow = nullptr;
	std::unique_ptr<Vorn::GLRenderingDevice> Device;
};
