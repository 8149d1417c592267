#pragma once

#include "engine.hpp"
#include "fixtures/manualclock.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "glrenderingdevice.hpp"
#include "renderers/tiled/tiledforwardrenderer.hpp"

#include <epoxy/gl.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace VornBench
{
	constexpr int WIDTH = 1280;
	constexpr int HEIGHT = 720;
	constexpr Vorn::u64 SIXTIETH_OF_A_SECOND = 16'666'667;

	// Which context the stage's device gets.
	enum class eStageContext
	{
		DRIVER_BEST, // what the driver offers: 4.3 and the tiled renderer where it can
		GL_3_3,      // Mesa limited to 3.3 for this stage, so the device falls back to the forward renderer
	};

	// A 1280x720 window, an engine on it with the real OpenGL device, and the game's generated assets. The engine's
	// clock is the manual one: every frame advances it by a sixtieth of a second.
	class GLStage
	{
	public:
		explicit GLStage(std::unique_ptr<Vorn::IGame> game, eStageContext context = eStageContext::DRIVER_BEST)
		{
			// Mesa reads the override when SDL opens the display, so each stage may choose anew.
			if (context == eStageContext::GL_3_3)
				setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 1);
			else
				unsetenv("MESA_GL_VERSION_OVERRIDE");
			VornTests::WriteFile("AssetsPathConfig.json",
			                     "{\n    \"EngineAssetsPath\": \"" VORN_BUILD_ENGINE_ASSETS_PATH
			                     "\",\n    \"GameAssetsPath\": \"" VORN_GENERATED_GAME_ASSETS_PATH "\"\n}\n");
			SDL_Init(SDL_INIT_VIDEO);
			Window = SDL_CreateWindow("VornRendererBench", 0, 0, WIDTH, HEIGHT, SDL_WINDOW_OPENGL);
			EngineInstance = std::make_unique<Vorn::Engine>();
			auto device = std::make_unique<Vorn::GLRenderingDevice>(Window, Vorn::ScreenSize{WIDTH, HEIGHT});
			RendererType = device->GetRendererType();
			const auto start = std::chrono::steady_clock::now();
			EngineInstance->Init(std::move(game), std::move(device));
			RunFrame();
			glFinish();
			InitToFirstFrameSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
		}

		~GLStage()
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

		Vorn::Engine& GetEngine() { return *EngineInstance; }
		Vorn::eRendererType GetRendererType() const { return RendererType; }
		// The tiled renderer's step timings; null on the forward renderer.
		Vorn::PassTimings* GetPassTimings()
		{
			auto* tiled = dynamic_cast<Vorn::TiledForwardRenderer*>(Vorn::gRenderingDevice->GetRenderer());
			return tiled ? &tiled->GetPassTimings() : nullptr;
		}
		Vorn::World* GetWorld() { return EngineInstance->GetWorld(); }
		double InitToFirstFrameSeconds = 0.0;

	private:
		VornTests::TempWorkingDirectory WorkingDirectory;
		VornTests::ManualClock Clock;
		SDL_Window* Window = nullptr;
		std::unique_ptr<Vorn::Engine> EngineInstance;
		Vorn::eRendererType RendererType = Vorn::eRendererType::FALLBACK;
	};
} // namespace VornBench
