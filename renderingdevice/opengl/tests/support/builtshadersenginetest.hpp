#pragma once

#include "builtshaders.hpp"
#include "hiddenwindowdevicetest.hpp"
#include "tempengineassets.hpp"

#include "engine.hpp"
#include "glrenderingdevice.hpp"
#include "resources/resourcemanager.hpp"

#include <gtest/gtest.h>

#include <memory>

// A running engine around the fixture's device, for device code that builds its own programs: the engine assets
// of the test's temporary folder hold a copy of the shaders the build copied into its engine assets, so a test
// may replace one of them without touching the build.
template <int WIDTH, int HEIGHT>
class BuiltShadersEngineTest : public HiddenWindowDeviceTest<WIDTH, HEIGHT>
{
protected:
	class IdleGame : public Vorn::IGame
	{
	public:
		void RegisterEngine(Vorn::Engine*) override {}
		void Init() override {}
		void Deinit() override {}
	};

	void SetUp() override
	{
		HiddenWindowDeviceTest<WIDTH, HEIGHT>::SetUp();
		ASSERT_FALSE(this->HasFatalFailure());

		Assets = std::make_unique<TempEngineAssets>();
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

	std::unique_ptr<TempEngineAssets> Assets;
	std::unique_ptr<Vorn::Engine> TestEngine;
	// Owned by the engine.
	Vorn::GLRenderingDevice* RenderingDevice = nullptr;
};
