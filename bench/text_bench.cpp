// The cost of screen text: building a 32-pixel face of the engine font (reading the file, surveying and packing the
// 128 glyphs, uploading them to the atlas on the OpenGL device), laying out a 100-character line from its glyphs,
// and a whole rebuild of a 100-character text (layout and upload). Needs a display: run it under
// xvfb-run -a -s "-screen 0 1280x720x24" with standard output sent elsewhere, reading the figures from
// --benchmark_out=<file> --benchmark_out_format=console.
#include "debugdrawing/debugdrawsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "glstage.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "resources/fontresource.hpp"
#include "text/text2d.hpp"

#include <benchmark/benchmark.h>

#include <epoxy/gl.h>

#include <memory>

using namespace Vorn;

namespace
{
	constexpr char HUNDRED_CHARACTERS[] = "Wave 12 of 25: three drones weave in from the north; shoot them down before "
	                                      "they reach you! 01234567";
	static_assert(sizeof(HUNDRED_CHARACTERS) == 101, "the line is 100 characters long");

	// Nothing but the camera a frame needs.
	class CameraGame : public IGame
	{
	public:
		void RegisterEngine(Engine* engine) override { GameEngine = engine; }
		void Init() override
		{
			World* world = GameEngine->GetWorld();
			Entity* camera = DeferredTaskSystem::SpawnEntityImmediate(world);
			world->GetWorldComponent<ViewportWorldComponent>()->SetCamera(
			    0, DeferredTaskSystem::AddComponentImmediate<CameraComponent>(world, camera, Angle::FromDegrees(60.0f),
			                                                                  1.0f, 1000.0f));
		}
		void Deinit() override {}

	private:
		Engine* GameEngine = nullptr;
	};

	void BuildFace(benchmark::State& state)
	{
		VornBench::GLStage stage(std::make_unique<CameraGame>());
		for (auto _ : state)
		{
			FontResource* font =
			    ResourceManager<FontResource>::Load(DebugDrawSystem::DEBUG_FONT_PATH, eResourceSource::ENGINE);
			benchmark::DoNotOptimize(font->GetFace(32).TextureProxy.get());
			glFinish();
			ResourceManager<FontResource>::Release(font);
		}
	}

	void LayOutText(benchmark::State& state)
	{
		VornBench::GLStage stage(std::make_unique<CameraGame>());
		FontResource* font =
		    ResourceManager<FontResource>::Load(DebugDrawSystem::DEBUG_FONT_PATH, eResourceSource::ENGINE);
		const FontResource::FontFace& face = font->GetFace(32);
		const String text(HUNDRED_CHARACTERS);
		for (auto _ : state)
		{
			Dynarray<TextFieldLetter> letters;
			Impl::LayOutLetters(face.Characters, text, letters);
			benchmark::DoNotOptimize(letters.GetData());
		}
		ResourceManager<FontResource>::Release(font);
	}

	void RebuildText(benchmark::State& state)
	{
		VornBench::GLStage stage(std::make_unique<CameraGame>());
		Text2D text(DebugDrawSystem::DEBUG_FONT_PATH, eResourceSource::ENGINE, 32, HUNDRED_CHARACTERS, Color::WHITE);
		text.UpdateDeviceBuffers();
		for (auto _ : state)
		{
			text.SetText(HUNDRED_CHARACTERS);
			text.UpdateDeviceBuffers();
			glFinish();
		}
	}
} // namespace

BENCHMARK(BuildFace)->Unit(benchmark::kMillisecond);
BENCHMARK(LayOutText)->Unit(benchmark::kMicrosecond);
BENCHMARK(RebuildText)->Unit(benchmark::kMicrosecond);
