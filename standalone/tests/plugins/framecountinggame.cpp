// A game plug-in for the launcher tests. It logs every frame it sees and asks the engine to quit after
// VORN_TEST_QUIT_AFTER_FRAMES frames (default 3). With VORN_TEST_PUSH_QUIT_AT_FRAME set it also posts SDL's quit
// event in that frame, which the launcher drains at the start of the next one, as it would a closed window.
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "math/angle.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "utils/console.hpp"

#include <SDL.h>

#include <cstdlib>

using namespace Vorn;

namespace
{
	u64 ReadFrameSetting(const char* name, u64 fallback)
	{
		const char* value = std::getenv(name);
		return value ? std::strtoull(value, nullptr, 10) : fallback;
	}

	class FrameCountingGame : public IGame
	{
	public:
		void RegisterEngine(Engine* engine) override
		{
			GameEngine = engine;
			gConsole.LogInfo("FrameCountingGame::RegisterEngine");
		}

		void Init() override
		{
			gConsole.LogInfo("FrameCountingGame::Init");
			QuitAfterFrames = ReadFrameSetting("VORN_TEST_QUIT_AFTER_FRAMES", 3);
			PushQuitAtFrame = ReadFrameSetting("VORN_TEST_PUSH_QUIT_AT_FRAME", 0);
			GameEngine->RegisterGameUpdatePhase([this](World*) { OnFrame(); });

			// The camera phase wants a camera in every viewport.
			World* world = GameEngine->GetWorld();
			Entity* cameraEntity = DeferredTaskSystem::SpawnEntityImmediate(world);
			CameraComponent* camera = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
			    world, cameraEntity, Angle::FromDegrees(60.0f), 0.1f, 100.0f);
			world->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, camera);
		}

		void Deinit() override { gConsole.LogInfo("FrameCountingGame::Deinit"); }

	private:
		void OnFrame()
		{
			++FrameCount;
			gConsole.LogInfo("FrameCountingGame frame {}", FrameCount);
			if (FrameCount == PushQuitAtFrame)
			{
				SDL_Event quitEvent = {};
				quitEvent.type = SDL_QUIT;
				SDL_PushEvent(&quitEvent);
			}
			if (FrameCount == QuitAfterFrames)
				GameEngine->RequestGameQuit();
		}

		Engine* GameEngine = nullptr;
		u64 QuitAfterFrames = 0;
		u64 PushQuitAtFrame = 0;
		u64 FrameCount = 0;
	};
} // namespace

extern "C" IGame* CreateGame() { return new FrameCountingGame(); }
