#pragma once

#include "builtshaders.hpp"
#include "hiddenwindowdevicetest.hpp"
#include "idlegame.hpp"
#include "tempengineassets.hpp"

#include "engine.hpp"
#include "fixtures/consolecapture.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

// One case per shader file (a path under the engine assets): without that file the engine's start fails cleanly
// and the log names the file and where it was looked for.
class MissingShaderTest : public HiddenWindowDeviceTest<64, 64>, public testing::WithParamInterface<std::string>
{
public:
	// The case's name: the file name with everything but letters and digits replaced by '_'.
	static std::string CaseName(const testing::TestParamInfo<std::string>& info)
	{
		std::string name = info.param.substr(std::string("Shaders/").size());
		std::replace_if(
		    name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
		return name;
	}

protected:
	void ExpectEngineInitFailsNamingTheMissingFile()
	{
		TempEngineAssets assets;
		CopyBuiltShaders();
		const std::string missing = GetParam();
		std::filesystem::remove(
		    Vorn::EvaluateFullResourcePath(Vorn::eResourceSource::ENGINE, missing.c_str()).GetStdString());
		Vorn::Engine engine;
		VornTests::ConsoleCapture console;

		EXPECT_FALSE(engine.Init(std::make_unique<IdleGame>(), std::move(Device)));

		EXPECT_TRUE(console.Contains("[ERROR] Engine shader ../Engine/Res/" + missing +
		                             " cannot be read (File load failed from all sources, check config); the engine "
		                             "assets folder \"../Engine/Res/\" (EngineAssetsPath in AssetsPathConfig.json) is "
		                             "missing this file\n"))
		    << console.GetText();
		EXPECT_TRUE(console.Contains("[ERROR] Rendering device set-up failed; the engine cannot start\n"));
		EXPECT_EQ(engine.GetWorld(), nullptr);
	}
};
