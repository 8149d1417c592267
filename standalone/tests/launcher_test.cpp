// Runs the launcher program end to end against the display the test runs under, each run in its own folder with
// its own AssetsPathConfig.json.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
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

	const std::string DEVICE_LIBRARY = VORN_DEVICE_LIBRARY_PATH;
	const std::string KIVO_GAME_LIBRARY = VORN_KIVO_GAME_LIBRARY_PATH;
	const std::string TEST_GAME_LIBRARY = VORN_TEST_GAME_LIBRARY_PATH;
	const std::string GAME_ASSETS_PATH = VORN_GENERATED_GAME_ASSETS_PATH;
	constexpr auto RUN_TIMEOUT = 60s;

	std::string ReadFile(const fs::path& path)
	{
		std::ifstream file(path, std::ios::binary);
		std::stringstream content;
		content << file.rdbuf();
		return content.str();
	}

	std::vector<std::string> SplitLines(const std::string& text)
	{
		std::vector<std::string> lines;
		std::istringstream stream(text);
		for (std::string line; std::getline(stream, line);)
			lines.push_back(line);
		return lines;
	}

	bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

	// Every expected entry must begin a line of `text`, in the given order; other lines may come between them.
	testing::AssertionResult HasLinesInOrder(const std::string& text, const std::vector<std::string>& expected)
	{
		const std::vector<std::string> lines = SplitLines(text);
		std::size_t lineIndex = 0;
		for (const std::string& prefix : expected)
		{
			while (lineIndex < lines.size() && !StartsWith(lines[lineIndex], prefix))
				++lineIndex;
			if (lineIndex == lines.size())
				return testing::AssertionFailure() << "no line \"" << prefix << "\" in order in:\n" << text;
			++lineIndex;
		}
		return testing::AssertionSuccess();
	}

	int CountLinesStartingWith(const std::string& text, const std::string& prefix)
	{
		int count = 0;
		for (const std::string& line : SplitLines(text))
			count += StartsWith(line, prefix) ? 1 : 0;
		return count;
	}

	std::string LastLine(const std::string& text)
	{
		const std::vector<std::string> lines = SplitLines(text);
		return lines.empty() ? std::string() : lines.back();
	}

	// Without `gameAssetsPath` the game's assets root keeps its default. The engine's assets are always the ones the
	// build lays out: the device builds its shaders from them.
	std::string AssetsPathConfig(const std::string& devicePath, const std::string& gamePath,
	                             const std::string& gameAssetsPath = "")
	{
		const std::string assets =
		    gameAssetsPath.empty() ? "" : ",\n    \"GameAssetsPath\": \"" + gameAssetsPath + "\"";
		return "{\n    \"EngineAssetsPath\": \"" VORN_BUILD_ENGINE_ASSETS_PATH
		       "\",\n    \"RenderingDeviceLibPath\": \"" +
		       devicePath + "\",\n    \"GameLibPath\": \"" + gamePath + "\"" + assets + "\n}\n";
	}

	struct LauncherResult
	{
		int ExitCode = -1;
		bool TimedOut = false;
		std::string StandardOutput;
		std::string ConsoleLog;
		std::string StandardError;
	};

	// A launcher process in a fresh folder tree: <root>/run is its working directory, so the default engine asset
	// root "../Engine/Res/" stays inside <root> too.
	class LauncherRun
	{
	public:
		LauncherRun()
		{
			std::string pattern = (fs::temp_directory_path() / "vornlauncher-XXXXXX").string();
			Root = mkdtemp(pattern.data());
			RunFolder = Root / "run";
			fs::create_directories(RunFolder);
		}

		~LauncherRun()
		{
			if (Process > 0)
			{
				kill(Process, SIGKILL);
				waitpid(Process, nullptr, 0);
			}
			std::error_code ignored;
			fs::remove_all(Root, ignored);
		}

		LauncherRun(const LauncherRun&) = delete;
		LauncherRun& operator=(const LauncherRun&) = delete;

		const fs::path& GetRunFolder() const { return RunFolder; }

		void WriteAssetsPathConfig(const std::string& devicePath, const std::string& gamePath,
		                           const std::string& gameAssetsPath = "")
		{
			std::ofstream(RunFolder / "AssetsPathConfig.json")
			    << AssetsPathConfig(devicePath, gamePath, gameAssetsPath);
		}

		void Start(const std::map<std::string, std::string>& environment = {})
		{
			Process = fork();
			ASSERT_GE(Process, 0) << "fork failed";
			if (Process == 0)
			{
				if (chdir(RunFolder.c_str()) != 0)
					_exit(126);
				const int output = open((Root / "stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
				const int errors = open((Root / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
				if (output < 0 || errors < 0)
					_exit(126);
				dup2(output, STDOUT_FILENO);
				dup2(errors, STDERR_FILENO);
				for (const auto& [name, value] : environment)
					setenv(name.c_str(), value.c_str(), 1);
				// The preloaded helper comes before the sanitizer runtime in sanitizer builds; it only forwards
				// dlclose, so the runtime's order check is switched off.
				setenv("LD_PRELOAD", VORN_KEEP_GL_DRIVER_LOADED_PATH, 1);
				const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
				const std::string options = std::string(sanitizerOptions ? sanitizerOptions : "") +
				                            (sanitizerOptions && *sanitizerOptions ? ":" : "") +
				                            "verify_asan_link_order=0";
				setenv("ASAN_OPTIONS", options.c_str(), 1);
				execl(VORN_STANDALONE_PATH, "VornStandalone", static_cast<char*>(nullptr));
				_exit(127);
			}
		}

		// Polls the launcher's log until `condition` holds; false when the launcher ended or time ran out first.
		bool WaitForLog(const std::function<bool(const std::string&)>& condition)
		{
			const auto deadline = std::chrono::steady_clock::now() + RUN_TIMEOUT;
			while (std::chrono::steady_clock::now() < deadline)
			{
				if (condition(ReadFile(RunFolder / "console.log")))
					return true;
				if (waitpid(Process, &FinishedStatus, WNOHANG) == Process)
				{
					Finished = true;
					return false;
				}
				std::this_thread::sleep_for(20ms);
			}
			return false;
		}

		LauncherResult Wait()
		{
			LauncherResult result;
			int status = FinishedStatus;
			const auto deadline = std::chrono::steady_clock::now() + RUN_TIMEOUT;
			while (!Finished)
			{
				if (waitpid(Process, &status, WNOHANG) == Process)
					break;
				if (std::chrono::steady_clock::now() >= deadline)
				{
					kill(Process, SIGKILL);
					waitpid(Process, &status, 0);
					result.TimedOut = true;
					break;
				}
				std::this_thread::sleep_for(20ms);
			}
			Process = -1;
			Finished = false;

			result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
			result.StandardOutput = ReadFile(Root / "stdout.txt");
			result.StandardError = ReadFile(Root / "stderr.txt");
			result.ConsoleLog = ReadFile(RunFolder / "console.log");
			return result;
		}

		LauncherResult Run(const std::map<std::string, std::string>& environment = {})
		{
			Start(environment);
			return Wait();
		}

	private:
		fs::path Root;
		fs::path RunFolder;
		pid_t Process = -1;
		bool Finished = false;
		int FinishedStatus = 0;
	};

	std::string Describe(const LauncherResult& result)
	{
		return "exit code " + std::to_string(result.ExitCode) + (result.TimedOut ? " (timed out)" : "") +
		       "\n--- console.log ---\n" + result.ConsoleLog + "--- stderr ---\n" + result.StandardError;
	}

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

	// Asks the window to close the way a window manager does when the user clicks its close button.
	bool RequestWindowClose(const std::string& title)
	{
		Display* display = XOpenDisplay(nullptr);
		if (!display)
			return false;

		Window root = 0;
		Window parent = 0;
		Window* children = nullptr;
		unsigned int childCount = 0;
		Window target = 0;
		if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &childCount))
		{
			for (unsigned int i = 0; i < childCount && target == 0; ++i)
			{
				char* name = nullptr;
				if (XFetchName(display, children[i], &name) && name)
				{
					if (title == name)
						target = children[i];
					XFree(name);
				}
			}
			if (children)
				XFree(children);
		}

		if (target != 0)
		{
			XEvent event = {};
			event.xclient.type = ClientMessage;
			event.xclient.window = target;
			event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
			event.xclient.format = 32;
			event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
			event.xclient.data.l[1] = CurrentTime;
			XSendEvent(display, target, False, NoEventMask, &event);
			XFlush(display);
		}
		XCloseDisplay(display);
		return target != 0;
	}

	// The whole screen as 8-bit RGB, row by row from the top; empty when it cannot be read.
	struct Screenshot
	{
		int Width = 0;
		int Height = 0;
		std::vector<unsigned char> Rgb;

		bool IsEmpty() const { return Rgb.empty(); }
		const unsigned char* At(int x, int y) const { return &Rgb[(static_cast<std::size_t>(y) * Width + x) * 3]; }
	};

	Screenshot GrabScreen()
	{
		Screenshot shot;
		Display* display = XOpenDisplay(nullptr);
		if (!display)
			return shot;
		const Window root = DefaultRootWindow(display);
		XWindowAttributes attributes = {};
		XGetWindowAttributes(display, root, &attributes);
		if (XImage* image = XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap))
		{
			shot.Width = attributes.width;
			shot.Height = attributes.height;
			shot.Rgb.reserve(static_cast<std::size_t>(shot.Width) * shot.Height * 3);
			for (int y = 0; y < shot.Height; ++y)
				for (int x = 0; x < shot.Width; ++x)
				{
					const unsigned long pixel = XGetPixel(image, x, y);
					shot.Rgb.push_back(static_cast<unsigned char>((pixel & image->red_mask) >> 16));
					shot.Rgb.push_back(static_cast<unsigned char>((pixel & image->green_mask) >> 8));
					shot.Rgb.push_back(static_cast<unsigned char>(pixel & image->blue_mask));
				}
			XDestroyImage(image);
		}
		XCloseDisplay(display);
		return shot;
	}

	// The game's sky seen from above is sand: warm, clearly unlike the device's neutral grey clear colour.
	bool IsSand(const unsigned char* rgb) { return rgb[0] > 60 && rgb[0] > rgb[1] + 8 && rgb[1] > rgb[2] + 8; }
	bool IsBulletBlue(const unsigned char* rgb) { return rgb[2] > 150 && rgb[2] > rgb[0] + 40; }

	// Presses or releases a key the way a keyboard does, through the X test extension (xdotool).
	bool SendKey(const char* action, const char* key)
	{
		return std::system(("xdotool " + std::string(action) + " " + key).c_str()) == 0;
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

		const bool isRunning = run.WaitForLog([](const std::string& log)
		                                      { return log.find("Starting main loop...") != std::string::npos; });
		bool closeSent = false;
		if (isRunning)
		{
			// Long enough for the first enemy wave (two seconds of play) to arrive.
			std::this_thread::sleep_for(3s);
			// The window exists before the loop starts; retry only in case the server is slow to list it.
			for (int attempt = 0; attempt < 100 && !closeSent; ++attempt)
			{
				closeSent = RequestWindowClose("VornEngine standalone");
				if (!closeSent)
					std::this_thread::sleep_for(50ms);
			}
		}
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

	TEST(LauncherTest, RealGameShowsTheArenaThePlayerAndBlueBulletsWhileSpaceIsHeld)
	{
		LauncherRun run;
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, KIVO_GAME_LIBRARY, GAME_ASSETS_PATH);
		run.Start();

		// The first frame comes after the sky's environment capture, which takes a while on a software renderer.
		Screenshot shot;
		const auto deadline = std::chrono::steady_clock::now() + 80s;
		while (std::chrono::steady_clock::now() < deadline)
		{
			shot = GrabScreen();
			if (!shot.IsEmpty() && IsSand(shot.At(20, shot.Height - 20)))
				break;
			std::this_thread::sleep_for(250ms);
		}
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
} // namespace
