#pragma once

#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/manualclock.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "fixtures/testrenderingdevice.hpp"
#include "samplesgame.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>

// The samples in a real engine, with the headless test device, the generated samples assets, the engine's font
// and a clock that moves only when a test runs a frame.
class SamplesTest : public testing::Test
{
protected:
	// A power of two, so gameplay time adds up without rounding: 64 frames are exactly one second.
	static constexpr Vorn::u64 FRAME_NANOSECONDS = 15'625'000;
	static constexpr int FRAMES_PER_SECOND = 64;

	SamplesTest();
	~SamplesTest() override;

	void RunFrame();
	void RunFrames(int count);
	// Holds `key` down for one frame and lets it go in the next, as a player's press.
	void PressKey(Vorn::eKey key);
	// Chooses scene `index` (0 is the menu) with its number key.
	void ShowScene(std::size_t index);

	// Destroys the engine as the launcher does at shutdown (the game's Deinit first).
	void ShutDown() { EngineInstance.reset(); }
	// A new engine running new samples, after ShutDown.
	void StartEngine();

	Vorn::World* GetWorld() const { return EngineInstance->GetWorld(); }
	Vorn::Engine& GetEngine() { return *EngineInstance; }
	VornSamples::SamplesGame& GetGame() const { return *Game; }
	VornSamples::SceneContext& GetContext() const { return Game->GetContext(); }

	template <typename T>
	Vorn::u64 CountComponents()
	{
		Vorn::u64 count = 0;
		for ([[maybe_unused]] auto component : GetWorld()->IterateComponents<T>())
			++count;
		return count;
	}

	VornTests::TempWorkingDirectory WorkingDirectory;
	VornTests::ManualClock Clock;
	VornTests::ConsoleCapture Console;
	VornTests::TestRenderingDeviceLog DeviceLog;

private:
	std::unique_ptr<Vorn::Engine> EngineInstance;
	VornSamples::SamplesGame* Game = nullptr;
};
