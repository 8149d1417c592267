// Runs the launcher program end to end against the display the test runs under, each run in its own folder with
// its own AssetsPathConfig.json.
#include "fixtures/filesystementry.hpp"
#include "support/launcherprocess.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
	namespace fs = std::filesystem;
	using namespace std::chrono_literals;
	using namespace VornTests;

	const std::string DEVICE_LIBRARY = VORN_DEVICE_LIBRARY_PATH;
	const std::string KIVO_GAME_LIBRARY = VORN_KIVO_GAME_LIBRARY_PATH;
	const std::string TEST_GAME_LIBRARY = VORN_TEST_GAME_LIBRARY_PATH;
	const std::string GAME_ASSETS_PATH = VORN_GENERATED_GAME_ASSETS_PATH;

	std::string LoadedLine(const std::string& function, const std::string& path)
	{
		return "[ERROR] Function [" + function + "] from shared library [" + path + "] loaded succesfully!";
	}

	// What every successful start logs, in order, up to the frame loop; `gameLines` are the game's own.
	std::vector<std::string> StartUpLines(const std::string& gamePath, const std::vector<std::string>& gameLines)
	{
		std::vector<std::string> lines = {
		    "[DEBUG] SDL initialized.",
		    "[DEBUG] Window created.",
		    "[DEBUG] Engine created.",
		    LoadedLine("VornCreateRenderingDevice", DEVICE_LIBRARY),
		    "[DEBUG] Library libRenderingDevice loaded.",
		    LoadedLine("CreateGame", gamePath),
		    "[DEBUG] Library libGame loaded.",
		    "[DEBUG] Game created",
		    "[INFO] OpenGL context set up successfully",
		    "[INFO] GL Renderer: ",
		    "[INFO] Fitting renderer (0 - Fallback, 1 - Highend): 1",
		    "[DEBUG] Device created.",
		    "[INFO] GLRenderingDevice::Init",
		    "[INFO] OpenGL supported extensions:",
		    "[INFO] Ext 0: ",
		    "[INFO] GLRenderingDevice::CreateUtilityTextures",
		};
		lines.insert(lines.end(), gameLines.begin(), gameLines.end());
		lines.push_back("[DEBUG] Engine initialization and handshake successfull. Starting main loop...");
		return lines;
	}

	std::vector<std::string> Concatenate(std::vector<std::string> first, const std::vector<std::string>& second)
	{
		first.insert(first.end(), second.begin(), second.end());
		return first;
	}

	std::vector<std::string> FrameLines(int frameCount)
	{
		std::vector<std::string> lines;
		for (int frame = 1; frame <= frameCount; ++frame)
			lines.push_back("[INFO] FrameCountingGame frame " + std::to_string(frame));
		return lines;
	}

	const std::vector<std::string> TEST_GAME_INIT_LINES = {"[INFO] FrameCountingGame::RegisterEngine",
	                                                       "[INFO] FrameCountingGame::Init"};
	const std::vector<std::string> SHUTDOWN_LINES = {"[DEBUG] Closing main loop...", "[INFO] FrameCountingGame::Deinit",
	                                                 "[DEBUG] Exiting..."};

	// Waits for the started launcher's frame loop, lets it play for `playTime`, then closes its window. False when the
	// loop never started; `closeSent` tells whether the window was found.
	bool PlayThenCloseTheWindow(LauncherRun& run, std::chrono::seconds playTime, bool& closeSent)
	{
		const bool isRunning = run.WaitForLog([](const std::string& log)
		                                      { return log.find("Starting main loop...") != std::string::npos; });
		closeSent = false;
		if (!isRunning)
			return false;
		std::this_thread::sleep_for(playTime);
		// The window exists before the loop starts; retry only in case the server is slow to list it.
		for (int attempt = 0; attempt < 100 && !closeSent; ++attempt)
		{
			closeSent = RequestWindowClose("VornEngine standalone");
			if (!closeSent)
				std::this_thread::sleep_for(50ms);
		}
		return true;
	}

	// The game's sky seen from above is sand: warm, clearly unlike the device's neutral grey clear colour.
	bool IsSand(const unsigned char* rgb) { return rgb[0] > 60 && rgb[0] > rgb[1] + 8 && rgb[1] > rgb[2] + 8; }
	bool IsBulletBlue(const unsigned char* rgb) { return rgb[2] > 150 && rgb[2] > rgb[0] + 40; }

	// The screen once the game shows its arena. The first frame comes after the sky's environment capture, which
	// takes a while on a software renderer; the last screenshot when it never comes.
	Screenshot WaitForTheArena()
	{
		Screenshot shot;
		const auto deadline = std::chrono::steady_clock::now() + 80s;
		while (std::chrono::steady_clock::now() < deadline)
		{
			shot = GrabScreen();
			if (!shot.IsEmpty() && IsSand(shot.At(20, shot.Height - 20)))
				break;
			std::this_thread::sleep_for(250ms);
		}
		return shot;
	}

	TEST(LauncherTest, GameQuittingAfterFiveFramesRunsThemAndExitsWithZero)
	{
		LauncherRun run;
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY);

		const LauncherResult result = run.Run({{"VORN_TEST_QUIT_AFTER_FRAMES", "5"}});

		ASSERT_EQ(result.ExitCode, 0) << Describe(result);
		const std::vector<std::string> expected = Concatenate(
		    Concatenate(StartUpLines(TEST_GAME_LIBRARY, TEST_GAME_INIT_LINES), FrameLines(5)), SHUTDOWN_LINES);
		EXPECT_TRUE(HasLinesInOrder(result.ConsoleLog, expected));
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[INFO] FrameCountingGame frame "), 5);
		EXPECT_EQ(LastLine(result.ConsoleLog), "[DEBUG] Exiting...");
		// Nothing but the log reaches standard output, so both hold exactly the same lines.
		EXPECT_EQ(result.StandardOutput, result.ConsoleLog);
	}

	TEST(LauncherTest, MissingConfigurationLeavesEmptyPathsAndStopsAtDeviceLibraryWithExitCodeOne)
	{
		LauncherRun run;

		const LauncherResult result = run.Run();

		ASSERT_EQ(result.ExitCode, 1) << Describe(result);
		EXPECT_TRUE(HasLinesInOrder(result.ConsoleLog,
		                            {"[DEBUG] SDL initialized.", "[DEBUG] Window created.", "[DEBUG] Engine created.",
		                             "[ERROR] Shared library [] load failed. Error code: empty library path"}));
		EXPECT_EQ(result.ConsoleLog.find("Function ["), std::string::npos) << result.ConsoleLog;
		EXPECT_EQ(LastLine(result.ConsoleLog), "[ERROR] Shared library [] load failed. Error code: empty library path");
		EXPECT_EQ(result.StandardOutput, result.ConsoleLog);

		const std::string writtenConfig = ReadFile(run.GetRunFolder() / "AssetsPathConfig.json");
		EXPECT_NE(writtenConfig.find("\"RenderingDeviceLibPath\": \"\""), std::string::npos) << writtenConfig;
		EXPECT_NE(writtenConfig.find("\"GameLibPath\": \"\""), std::string::npos) << writtenConfig;
	}

	struct LibraryFailureCase
	{
		const char* Name;
		std::string DevicePath;
		std::string GamePath;
		// The last lines of the log, in order; the last one ends the run.
		std::vector<std::string> ClosingLines;
		// Part of the loader's error text that must follow "Error code: " in the last line.
		std::string ErrorCodeText;
	};

	void PrintTo(const LibraryFailureCase& failure, std::ostream* stream) { *stream << failure.Name; }

	class LauncherLibraryFailureTest : public testing::TestWithParam<LibraryFailureCase>
	{
	};

	TEST_P(LauncherLibraryFailureTest, LogsTheLoaderErrorLastAndExitsWithOne)
	{
		const LibraryFailureCase& failure = GetParam();
		LauncherRun run;
		run.WriteAssetsPathConfig(failure.DevicePath, failure.GamePath);

		const LauncherResult result = run.Run();

		ASSERT_EQ(result.ExitCode, 1) << Describe(result);
		EXPECT_TRUE(HasLinesInOrder(result.ConsoleLog, failure.ClosingLines));
		const std::string lastLine = LastLine(result.ConsoleLog);
		EXPECT_TRUE(StartsWith(lastLine, failure.ClosingLines.back())) << result.ConsoleLog;
		EXPECT_NE(lastLine.find(failure.ErrorCodeText), std::string::npos) << lastLine;
		EXPECT_EQ(result.ConsoleLog.find("Game created"), std::string::npos) << result.ConsoleLog;
	}

	INSTANTIATE_TEST_SUITE_P(
	    LoaderErrors, LauncherLibraryFailureTest,
	    testing::Values(LibraryFailureCase{"MissingDeviceLibrary",
	                                       "./missingdevice.so",
	                                       TEST_GAME_LIBRARY,
	                                       {"[DEBUG] Engine created.",
	                                        "[ERROR] Shared library [./missingdevice.so] load failed. Error code: "},
	                                       "./missingdevice.so: cannot open shared object file"},
	                    LibraryFailureCase{
	                        "DeviceLibraryWithoutDeviceFactory",
	                        TEST_GAME_LIBRARY,
	                        TEST_GAME_LIBRARY,
	                        {"[DEBUG] Engine created.", "[ERROR] Function [VornCreateRenderingDevice] from shared "
	                                                    "library [" +
	                                                        TEST_GAME_LIBRARY + "] load failed. Error code: "},
	                        "undefined symbol: VornCreateRenderingDevice"},
	                    LibraryFailureCase{"EmptyGameLibraryPath",
	                                       DEVICE_LIBRARY,
	                                       "",
	                                       {LoadedLine("VornCreateRenderingDevice", DEVICE_LIBRARY),
	                                        "[DEBUG] Library libRenderingDevice loaded.",
	                                        "[ERROR] Shared library [] load failed. Error code: "},
	                                       "empty library path"},
	                    LibraryFailureCase{"GameLibraryWithoutGameFactory",
	                                       DEVICE_LIBRARY,
	                                       DEVICE_LIBRARY,
	                                       {"[DEBUG] Library libRenderingDevice loaded.",
	                                        "[ERROR] Function [CreateGame] from shared library [" + DEVICE_LIBRARY +
	                                            "] load failed. Error code: "},
	                                       "undefined symbol: CreateGame"}),
	    [](const testing::TestParamInfo<LibraryFailureCase>& info) { return info.param.Name; });

	TEST(LauncherTest, RealGameRunsForSecondsAndShutsDownOnceWhenTheWindowCloses)
	{
		LauncherRun run;
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, KIVO_GAME_LIBRARY, GAME_ASSETS_PATH);
		run.Start();

		bool closeSent = false;
		// Long enough for the first enemy wave (two seconds of play) to arrive.
		const bool isRunning = PlayThenCloseTheWindow(run, 3s, closeSent);
		const LauncherResult result = run.Wait();

		ASSERT_TRUE(isRunning) << Describe(result);
		ASSERT_TRUE(closeSent) << "no window titled \"VornEngine standalone\"";
		ASSERT_EQ(result.ExitCode, 0) << Describe(result);
		EXPECT_TRUE(HasLinesInOrder(
		    result.ConsoleLog,
		    Concatenate(StartUpLines(KIVO_GAME_LIBRARY,
		                             {"[INFO] KivoGame::InitCommon", "[INFO] KivoGame::Init register update phases",
		                              "[INFO] DravSystem::Init", "[INFO] DravSystem::CreateCamera"}),
		                {"[DEBUG] Closing main loop...", "[INFO] GameManagerSystem::Deinit",
		                 "[INFO] DravSystem::Cleanup", "[DEBUG] Exiting..."})));
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[DEBUG] Closing main loop..."), 1);
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[ERROR] Resource loading failed!"), 0);
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[ERROR] Error Importing Asset"), 0);
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[ERROR] Failed to load texture: "), 0);
		EXPECT_EQ(LastLine(result.ConsoleLog), "[DEBUG] Exiting...");
	}

	// The game on each renderer: the tiled one on the driver's 4.3 context, the forward one where the driver is
	// limited to 3.3.
	struct RendererCase
	{
		const char* Name;
		std::map<std::string, std::string> Environment;
		const char* FittingRendererLine;
	};

	void PrintTo(const RendererCase& renderer, std::ostream* out) { *out << renderer.Name; }

	class LauncherRendererTest : public testing::TestWithParam<RendererCase>
	{
	};

	TEST_P(LauncherRendererTest, RealGameShowsTheArenaThePlayerAndBlueBulletsWhileSpaceIsHeld)
	{
		LauncherRun run;
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, KIVO_GAME_LIBRARY, GAME_ASSETS_PATH);
		run.Start(GetParam().Environment);

		Screenshot shot = WaitForTheArena();
		bool firing = false;
		Screenshot firingShot;
		if (!shot.IsEmpty() && IsSand(shot.At(20, shot.Height - 20)))
		{
			firing = SendKey("keydown", "space");
			// Bullets fly 300 units a second towards the top of the screen and live for two seconds.
			std::this_thread::sleep_for(1s);
			firingShot = GrabScreen();
			SendKey("keyup", "space");
		}
		const bool closeSent = RequestWindowClose("VornEngine standalone");
		const LauncherResult result = run.Wait();

		ASSERT_FALSE(shot.IsEmpty()) << "no screen to read";
		ASSERT_TRUE(IsSand(shot.At(20, shot.Height - 20))) << "the sky panorama never showed\n" << Describe(result);
		ASSERT_TRUE(firing) << "xdotool could not press space";
		ASSERT_FALSE(firingShot.IsEmpty());
		EXPECT_TRUE(closeSent);
		EXPECT_EQ(result.ExitCode, 0) << Describe(result);

		// The player's drone sits where the top-down camera sees the arena's origin: above the screen's centre.
		const int centreX = firingShot.Width / 2;
		int dronePixels = 0;
		for (int y = firingShot.Height / 4; y < firingShot.Height / 2; ++y)
			for (int x = centreX - 40; x < centreX + 40; ++x)
				dronePixels += IsSand(firingShot.At(x, y)) ? 0 : 1;
		EXPECT_GT(dronePixels, 200) << "the player's drone";

		// Its bullets: blue, on the way up from the drone.
		int bulletPixels = 0;
		for (int y = 0; y < firingShot.Height / 2; ++y)
			for (int x = centreX - 20; x < centreX + 20; ++x)
				bulletPixels += IsBulletBlue(firingShot.At(x, y)) ? 1 : 0;
		EXPECT_GT(bulletPixels, 10) << "blue bullets";
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, GetParam().FittingRendererLine), 1) << Describe(result);
	}

	INSTANTIATE_TEST_SUITE_P(
	    Renderers, LauncherRendererTest,
	    testing::Values(RendererCase{"Tiled", {}, "[INFO] Fitting renderer (0 - Fallback, 1 - Highend): 1"},
	                    RendererCase{"Forward",
	                                 {{"MESA_GL_VERSION_OVERRIDE", "3.3"}},
	                                 "[INFO] Fitting renderer (0 - Fallback, 1 - Highend): 0"}),
	    [](const testing::TestParamInfo<RendererCase>& info) { return std::string(info.param.Name); });

	// The frame counter's text: white, with its baseline 300 pixels above the window's bottom-left corner.
	int CountFrameCounterPixels(const Screenshot& shot)
	{
		int white = 0;
		for (int y = shot.Height - 300 - 30; y < shot.Height - 300 + 4; ++y)
			for (int x = 300; x < 300 + 160; ++x)
			{
				const unsigned char* rgb = shot.At(x, y);
				white += (rgb[0] > 200 && rgb[1] > 200 && rgb[2] > 200) ? 1 : 0;
			}
		return white;
	}

	TEST(LauncherTest, F10ShowsTheFrameCounterOverTheGameAndF5HidesItAgain)
	{
		LauncherRun run;
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, KIVO_GAME_LIBRARY, GAME_ASSETS_PATH);
		run.Start();

		const Screenshot before = WaitForTheArena();
		const bool isPlaying = !before.IsEmpty() && IsSand(before.At(20, before.Height - 20));
		Screenshot debug;
		Screenshot after;
		bool keysSent = false;
		if (isPlaying)
		{
			// The key must be held for a frame at least; the game draws a few frames a second here.
			keysSent = SendKey("keydown", "F10");
			std::this_thread::sleep_for(1s);
			keysSent &= SendKey("keyup", "F10");
			std::this_thread::sleep_for(2s);
			debug = GrabScreen();
			keysSent &= SendKey("keydown", "F5");
			std::this_thread::sleep_for(1s);
			keysSent &= SendKey("keyup", "F5");
			std::this_thread::sleep_for(2s);
			after = GrabScreen();
		}
		const bool closeSent = RequestWindowClose("VornEngine standalone");
		const LauncherResult result = run.Wait();

		ASSERT_TRUE(isPlaying) << "the game never showed\n" << Describe(result);
		ASSERT_TRUE(keysSent) << "xdotool could not press the keys";
		ASSERT_FALSE(debug.IsEmpty());
		ASSERT_FALSE(after.IsEmpty());
		EXPECT_TRUE(closeSent);
		EXPECT_EQ(result.ExitCode, 0) << Describe(result);
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[ERROR] Font: "), 0) << Describe(result);

		EXPECT_LT(CountFrameCounterPixels(before), 5) << "no counter before debug mode";
		EXPECT_GT(CountFrameCounterPixels(debug), 60) << "\"FPS: n\" in white at (300, 300)";
		EXPECT_LT(CountFrameCounterPixels(after), 5) << "leaving debug mode hides it";
	}

	TEST(LauncherTest, QuitEventAndGameQuitInTheSameFrameShutDownOnceAfterThatFrame)
	{
		LauncherRun run;
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY);

		// The event posted in frame 3 is drained at the start of frame 4, the frame in which the game asks to quit.
		const LauncherResult result =
		    run.Run({{"VORN_TEST_PUSH_QUIT_AT_FRAME", "3"}, {"VORN_TEST_QUIT_AFTER_FRAMES", "4"}});

		ASSERT_EQ(result.ExitCode, 0) << Describe(result);
		EXPECT_TRUE(HasLinesInOrder(result.ConsoleLog, Concatenate(FrameLines(4), SHUTDOWN_LINES)));
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[INFO] FrameCountingGame frame "), 4);
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[DEBUG] Closing main loop..."), 1);
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[INFO] FrameCountingGame::Deinit"), 1);
	}

	TEST(LauncherTest, QuitEventAloneStillRunsTheFrameItArrivesIn)
	{
		LauncherRun run;
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY);

		const LauncherResult result =
		    run.Run({{"VORN_TEST_PUSH_QUIT_AT_FRAME", "2"}, {"VORN_TEST_QUIT_AFTER_FRAMES", "0"}});

		ASSERT_EQ(result.ExitCode, 0) << Describe(result);
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[INFO] FrameCountingGame frame "), 3);
		EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, "[DEBUG] Closing main loop..."), 1);
	}

	// A copy of the engine assets the build lays out, under <root>/Engine/Res, for cases that break one of its files.
	void CopyEngineAssets(const LauncherRun& run)
	{
		fs::create_directories(run.GetRoot() / "Engine");
		fs::copy(VORN_BUILD_ENGINE_ASSETS_PATH, run.GetRoot() / "Engine" / "Res", fs::copy_options::recursive);
	}

	void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

	// A bad input the launcher must survive: it never aborts, hangs or changes a file the user had.
	struct BadInputCase
	{
		const char* Name;
		// Lays the input out; returns the user's files (relative to the run root) and where each must end up: the
		// same path for files the launcher must leave alone, a backup name for files it moves aside.
		std::function<std::map<std::string, std::string>(LauncherRun&)> Prepare;
		int ExitCode;
		// Lines of the log, in order, each a prefix; the last one is the last line of the log.
		std::vector<std::string> Lines;
		bool IsUnprivileged = false;
	};

	void PrintTo(const BadInputCase& badInput, std::ostream* stream) { *stream << badInput.Name; }

	class LauncherBadInputTest : public testing::TestWithParam<BadInputCase>
	{
	};

	TEST_P(LauncherBadInputTest, ExitsCleanlyWithOneLineToFixAndKeepsEveryUserFile)
	{
		const BadInputCase& badInput = GetParam();
		LauncherRun run;
		if (badInput.IsUnprivileged && !run.RunNextAsUnprivilegedUser())
			GTEST_SKIP() << "no way to run the launcher as an unprivileged user here (setpriv is missing)";
		const std::map<std::string, std::string> userFiles = badInput.Prepare(run);
		std::map<std::string, std::string> before;
		for (const auto& [path, destination] : userFiles)
			before[path] = DescribeEntry(run.GetRoot() / path);

		const LauncherResult result = run.Run({{"VORN_TEST_QUIT_AFTER_FRAMES", "2"}});

		// A missing log file leaves standard output as the only log.
		const std::string& log = result.StandardOutput;
		ASSERT_FALSE(result.TimedOut) << Describe(result);
		EXPECT_EQ(result.ExitCode, badInput.ExitCode) << Describe(result) << log;
		EXPECT_TRUE(HasLinesInOrder(log, badInput.Lines));
		EXPECT_TRUE(StartsWith(LastLine(log), badInput.Lines.back())) << log;
		EXPECT_EQ(result.StandardError.find("Fatal check failed"), std::string::npos) << result.StandardError;
		for (const auto& [path, destination] : userFiles)
			EXPECT_EQ(DescribeEntry(run.GetRoot() / destination), before[path]) << path << " -> " << destination;
	}

	const std::string ENGINE_FAILED = "[ERROR] Engine initialization failed; see the errors above. Exiting...";
	const std::string EMPTY_DEVICE_PATH = "[ERROR] Shared library [] load failed. Error code: empty library path";
	const std::string TEST_GAME_EXIT = "[DEBUG] Exiting...";

	std::map<std::string, std::string> Unchanged(std::initializer_list<std::string> paths)
	{
		std::map<std::string, std::string> files;
		for (const std::string& path : paths)
			files[path] = path;
		return files;
	}

	// A plug-in file cut short: its header is whole but its segments are not.
	std::map<std::string, std::string> WriteTruncatedDevice(LauncherRun& run)
	{
		const std::string library = ReadFile(DEVICE_LIBRARY);
		WriteText(run.GetRunFolder() / "truncated.so", library.substr(0, 64 * 1024));
		run.WriteAssetsPathConfig("./truncated.so", TEST_GAME_LIBRARY);
		return Unchanged({"run/truncated.so"});
	}

	// An asset root under a path of about 3,000 characters, far beyond any usual buffer but within the system's limit,
	// written without its trailing slash.
	std::map<std::string, std::string> WriteLongEngineAssetsPath(LauncherRun& run)
	{
		fs::path folder = run.GetRoot();
		for (int level = 0; level < 14; ++level)
			folder /= std::string(200, static_cast<char>('a' + level));
		fs::create_directories(folder);
		fs::create_directory_symlink(VORN_BUILD_ENGINE_ASSETS_PATH, folder / "Res");
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY, "", (folder / "Res").string());
		return {};
	}

	INSTANTIATE_TEST_SUITE_P(
	    Inputs, LauncherBadInputTest,
	    testing::Values(
	        BadInputCase{
	            "EngineAssetsFolderMissing",
	            [](LauncherRun& run)
	            {
		            run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY, "", "../NoSuchEngine/Res/");
		            return std::map<std::string, std::string>{{"NoSuchEngine", "NoSuchEngine"}};
	            },
	            1,
	            {"[ERROR] Engine shader ../NoSuchEngine/Res/Shaders/equiToCubemap.vert.glsl cannot be read (File "
	             "load failed from all sources, check config); the engine assets folder \"../NoSuchEngine/Res/\" "
	             "(EngineAssetsPath in AssetsPathConfig.json) does not exist",
	             ENGINE_FAILED}},
	        BadInputCase{"ShaderMissingUnderARootWithoutTrailingSlash",
	                     [](LauncherRun& run)
	                     {
		                     CopyEngineAssets(run);
		                     fs::remove(run.GetRoot() / "Engine/Res/Shaders/dof.frag.glsl");
		                     run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY, "", "../Engine/Res");
		                     return Unchanged({"Engine/Res/Shaders"});
	                     },
	                     1,
	                     {"[ERROR] Engine shader ../Engine/Res/Shaders/dof.frag.glsl cannot be read", ENGINE_FAILED}},
	        BadInputCase{"ShaderWithASyntaxError",
	                     [](LauncherRun& run)
	                     {
		                     CopyEngineAssets(run);
		                     WriteText(run.GetRoot() / "Engine/Res/Shaders/gamma.frag.glsl",
		                               "#version 430 core\nvoid main() { this is not GLSL }\n");
		                     run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY, "", "../Engine/Res/");
		                     return Unchanged({"Engine/Res/Shaders"});
	                     },
	                     1,
	                     {"[ERROR] Shader compilation: ",
	                      "[ERROR] Engine shader ../Engine/Res/Shaders/gamma.frag.glsl does not compile",
	                      ENGINE_FAILED}},
	        BadInputCase{"VeryLongEngineAssetsPath",
	                     WriteLongEngineAssetsPath,
	                     0,
	                     {"[DEBUG] Engine initialization and handshake successfull.", TEST_GAME_EXIT}},
	        BadInputCase{"LogFileIsAFolder",
	                     [](LauncherRun& run)
	                     {
		                     fs::create_directory(run.GetRunFolder() / "console.log");
		                     run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY);
		                     return Unchanged({"run/console.log"});
	                     },
	                     0,
	                     {"[WARNING] Logging to standard output only: Cannot open file for writing: console.log",
	                      "[DEBUG] SDL initialized.", TEST_GAME_EXIT}},
	        BadInputCase{"ReadOnlyWorkingFolder",
	                     [](LauncherRun& run)
	                     {
		                     run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY);
		                     fs::permissions(run.GetRunFolder(), fs::perms::owner_all | fs::perms::group_read |
		                                                             fs::perms::group_exec | fs::perms::others_read |
		                                                             fs::perms::others_exec);
		                     return Unchanged({"run/AssetsPathConfig.json"});
	                     },
	                     0,
	                     {"[WARNING] Logging to standard output only: Cannot open file for writing: console.log",
	                      "[ERROR] Config file AssetsPathConfig.json could not be written", TEST_GAME_EXIT},
	                     true},
	        BadInputCase{"AssetsPathConfigLinksToAnEndlessDevice",
	                     [](LauncherRun& run)
	                     {
		                     fs::create_symlink("/dev/zero", run.GetRunFolder() / "AssetsPathConfig.json");
		                     return std::map<std::string, std::string>{
		                         {"run/AssetsPathConfig.json", "run/AssetsPathConfig.json.bak"}};
	                     },
	                     1,
	                     {"[ERROR] Config file AssetsPathConfig.json is malformed (AssetsPathConfig.json: is not a "
	                      "regular file",
	                      EMPTY_DEVICE_PATH}},
	        BadInputCase{"DebugConfigLinksToAnEndlessDevice",
	                     [](LauncherRun& run)
	                     {
		                     CopyEngineAssets(run);
		                     fs::create_directories(run.GetRoot() / "Engine/Res/Configs");
		                     fs::remove(run.GetRoot() / "Engine/Res/Configs/DebugConfig.json");
		                     fs::create_symlink("/dev/zero", run.GetRoot() / "Engine/Res/Configs/DebugConfig.json");
		                     run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY, "", "../Engine/Res/");
		                     return std::map<std::string, std::string>{
		                         {"Engine/Res/Configs/DebugConfig.json", "Engine/Res/Configs/DebugConfig.json.bak"}};
	                     },
	                     0,
	                     {"[ERROR] Config file ../Engine/Res/Configs/DebugConfig.json is malformed", TEST_GAME_EXIT}},
	        BadInputCase{"AssetsPathConfigIsANamedPipe",
	                     [](LauncherRun& run)
	                     {
		                     mkfifo((run.GetRunFolder() / "AssetsPathConfig.json").c_str(), 0644);
		                     return std::map<std::string, std::string>{
		                         {"run/AssetsPathConfig.json", "run/AssetsPathConfig.json.bak"}};
	                     },
	                     1,
	                     {"[ERROR] Config file AssetsPathConfig.json is malformed (AssetsPathConfig.json: is not a "
	                      "regular file",
	                      EMPTY_DEVICE_PATH}},
	        BadInputCase{"MalformedConfigBesideTheUsersOwnBackup",
	                     [](LauncherRun& run)
	                     {
		                     WriteText(run.GetRunFolder() / "AssetsPathConfig.json.bak", "the user's own backup");
		                     WriteText(run.GetRunFolder() / "AssetsPathConfig.json", "{ \"GameLibPath\": ");
		                     return std::map<std::string, std::string>{
		                         {"run/AssetsPathConfig.json.bak", "run/AssetsPathConfig.json.bak"},
		                         {"run/AssetsPathConfig.json", "run/AssetsPathConfig.json.bak.1"}};
	                     },
	                     1,
	                     {"[ERROR] Config file AssetsPathConfig.json is malformed", EMPTY_DEVICE_PATH}},
	        BadInputCase{"UnreadableAssetsPathConfig",
	                     [](LauncherRun& run)
	                     {
		                     run.WriteAssetsPathConfig(DEVICE_LIBRARY, TEST_GAME_LIBRARY);
		                     fs::permissions(run.GetRunFolder() / "AssetsPathConfig.json", fs::perms::none);
		                     fs::permissions(run.GetRunFolder(), fs::perms::all);
		                     return Unchanged({"run/AssetsPathConfig.json"});
	                     },
	                     1,
	                     {"[ERROR] Config file AssetsPathConfig.json exists but cannot be read (AssetsPathConfig.json: "
	                      "Permission denied); using the defaults and leaving the file as it is",
	                      EMPTY_DEVICE_PATH},
	                     true},
	        BadInputCase{"TruncatedDevicePlugin",
	                     WriteTruncatedDevice,
	                     1,
	                     {"[ERROR] Shared library [./truncated.so] load failed. Error code: truncated ELF file: a "
	                      "loadable segment lies past its end"}},
	        BadInputCase{"DevicePluginThatIsNoLibrary",
	                     [](LauncherRun& run)
	                     {
		                     WriteText(run.GetRunFolder() / "text.so", "just some text");
		                     run.WriteAssetsPathConfig("./text.so", TEST_GAME_LIBRARY);
		                     return Unchanged({"run/text.so"});
	                     },
	                     1,
	                     {"[ERROR] Shared library [./text.so] load failed. Error code: not an ELF file"}},
	        BadInputCase{"DevicePluginThatIsAFolder",
	                     [](LauncherRun& run)
	                     {
		                     fs::create_directory(run.GetRunFolder() / "folder.so");
		                     run.WriteAssetsPathConfig("./folder.so", TEST_GAME_LIBRARY);
		                     return Unchanged({"run/folder.so"});
	                     },
	                     1,
	                     {"[ERROR] Shared library [./folder.so] load failed. Error code: ./folder.so: is a folder"}}),
	    [](const testing::TestParamInfo<BadInputCase>& info) { return info.param.Name; });

	// The real game over a copy of its assets with a material library whose statements start before any material,
	// textures that are an endless device and a named pipe, and a sky that is an endless device: it starts, plays
	// without those textures, and leaves every file as it was.
	TEST(LauncherTest, RealGameWithBrokenAssetsPlaysAndLeavesTheFilesAlone)
	{
		LauncherRun run;
		const fs::path assets = run.GetRoot() / "Game" / "Res";
		fs::create_directories(assets.parent_path());
		fs::copy(GAME_ASSETS_PATH, assets, fs::copy_options::recursive);
		const fs::path drone = assets / "Models/Drone/OBJ";
		WriteText(drone / "Drone_00.mtl",
		          "Kd 1 1 1\nmap_Kd Drone_00_Albedo.png\nnewmtl DroneMaterial\nmap_Kd endless.png\nmap_Ks pipe.png\n");
		fs::create_symlink("/dev/zero", drone / "endless.png");
		ASSERT_EQ(mkfifo((drone / "pipe.png").c_str(), 0644), 0);
		fs::remove(assets / "HDR/HDR.hdr");
		fs::create_symlink("/dev/zero", assets / "HDR/HDR.hdr");
		const std::string before = DescribeEntry(assets);
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, KIVO_GAME_LIBRARY, assets.string());
		run.Start();

		bool closeSent = false;
		const bool isRunning = PlayThenCloseTheWindow(run, 2s, closeSent);
		const LauncherResult result = run.Wait();

		ASSERT_TRUE(isRunning) << Describe(result);
		EXPECT_TRUE(closeSent);
		EXPECT_EQ(result.ExitCode, 0) << Describe(result);
		EXPECT_TRUE(HasLinesInOrder(result.ConsoleLog,
		                            {"[INFO] Vorn::LoadImageHDR Failed to load: " + assets.string() + "/HDR/HDR.hdr",
		                             "[WARNING] Material library " + (drone / "Drone_00.mtl").string() +
		                                 " has statements before its first newmtl line; they are ignored",
		                             "[INFO] Vorn::LoadImage Failed to load: " + (drone / "endless.png").string(),
		                             "[INFO] Vorn::LoadImage Failed to load: " + (drone / "pipe.png").string(),
		                             "[DEBUG] Closing main loop...", "[DEBUG] Exiting..."}));
		EXPECT_EQ(DescribeEntry(assets), before);
	}
} // namespace
