#include "engine.hpp"
#include "eventtranslation.hpp"
#include "fileandcoutstream.hpp"
#include "libraryloader.hpp"

#include "configs/assetspathconfig.hpp"
#include "io/fileoutputstream.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <SDL.h>

#include <memory>

using namespace Vorn;

namespace
{
	using CreateRenderingDeviceFunction = IRenderingDevice* (*)(SDL_Window*, ScreenSize const&);
	using CreateGameFunction = IGame* (*)();

	constexpr ScreenSize INITIAL_SCREEN_SIZE = {1280, 720};
} // namespace

int main(int, char*[])
{
	// A log file that cannot be made (a read-only folder) must not keep the game from starting.
	String logFileProblem;
	try
	{
		gConsole.RegisterStream(std::unique_ptr<OutputStream>(new FileAndCoutStream("console.log")));
	}
	catch (const FileIOException& exception)
	{
		logFileProblem = exception.GetMessage();
		gConsole.RegisterStream(std::unique_ptr<OutputStream>(new StdOutStream()));
	}
	if (!logFileProblem.IsEmpty())
		gConsole.LogWarning("Logging to standard output only: {}", logFileProblem);

	VORN_CHECK(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) == 0, "SDL initialization failed!");
	gConsole.LogDebug("SDL initialized.");

	SDL_Window* window = SDL_CreateWindow("VornEngine standalone", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
	                                      INITIAL_SCREEN_SIZE.Width, INITIAL_SCREEN_SIZE.Height,
	                                      SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
	VORN_CHECK(window != nullptr, "Failed to create standalone window!");
	gConsole.LogDebug("Window created.");

	std::unique_ptr<Engine> engine(new Engine());
	gConsole.LogDebug("Engine created.");

	// On the failure paths below the window and SDL are left to the end of the process.
	LibraryFunction deviceLibrary =
	    LoadLibraryFunction(gAssetsPathConfig.GetRenderingDeviceLibPath(), "VornCreateRenderingDevice");
	if (!deviceLibrary.IsLoaded())
	{
		engine.reset();
		return 1;
	}
	gConsole.LogDebug("Library libRenderingDevice loaded.");

	LibraryFunction gameLibrary = LoadLibraryFunction(gAssetsPathConfig.GetGameLibPath(), "CreateGame");
	if (!gameLibrary.IsLoaded())
	{
		ReleaseLibrary(deviceLibrary);
		engine.reset();
		return 1;
	}
	gConsole.LogDebug("Library libGame loaded.");

	auto createGame = reinterpret_cast<CreateGameFunction>(gameLibrary.Function);
	std::unique_ptr<IGame> game(createGame());
	gConsole.LogDebug("Game created");

	LauncherState state;
	state.Size = INITIAL_SCREEN_SIZE;
	auto createDevice = reinterpret_cast<CreateRenderingDeviceFunction>(deviceLibrary.Function);
	std::unique_ptr<IRenderingDevice> device(createDevice(window, state.Size));
	gConsole.LogDebug("Device created.");

	if (!engine->Init(std::move(game), std::move(device)))
	{
		gConsole.LogError("Engine initialization failed; see the errors above. Exiting...");
		engine.reset();
		SDL_DestroyWindow(window);
		SDL_Quit();
		ReleaseLibrary(gameLibrary);
		ReleaseLibrary(deviceLibrary);
		return 1;
	}
	gConsole.LogDebug("Engine initialization and handshake successfull. Starting main loop...");

	// No sleep and no frame cap: the device's vertical sync paces the loop. A quit event does not cut the
	// batch of events short, and one more update runs after it.
	while (!state.QuitRequested)
	{
		SDL_Event event;
		while (SDL_PollEvent(&event))
			TranslateEvent(event, engine.get(), state);

		engine->Update();

		if (!state.QuitRequested)
			state.QuitRequested = engine->IsQuitRequested();
	}

	gConsole.LogDebug("Closing main loop...");
	// The engine destroys the game and the device, whose code lives in the libraries released below.
	engine.reset();
	SDL_DestroyWindow(window);
	SDL_Quit();
	gConsole.LogDebug("Exiting...");

	ReleaseLibrary(gameLibrary);
	ReleaseLibrary(deviceLibrary);
	return 0;
}
