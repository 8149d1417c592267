#pragma once

#include "builtshaders.hpp"
#include "hiddenwindowdevicetest.hpp"
#include "idlegame.hpp"
#include "tempengineassets.hpp"

#include "engine.hpp"
#include "glrenderingdevice.hpp"

#include <gtest/gtest.h>

#include <memory>

// A running engine around the fixture's device, for device code that needs engine resources (meshes from model
// files, particles from a live emitter, shader files). The engine reads and rewrites its configuration files in the
// working directory, so every test runs in a temporary folder of its own, whose engine assets hold a copy of the
// shaders the build laid out: a test may replace one of them without touching the build.
template <int WIDTH, int HEIGHT>
class EngineDeviceTest : public HiddenWindowDeviceTest<WIDTH, HEIGHT>
{
protected:
	void SetUp() override
	{
		HiddenWindowDeviceTest<WIDTH, HEIGHT>::SetUp();
		ASSERT_FALSE(this->HasFatalFailure());

		Assets = std::make_unique<TempEngineAssets>();
		// The device builds its renderer's programs in Init.
		CopyBuiltShaders();
		RenderingDevice = this->Device.get();
		TestEngine.reset(new Vorn::Engine());
		TestEngine->Init(std::unique_ptr<Vorn::IGame>(new IdleGame()), std::move(this->Device));
	}

	void TearDown() override
	{
		TestEngine.reset();
		Assets.reset();
		HiddenWindowDeviceTest<WIDTH, HEIGHT>::TearDown();
	}

	Vorn::World* GetWorld() const { return TestEngine->GetWorld(); }

	std::unique_ptr<TempEngineAssets> Assets;
	std::unique_ptr<Vorn::Engine> TestEngine;
	// Owned by the engine.
	Vorn::GLRenderingDevice* RenderingDevice = nullptr;
};
