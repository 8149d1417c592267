#pragma once

#include "builtshaders.hpp"
#include "hiddenwindowdevicetest.hpp"
#include "tempengineassets.hpp"

#include "engine.hpp"

#include <gtest/gtest.h>

#include <memory>

// A running engine around the fixture's device, for proxies that are only filled from engine resources (meshes
// from model files, particles from a live emitter). The engine reads and rewrites its configuration files in the
// working directory, so every test runs in a temporary folder of its own, whose engine assets hold a copy of the
// built shaders.
template <int WIDTH, int HEIGHT>
class EngineDeviceTest : public HiddenWindowDeviceTest<WIDTH, HEIGHT>
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
		// The device builds its renderer's programs in Init.
		CopyBuiltShaders();
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
};
