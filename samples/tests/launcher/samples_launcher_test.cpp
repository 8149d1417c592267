// The samples as a player meets them: the launcher with the real device on the test's display, the menu first, a
// scene chosen with its number key, then a screenshot checked for what the scene shows. The screenshots are kept for
// the README.
#include "fixtures/testimages.hpp"
#include "support/assetfailures.hpp"
#include "support/launcherprocess.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace
{
	using namespace VornTests;

	const std::string DEVICE_LIBRARY = VORN_DEVICE_LIBRARY_PATH;
	const std::string SAMPLES_LIBRARY = VORN_SAMPLES_LIBRARY_PATH;
	const std::string SAMPLES_ASSETS_PATH = VORN_SAMPLES_ASSETS_PATH;

	double Luminance(const unsigned char* rgb) { return 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2]; }

	// Mean and standard deviation of the luminance over a rectangle of the screen.
	struct RegionStatistics
	{
		double Mean = 0.0;
		double Deviation = 0.0;
	};

	RegionStatistics MeasureRegion(const Screenshot& shot, int left, int top, int width, int height)
	{
		double sum = 0.0;
		double squares = 0.0;
		for (int y = top; y < top + height; ++y)
			for (int x = left; x < left + width; ++x)
			{
				const double value = Luminance(shot.At(x, y));
				sum += value;
				squares += value * value;
			}
		const double count = static_cast<double>(width) * height;
		const double mean = sum / count;
		return {mean, std::sqrt(std::max(0.0, squares / count - mean * mean))};
	}

	// Pixels of a rectangle that `predicate` accepts.
	int CountPixels(const Screenshot& shot, int left, int top, int width, int height,
	                const std::function<bool(const unsigned char*)>& predicate)
	{
		int count = 0;
		for (int y = top; y < top + height; ++y)
			for (int x = left; x < left + width; ++x)
				count += predicate(shot.At(x, y)) ? 1 : 0;
		return count;
	}

	// Clearly coloured, not a shade of grey: the sprite sheet's spinners, the particles, coloured text.
	bool IsVivid(const unsigned char* rgb)
	{
		const int brightest = std::max({rgb[0], rgb[1], rgb[2]});
		const int darkest = std::min({rgb[0], rgb[1], rgb[2]});
		return brightest > 120 && brightest - darkest > 60;
	}
	bool IsTrailOrange(const unsigned char* rgb) { return rgb[0] > 170 && rgb[1] > 100 && rgb[0] > rgb[2] + 60; }

	testing::AssertionResult HasAtLeast(int count, int least, const char* what)
	{
		if (count >= least)
			return testing::AssertionSuccess();
		return testing::AssertionFailure() << count << " pixels of " << what << ", fewer than " << least;
	}

	// The particles scene: the world-space emitter's orange trail on the left, the local-space emitter's cloud of
	// coloured spinners on the right, and the row of coloured texts of growing sizes below them.
	testing::AssertionResult ShowsParticlesAndText(const Screenshot& shot)
	{
		if (auto trail = HasAtLeast(CountPixels(shot, 140, 140, 250, 260, IsTrailOrange), 150, "orange trail"); !trail)
			return trail;
		if (auto cloud = HasAtLeast(CountPixels(shot, 840, 90, 350, 340, IsVivid), 300, "spinners in the cloud");
		    !cloud)
			return cloud;
		return HasAtLeast(CountPixels(shot, 260, 595, 760, 62, IsVivid), 800, "coloured text");
	}

	// The 2D bodies: orange boxes and blue circles.
	bool IsBody2D(const unsigned char* rgb)
	{
		const bool orange = rgb[0] > 190 && rgb[1] > 120 && rgb[1] < 210 && rgb[2] < 130;
		const bool blue = rgb[2] > 190 && rgb[0] < 140;
		return orange || blue;
	}

	// The pyramid's boxes, tan and orange.
	bool IsPyramidBox(const unsigned char* rgb)
	{
		return rgb[0] > 190 && rgb[1] > 140 && rgb[0] > rgb[2] + 50 && std::abs(rgb[0] - rgb[1]) < 70;
	}

	// Pixels of a rectangle whose colour changed between two screenshots by more than a faint flicker.
	int CountChangedPixels(const Screenshot& before, const Screenshot& after, int left, int top, int width, int height)
	{
		int changed = 0;
		for (int y = top; y < top + height; ++y)
			for (int x = left; x < left + width; ++x)
			{
				const unsigned char* a = before.At(x, y);
				const unsigned char* b = after.At(x, y);
				changed += (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) > 60 ? 1 : 0;
			}
		return changed;
	}

	// The floor of the pathfinding scene on the screen, a trapezoid seen from the front and above, widened by an
	// agent's size: an agent standing on an edge cell rises over the floor's outline.
	bool IsOverPathfindingFloor(int x, int y)
	{
		constexpr int AGENT_SIZE = 30;
		constexpr int TOP = 190;
		constexpr int BOTTOM = 562;
		if (y < TOP - AGENT_SIZE || y > BOTTOM)
			return false;
		const double t = std::max(0.0, static_cast<double>(y - TOP) / (BOTTOM - TOP));
		return x >= 347 - t * (347 - 216) - AGENT_SIZE && x <= 932 + t * (1063 - 932) + AGENT_SIZE;
	}

	// The agents: coloured spheres, far more saturated than the floor, the blocks and the sand.
	bool IsAgent(const unsigned char* rgb)
	{
		const int brightest = std::max({rgb[0], rgb[1], rgb[2]});
		const int darkest = std::min({rgb[0], rgb[1], rgb[2]});
		return brightest > 150 && brightest - darkest > 75;
	}

	// The audio scene's emitter, bright cream while it plays.
	bool IsPlayingEmitter(const unsigned char* rgb)
	{
		return rgb[0] > 225 && rgb[1] > 210 && rgb[2] > 150 && rgb[2] < 215;
	}

	bool IsMenuText(const unsigned char* rgb) { return rgb[0] > 200 && rgb[1] > 200 && rgb[2] > 200; }

	bool IsMenuYellow(const unsigned char* rgb)
	{
		return rgb[0] > 220 && rgb[1] > 200 && rgb[2] < 190 && rgb[0] > rgb[2] + 50;
	}

	// One scene as a player sees it: chosen with its key, given `Settle` to run, then whatever `Act` does (keys, the
	// mouse) before the screenshot `Check` reads.
	struct SceneShotCase
	{
		const char* Name;
		int Scene;
		// The launcher's extra environment: MESA_GL_VERSION_OVERRIDE=3.3 for the fallback renderer.
		std::map<std::string, std::string> Environment;
		std::chrono::milliseconds Settle;
		std::function<testing::AssertionResult(const Screenshot&)> Check;
		// Optional: what the player does next (keys, the mouse; false when xdotool failed), how long that takes to
		// show, and the check of the screen then, given the one before.
		std::function<bool()> Act = nullptr;
		std::chrono::milliseconds ActSettle = std::chrono::milliseconds(0);
		std::function<testing::AssertionResult(const Screenshot& before, const Screenshot& after)> CheckAfterAct =
		    nullptr;
		// Optional: after Settle, the screen is read again until this holds (or a minute has passed), for scenes
		// whose gameplay time runs behind the clock when the machine is busy.
		std::function<bool(const Screenshot&)> Ready = nullptr;
	};

	// Runs xdotool with `arguments` (keys, the mouse) against the test's display.
	bool Xdotool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

	void PrintTo(const SceneShotCase& shotCase, std::ostream* out) { *out << shotCase.Name; }

	// Holds the key down until the samples log that they switched (the frame rate is low on a software renderer),
	// then lets it go. False when the switch never came.
	bool ChooseScene(LauncherRun& run, int scene)
	{
		const std::string key = std::to_string(scene);
		const std::string line = "[INFO] Samples: scene " + key + " - ";
		if (!SendKey("keydown", key.c_str()))
			return false;
		const bool switched =
		    run.WaitForLog([&line](const std::string& log) { return log.find(line) != std::string::npos; });
		return SendKey("keyup", key.c_str()) && switched;
	}

	class SamplesLauncherTest : public testing::TestWithParam<SceneShotCase>
	{
	};

	TEST_P(SamplesLauncherTest, SceneShowsWhatItIsAbout)
	{
		const SceneShotCase& shotCase = GetParam();
		LauncherRun run;
		run.WriteAssetsPathConfig(DEVICE_LIBRARY, SAMPLES_LIBRARY, SAMPLES_ASSETS_PATH);
		run.Start(shotCase.Environment);

		// The menu comes first; its first frame follows the sky's environment capture.
		bool isShowing = run.WaitForLog([](const std::string& log)
		                                { return log.find("Starting main loop...") != std::string::npos; });
		if (isShowing && shotCase.Scene != 0)
			isShowing = ChooseScene(run, shotCase.Scene);
		bool acted = true;
		Screenshot shot;
		Screenshot afterAct;
		if (isShowing)
		{
			std::this_thread::sleep_for(shotCase.Settle);
			shot = GrabScreen();
			const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
			while (shotCase.Ready && !shot.IsEmpty() && !shotCase.Ready(shot) &&
			       std::chrono::steady_clock::now() < deadline)
			{
				std::this_thread::sleep_for(std::chrono::milliseconds(500));
				shot = GrabScreen();
			}
			if (shotCase.Act)
			{
				acted = shotCase.Act();
				std::this_thread::sleep_for(shotCase.ActSettle);
				afterAct = GrabScreen();
			}
		}
		const bool closeSent = RequestWindowClose("VornEngine standalone");
		const LauncherResult result = run.Wait();

		ASSERT_TRUE(isShowing) << "the scene never showed\n" << Describe(result);
		ASSERT_TRUE(acted) << "xdotool could not play the scene";
		ASSERT_FALSE(shot.IsEmpty()) << "no screen to read";
		WritePng(std::string(VORN_SCREENSHOTS_PATH) + shotCase.Name + ".png", shot.Width, shot.Height, 3, shot.Rgb);
		EXPECT_TRUE(closeSent);
		EXPECT_EQ(result.ExitCode, 0) << Describe(result);
		for (const char* failure : ASSET_FAILURE_LINES)
			EXPECT_EQ(CountLinesStartingWith(result.ConsoleLog, failure), 0) << failure << "\n" << Describe(result);
		EXPECT_TRUE(shotCase.Check(shot));
		if (shotCase.Act)
		{
			ASSERT_FALSE(afterAct.IsEmpty()) << "no screen to read after playing";
			WritePng(std::string(VORN_SCREENSHOTS_PATH) + shotCase.Name + "-after.png", afterAct.Width, afterAct.Height,
			         3, afterAct.Rgb);
			EXPECT_TRUE(shotCase.CheckAfterAct(shot, afterAct));
		}
	}

	using namespace std::chrono_literals;

	INSTANTIATE_TEST_SUITE_P(
	    Scenes, SamplesLauncherTest,
	    testing::Values(
	        // The list of scenes in yellow at the top left, under the title and the controls.
	        SceneShotCase{"Menu",
	                      0,
	                      {},
	                      3s,
	                      [](const Screenshot& shot)
	                      {
		                      const int yellow = CountPixels(shot, 16, 110, 360, 160, IsMenuYellow);
		                      return yellow > 1500 ? testing::AssertionSuccess()
		                                           : testing::AssertionFailure()
		                                                 << yellow << " yellow pixels where the list stands";
	                      },
	                      nullptr,
	                      0s,
	                      nullptr,
	                      // The first frame comes after the sky's environment capture, slow on a busy machine.
	                      [](const Screenshot& shot)
	                      { return CountPixels(shot, 16, 110, 360, 160, IsMenuYellow) > 1500; }},
	        // The front row is metal: the smooth sphere on the left mirrors sky and floor in sharp contrast, the rough
	        // one on the right is an even blur. The sun comes from the left, so the rough dielectric spheres at the
	        // back are brighter on their left.
	        SceneShotCase{"MaterialsAndLights",
	                      1,
	                      {},
	                      3s,
	                      [](const Screenshot& shot)
	                      {
		                      const RegionStatistics smooth = MeasureRegion(shot, 212, 462, 100, 100);
		                      const RegionStatistics rough = MeasureRegion(shot, 967, 462, 100, 100);
		                      const RegionStatistics litSide = MeasureRegion(shot, 880, 290, 40, 40);
		                      const RegionStatistics darkSide = MeasureRegion(shot, 925, 290, 40, 40);
		                      if (smooth.Deviation < 2.0 * rough.Deviation)
			                      return testing::AssertionFailure()
			                             << "contrast on the smooth sphere " << smooth.Deviation
			                             << ", on the rough one " << rough.Deviation;
		                      if (litSide.Mean < darkSide.Mean + 5.0)
			                      return testing::AssertionFailure()
			                             << "lit side " << litSide.Mean << ", other side " << darkSide.Mean;
		                      return testing::AssertionSuccess();
	                      }},
	        // The poured bodies lie piled on the container's floor, none left in the air above them.
	        SceneShotCase{"Physics2D",
	                      2,
	                      {},
	                      6s,
	                      [](const Screenshot& shot)
	                      {
		                      if (auto piled = HasAtLeast(CountPixels(shot, 410, 500, 460, 75, IsBody2D), 10000,
		                                                  "bodies at the container's bottom");
		                          !piled)
			                      return piled;
		                      const int high = CountPixels(shot, 410, 250, 460, 120, IsBody2D);
		                      return high < 1500
		                                 ? testing::AssertionSuccess()
		                                 : testing::AssertionFailure() << high << " body pixels high in the container";
	                      },
	                      nullptr,
	                      0s,
	                      nullptr,
	                      // The pour has ended and the bodies have come down.
	                      [](const Screenshot& shot)
	                      { return CountPixels(shot, 410, 150, 460, 220, IsBody2D) < 1500; }},
	        // The pyramid stands with its top box in place; a ball shot from the camera knocks it about.
	        SceneShotCase{"Physics3D",
	                      3,
	                      {},
	                      3s,
	                      [](const Screenshot& shot)
	                      {
		                      if (auto standing =
		                              HasAtLeast(CountPixels(shot, 540, 250, 200, 205, IsPyramidBox), 10000, "pyramid");
		                          !standing)
			                      return standing;
		                      return HasAtLeast(CountPixels(shot, 615, 245, 50, 45, IsPyramidBox), 300,
		                                        "the pyramid's top box");
	                      },
	                      [] { return Xdotool("keydown space sleep 0.6 keyup space"); },
	                      3s,
	                      [](const Screenshot& before, const Screenshot& after) {
		                      return HasAtLeast(CountChangedPixels(before, after, 500, 230, 280, 240), 3000,
		                                        "the pyramid changed by the shot");
	                      }},
	        // The agents walk on the floor among the blocks; none is off it.
	        SceneShotCase{"Pathfinding",
	                      4,
	                      {},
	                      4s,
	                      [](const Screenshot& shot)
	                      {
		                      int onFloor = 0;
		                      int elsewhere = 0;
		                      for (int y = 180; y < shot.Height; ++y)
			                      for (int x = 0; x < shot.Width; ++x)
				                      if (IsAgent(shot.At(x, y)))
					                      ++(IsOverPathfindingFloor(x, y) ? onFloor : elsewhere);
		                      if (elsewhere > 50)
			                      return testing::AssertionFailure() << elsewhere << " agent pixels off the floor";
		                      return HasAtLeast(onFloor, 800, "agents on the floor");
	                      }},
	        // The two-second sound has played out by the time the screenshot comes: the emitter is dark. Loop on and
	        // play, and it glows. (What the state's text lines say is checked by the scene's own tests.)
	        SceneShotCase{"Audio",
	                      5,
	                      {},
	                      3s,
	                      [](const Screenshot& shot)
	                      {
		                      const int bright = CountPixels(shot, 300, 0, 680, shot.Height, IsPlayingEmitter);
		                      if (bright > 300)
			                      return testing::AssertionFailure() << bright << " pixels glow before playing";
		                      return HasAtLeast(CountPixels(shot, 16, 90, 300, 100, IsMenuText), 400, "state text");
	                      },
	                      [] { return Xdotool("keydown l sleep 0.6 keyup l keydown p sleep 0.6 keyup p"); },
	                      2s,
	                      [](const Screenshot&, const Screenshot& after) {
		                      return HasAtLeast(CountPixels(after, 300, 0, 680, after.Height, IsPlayingEmitter), 2000,
		                                        "the playing emitter");
	                      }},
	        SceneShotCase{"ParticlesSpriteSheetsAndText", 6, {}, 4s, ShowsParticlesAndText},
	        // Only the fallback renderer draws sprite sheet components: the animated sheet between the emitters.
	        SceneShotCase{"ParticlesSpriteSheetsAndTextFallback",
	                      6,
	                      {{"MESA_GL_VERSION_OVERRIDE", "3.3"}},
	                      4s,
	                      [](const Screenshot& shot)
	                      {
		                      if (auto shown = ShowsParticlesAndText(shot); !shown)
			                      return shown;
		                      return HasAtLeast(CountPixels(shot, 559, 185, 162, 162, IsVivid), 1500,
		                                        "sprite sheet between the emitters");
	                      }}),
	    [](const testing::TestParamInfo<SceneShotCase>& info) { return std::string(info.param.Name); });
} // namespace
