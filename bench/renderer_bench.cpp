// Frame times of the OpenGL device's renderers on a real window: the example game's scene on the tiled and on the
// forward renderer, alone and with debug lines and screen texts over it, a lit floor with 1024 short-range point
// lights against the same floor without them, and the time from Engine::Init to the first presented frame
// (environment capture included). The floor and game cases on the tiled renderer also report the GPU time of
// each of its steps ("ms_<step>" counters). Needs a display:
// run it under xvfb-run -a -s "-screen 0 1280x720x24" with standard output sent elsewhere, reading the figures from
// --benchmark_out=<file> --benchmark_out_format=console.
#include "debugdrawing/debugdrawsystem.hpp"
#include "dravcomponents.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "glstage.hpp"
#include "kivogame.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
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

	// Runs the timed frames and reports the tiled renderer's GPU time per step as counters (milliseconds per frame,
	// named "ms_<step>"), so each step's share of the frame shows beside its total.
	void RunTimedFramesWithPassTable(benchmark::State& state, VornBench::GLStage& stage)
	{
		PassTimings* timings = stage.GetPassTimings();
		if (timings)
			timings->SetEnabled(true);
		std::vector<PassTimings::Entry> totals;
		for (auto _ : state)
		{
			stage.RunTimedFrame();
			if (!timings)
				continue;
			state.PauseTiming();
			for (const PassTimings::Entry& step : timings->Collect())
			{
				const auto found =
				    std::find_if(totals.begin(), totals.end(),
				                 [&](const PassTimings::Entry& total) { return total.Name == step.Name; });
				if (found == totals.end())
					totals.push_back(step);
				else
					found->Milliseconds += step.Milliseconds;
			}
			state.ResumeTiming();
		}
		for (const PassTimings::Entry& total : totals)
		{
			std::string name = "ms_" + total.Name;
			std::replace(name.begin(), name.end(), ' ', '_');
			state.counters[name] = benchmark::Counter(total.Milliseconds, benchmark::Counter::kAvgIterations);
		}
		if (timings)
			timings->SetEnabled(false);
	}

	void FloorFrame(benchmark::State& state)
	{
		VornBench::GLStage stage(std::make_unique<FloorScene>());
		AddPointLights(stage.GetWorld(), static_cast<int>(state.range(0)));
		for (int i = 0; i < 2; ++i)
			stage.RunTimedFrame();
		RunTimedFramesWithPassTable(state, stage);
	}

	// Argument 0: the tiled renderer on the driver's 4.3 context; 1: the forward renderer on a 3.3 context.
	void GameFrame(benchmark::State& state)
	{
		const VornBench::eStageContext context =
		    state.range(0) == 0 ? VornBench::eStageContext::DRIVER_BEST : VornBench::eStageContext::GL_3_3;
		VornBench::GLStage stage{std::unique_ptr<IGame>(CreateGame()), context};
		state.SetLabel(stage.GetRendererType() == eRendererType::HIGHEND ? "tiled renderer" : "forward renderer");
		stage.GetEngine().KeyDown(eKey::SPACE);
		// Into the third wave, with the player's bullets and their lights in flight.
		for (int i = 0; i < 9 * 60; ++i)
			stage.RunFrame();
		RunTimedFramesWithPassTable(state, stage);
		const DravWorldComponent* drav = stage.GetWorld()->GetWorldComponent<DravWorldComponent>();
		state.counters["bullets"] = static_cast<double>(drav->Bullets.GetSize());
	}

	// The game's frame with the camera in debug mode, 10,000 debug lines drawn anew every frame and 100 screen
	// texts of 40 characters in four sizes; compare with GameFrame.
	void GameFrameWithOverlays(benchmark::State& state)
	{
		VornBench::GLStage stage{std::unique_ptr<IGame>(CreateGame())};
		World* world = stage.GetWorld();
		stage.GetEngine().KeyDown(eKey::SPACE);
		for (int i = 0; i < 9 * 60; ++i)
			stage.RunFrame();

		world->GetWorldComponent<ViewportWorldComponent>()->GetViewports().at(0).GetCamera()->SetRenderingMode(
		    eRenderingModeType::DEBUG_DRAW);
		for (int i = 0; i < 100; ++i)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			DeferredTaskSystem::AddComponentImmediate<ScreenSpaceTextComponent>(
			    world, entity, Vector2i(10 + (i % 4) * 320, 10 + (i / 4) * 28), DebugDrawSystem::DEBUG_FONT_PATH,
			    eResourceSource::ENGINE, 12 + 4 * (i % 4),
			    String(("Text " + std::to_string(i) + ": the quick brown fox jumps").c_str()), Color::WHITE);
		}
		// Lines from a grid over the arena, in every colour.
		const auto drawLines = [world]
		{
			for (int i = 0; i < 10'000; ++i)
			{
				const float x = static_cast<float>(i % 100) * 4.0f - 200.0f;
				const float z = static_cast<float>(i / 100) * 4.0f - 200.0f;
				DebugDrawSystem::DrawLine(world, Vector(x, 0.0f, z), Vector(x + 3.0f, 0.0f, z + 3.0f),
				                          Color(static_cast<float>(i % 7) / 6.0f, 0.5f, 1.0f, 1.0f));
			}
		};
		for (int i = 0; i < 2; ++i)
		{
			drawLines();
			stage.RunTimedFrame();
		}
		for (auto _ : state)
		{
			state.PauseTiming();
			drawLines();
			state.ResumeTiming();
			stage.RunTimedFrame();
		}
	}

	void InitToFirstFrame(benchmark::State& state)
	{
		double seconds = 0.0;
		for (auto _ : state)
		{
			VornBench::GLStage stage{std::unique_ptr<IGame>(CreateGame())};
			seconds = stage.InitToFirstFrameSeconds;
			state.SetIterationTime(seconds);
		}
		state.counters["seconds"] = seconds;
	}
} // namespace

BENCHMARK(FloorFrame)->Arg(0)->Arg(1024)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(GameFrame)->Arg(0)->Arg(1)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(GameFrameWithOverlays)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(InitToFirstFrame)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
