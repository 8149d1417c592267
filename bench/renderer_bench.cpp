// Frame times of the OpenGL device's tiled renderer on a real window: the example game's scene, a lit floor with
// 1024 short-range point lights against the same floor without them, and the time from Engine::Init to the first
// presented frame (environment capture included). Needs a display: run it under
// xvfb-run -a -s "-screen 0 1280x720x24" with standard output sent elsewhere, reading the figures from
// --benchmark_out=<file> --benchmark_out_format=console.
#include "dravcomponents.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/manualclock.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "glrenderingdevice.hpp"
#include "kivogame.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"

#include <benchmark/benchmark.h>

#include <epoxy/gl.h>

#include <SDL.h>

#include <chrono>
#include <memory>
#include <random>

using namespace Vorn;

namespace
{
	constexpr int WIDTH = 1280;
	constexpr int HEIGHT = 720;
	constexpr u64 SIXTIETH_OF_A_SECOND = 16'666'667;

	// A window, an engine on it with the real device, and the game's generated assets.
	class Stage
	{
	public:
		explicit Stage(std::unique_ptr<IGame> game)
		{
			VornTests::WriteFile("AssetsPathConfig.json",
			                     "{\n    \"EngineAssetsPath\": \"" VORN_BUILD_ENGINE_ASSETS_PATH
			                     "\",\n    \"GameAssetsPath\": \"" VORN_GENERATED_GAME_ASSETS_PATH "\"\n}\n");
			SDL_Init(SDL_INIT_VIDEO);
			Window = SDL_CreateWindow("VornRendererBench", 0, 0, WIDTH, HEIGHT, SDL_WINDOW_OPENGL);
			EngineInstance = std::make_unique<Engine>();
			auto device = std::make_unique<GLRenderingDevice>(Window, ScreenSize{WIDTH, HEIGHT});
			const auto start = std::chrono::steady_clock::now();
			EngineInstance->Init(std::move(game), std::move(device));
			RunFrame();
			glFinish();
			InitToFirstFrameSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
		}

		~Stage()
		{
			EngineInstance.reset();
			SDL_DestroyWindow(Window);
			SDL_Quit();
		}

		void RunFrame()
		{
			Clock.AdvanceNanoseconds(SIXTIETH_OF_A_SECOND);
			EngineInstance->Update();
		}

		// Waits for the frame to be drawn, so the next one is timed alone.
		void RunTimedFrame()
		{
			RunFrame();
			glFinish();
		}

		Engine& GetEngine() { return *EngineInstance; }
		World* GetWorld() { return EngineInstance->GetWorld(); }
		double InitToFirstFrameSeconds = 0.0;

	private:
		VornTests::TempWorkingDirectory WorkingDirectory;
		VornTests::ManualClock Clock;
		SDL_Window* Window = nullptr;
		std::unique_ptr<Engine> EngineInstance;
	};

	// A sky, a sun and a field of spheres seen from above; the lights are added by the benchmark.
	class FloorScene : public IGame
	{
	public:
		void RegisterEngine(Engine* engine) override { GameEngine = engine; }
		void Init() override
		{
			World* world = GameEngine->GetWorld();
			world->AddWorldComponent<SkyboxWorldComponent>("HDR/HDR.hdr", eResourceSource::GAME);

			Entity* camera = DeferredTaskSystem::SpawnEntityImmediate(world);
			CameraComponent* component = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
			    world, camera, Angle::FromDegrees(60.0f), 1.0f, 1000.0f);
			DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(world, camera);
			camera->GetTransform().SetGlobalTranslation(Vector(0.0f, 120.0f, 0.0f));
			camera->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_X, Angle::FromDegrees(-90.0f)));
			world->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, component);

			Entity* sun = DeferredTaskSystem::SpawnEntityImmediate(world);
			DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(world, sun, Color::WHITE, 1.0f);
			sun->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_X, Angle::FromDegrees(-60.0f)));

			// Big spheres packed edge to edge make a bumpy floor that fills the screen.
			for (int x = -12; x <= 12; ++x)
				for (int z = -7; z <= 7; ++z)
				{
					Entity* ball = DeferredTaskSystem::SpawnEntityImmediate(world);
					DeferredTaskSystem::AddComponentImmediate<MeshRenderingComponent>(
					    world, ball, "Models/Primitives/Sphere_LowPoly.obj", eResourceSource::GAME);
					ball->GetTransform().SetGlobalTranslation(Vector(x * 10.0f, 0.0f, z * 10.0f));
					ball->GetTransform().SetGlobalScale(Vector(5.0f, 5.0f, 5.0f));
				}
		}
		void Deinit() override {}

	private:
		Engine* GameEngine = nullptr;
	};

	void AddPointLights(World* world, int count)
	{
		std::mt19937 random(7);
		std::uniform_real_distribution<float> x(-125.0f, 125.0f);
		std::uniform_real_distribution<float> z(-75.0f, 75.0f);
		std::uniform_real_distribution<float> hue(0.2f, 1.0f);
		for (int i = 0; i < count; ++i)
		{
			Entity* light = DeferredTaskSystem::SpawnEntityImmediate(world);
			DeferredTaskSystem::AddComponentImmediate<PointLightComponent>(
			    world, light, Color(hue(random), hue(random), hue(random), 1.0f), 4.0f, 6.0f);
			light->GetTransform().SetGlobalTranslation(Vector(x(random), 6.0f, z(random)));
		}
	}

	void FloorFrame(benchmark::State& state)
	{
		Stage stage(std::make_unique<FloorScene>());
		AddPointLights(stage.GetWorld(), static_cast<int>(state.range(0)));
		for (int i = 0; i < 2; ++i)
			stage.RunTimedFrame();
		for (auto _ : state)
			stage.RunTimedFrame();
	}

	void GameFrame(benchmark::State& state)
	{
		Stage stage{std::unique_ptr<IGame>(CreateGame())};
		stage.GetEngine().KeyDown(eKey::SPACE);
		// Into the third wave, with the player's bullets and their lights in flight.
		for (int i = 0; i < 9 * 60; ++i)
			stage.RunFrame();
		for (auto _ : state)
			stage.RunTimedFrame();
		const DravWorldComponent* drav = stage.GetWorld()->GetWorldComponent<DravWorldComponent>();
		state.counters["bullets"] = static_cast<double>(drav->Bullets.GetSize());
	}

	void InitToFirstFrame(benchmark::State& state)
	{
		double seconds = 0.0;
		for (auto _ : state)
		{
			Stage stage{std::unique_ptr<IGame>(CreateGame())};
			seconds = stage.InitToFirstFrameSeconds;
			state.SetIterationTime(seconds);
		}
		state.counters["seconds"] = seconds;
	}
} // namespace

BENCHMARK(FloorFrame)->Arg(0)->Arg(1024)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(GameFrame)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(InitToFirstFrame)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
