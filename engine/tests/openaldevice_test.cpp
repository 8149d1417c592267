#include "audio/openaldevice.hpp"
#include "engine.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace Vorn;
using namespace VornTests;

TEST(OpenALDeviceTest, OpensTheDefaultDeviceAndListsAtLeastOneName)
{
	// The suite runs on OpenAL Soft's null driver, which always opens.
	OpenALDevice device;
	EXPECT_TRUE(device.IsOpen());
	EXPECT_NE(device.GetNativeHandle(), nullptr);
	EXPECT_GE(device.GetAvailableDevices().GetSize(), 1u);
}

TEST(OpenALDeviceDeathTest, MachineWithoutAudioOutputRunsSilentWithAWarning)
{
	// OpenAL Soft reads its driver list once per process, so the check runs in a fresh child process
	// that re-executes this binary with no usable driver.
	const std::string previousStyle = GTEST_FLAG_GET(death_test_style);
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	const std::string previous = std::getenv("ALSOFT_DRIVERS") ? std::getenv("ALSOFT_DRIVERS") : "";
	setenv("ALSOFT_DRIVERS", "no-such-driver", 1);

	EXPECT_EXIT(
	    {
		    bool isSilent = false;
		    bool warned = false;
		    bool engineRan = false;
		    {
			    ConsoleCapture console;
			    OpenALDevice device;
			    isSilent = !device.IsOpen() && device.GetAvailableDevices().GetSize() >= 1;
			    warned = console.Contains("[WARNING] OpenAL: no audio output device could be opened");
		    }
		    {
			    TestEngine harness(2);
			    harness.Init();
			    harness.RunFrame();
			    harness.RunFrame();
			    engineRan = !harness.GetEngine().GetAudioDevice().IsOpen() && harness.GetEngine().IsQuitRequested();
		    }
		    std::fprintf(stderr, "silent=%d warned=%d engineRan=%d\n", isSilent, warned, engineRan);
		    std::exit(isSilent && warned && engineRan ? 0 : 1);
	    },
	    ::testing::ExitedWithCode(0), "silent=1 warned=1 engineRan=1");

	setenv("ALSOFT_DRIVERS", previous.c_str(), 1);
	GTEST_FLAG_SET(death_test_style, previousStyle);
}
