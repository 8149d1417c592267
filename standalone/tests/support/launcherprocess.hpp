#pragma once

// Runs the launcher program as a separate process in a folder of its own, reads its log and looks at the display it
// runs on (screenshots, key presses, closing its window), for the tests that drive the launcher end to end.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// The program, the helper preloaded into it and the engine's assets root come from the build (compile definitions
// VORN_STANDALONE_PATH, VORN_KEEP_GL_DRIVER_LOADED_PATH and VORN_BUILD_ENGINE_ASSETS_PATH).
namespace VornTests
{
	namespace fs = std::filesystem;
	using namespace std::chrono_literals;

	constexpr auto RUN_TIMEOUT = 60s;

	inline std::string ReadFile(const fs::path& path)
	{
		std::ifstream file(path, std::ios::binary);
		std::stringstream content;
		content << file.rdbuf();
		return content.str();
	}

	inline std::vector<std::string> SplitLines(const std::string& text)
	{
		std::vector<std::string> lines;
		std::istringstream stream(text);
		for (std::string line; std::getline(stream, line);)
			lines.push_back(line);
		return lines;
	}

	inline bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

	// Every expected entry must begin a line of `text`, in the given order; other lines may come between them.
	inline testing::AssertionResult HasLinesInOrder(const std::string& text, const std::vector<std::string>& expected)
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

	inline int CountLinesStartingWith(const std::string& text, const std::string& prefix)
	{
		int count = 0;
		for (const std::string& line : SplitLines(text))
			count += StartsWith(line, prefix) ? 1 : 0;
		return count;
	}

	inline std::string LastLine(const std::string& text)
	{
		const std::vector<std::string> lines = SplitLines(text);
		return lines.empty() ? std::string() : lines.back();
	}

	// Without `gameAssetsPath` the game's assets root keeps its default. The engine's assets are always the ones the
	// build lays out: the device builds its shaders from them.
	inline std::string AssetsPathConfig(const std::string& devicePath, const std::string& gamePath,
	                                    const std::string& gameAssetsPath = "",
	                                    const std::string& engineAssetsPath = VORN_BUILD_ENGINE_ASSETS_PATH)
	{
		const std::string assets =
		    gameAssetsPath.empty() ? "" : ",\n    \"GameAssetsPath\": \"" + gameAssetsPath + "\"";
		return "{\n    \"EngineAssetsPath\": \"" + engineAssetsPath + "\",\n    \"RenderingDeviceLibPath\": \"" +
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
		                           const std::string& gameAssetsPath = "",
		                           const std::string& engineAssetsPath = VORN_BUILD_ENGINE_ASSETS_PATH)
		{
			std::ofstream(RunFolder / "AssetsPathConfig.json")
			    << AssetsPathConfig(devicePath, gamePath, gameAssetsPath, engineAssetsPath);
		}

		const fs::path& GetRoot() const { return Root; }

		// Runs the launcher as an unprivileged user when the test runs as root, so file permissions apply to it.
		// False when that cannot be done here.
		bool RunNextAsUnprivilegedUser()
		{
			if (geteuid() != 0)
				return true;
			if (!fs::exists("/usr/bin/setpriv"))
				return false;
			fs::permissions(Root, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
			IsUnprivileged = true;
			return true;
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
				if (IsUnprivileged)
					execl("/usr/bin/setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
					      VORN_STANDALONE_PATH, static_cast<char*>(nullptr));
				else
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
		bool IsUnprivileged = false;
	};

	inline std::string Describe(const LauncherResult& result)
	{
		return "exit code " + std::to_string(result.ExitCode) + (result.TimedOut ? " (timed out)" : "") +
		       "\n--- console.log ---\n" + result.ConsoleLog + "--- stderr ---\n" + result.StandardError;
	}

	// Asks the window to close the way a window manager does when the user clicks its close button.
	inline bool RequestWindowClose(const std::string& title)
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

	inline Screenshot GrabScreen()
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

	// Presses or releases a key the way a keyboard does, through the X test extension (xdotool).
	inline bool SendKey(const char* action, const char* key)
	{
		return std::system(("xdotool " + std::string(action) + " " + key).c_str()) == 0;
	}
} // namespace VornTests
