#pragma once

#include "dravcomponents.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/manualclock.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "fixtures/testrenderingdevice.hpp"
#include "spawnworldcomponent.hpp"

#include <gtest/gtest.h>

#include <memory>

// The real game in a real engine, with the headless test device, the generated game assets and a clock that moves
// only when a test runs a frame.
class KivoGameTest : public testing::Test
{
protected:
	// A power of two, so gameplay time adds up without rounding: 64 frames are exactly one second.
	static constexpr Vorn::u64 FRAME_NANOSECONDS = 15'625'000;
	static constexpr int FRAMES_PER_SECOND = 64;

	KivoGameTest();
	~KivoGameTest() override;

	void RunFrame(Vorn::u64 nanoseconds = FRAME_NANOSECONDS);
	void RunFrames(int count);
	// Destroys the engine as the launcher does at shutdown (the game's Deinit first).
	void ShutDown() { EngineInstance.reset(); }
	// A new engine running a new game, after ShutDown.
	void StartEngine();

	Vorn::World* GetWorld() const { return EngineInstance->GetWorld(); }
	Vorn::Engine& GetEngine() { return *EngineInstance; }
	Vorn::IGame* GetGame() const { return Game; }
	DravWorldComponent* GetDrav() const { return GetWorld()->GetWorldComponent<DravWorldComponent>(); }
	SpawnWorldComponent* GetSpawn() const { return GetWorld()->GetWorldComponent<SpawnWorldComponent>(); }
	Vorn::Entity* GetPlayer() const { return GetDrav()->Player.Get(); }
	// Stops gameplay time: nothing moves, no wave comes, but hits are still tested and applied every frame.
	void FreezeGameplay();

	// A motionless enemy of the given health, listed like the ones the waves spawn.
	Vorn::Entity* AddEnemy(const Vorn::Vector& position, float health = 100.0f);
	// A gunner that never moves, for enemy bullets.
	Vorn::Entity* AddArmedEnemy(const Vorn::Vector& position);
	// A bullet of `shooter`'s gun at `position`, flying along +X.
	Vorn::Entity* AddBullet(Vorn::Entity* shooter, const Vorn::Vector& position);

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
	Vorn::IGame* Game = nullptr;
};
