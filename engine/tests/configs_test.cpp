#include "configs/assetspathconfig.hpp"
#include "configs/debugconfig.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "io/fileoutputstream.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

using namespace Vorn;
using namespace VornTests;

namespace
{
	nlohmann::json ReadJson(const std::filesystem::path& path) { return nlohmann::json::parse(ReadFile(path)); }

	// Each test runs in its own folder. The two global configurations are put back to their defaults
	// afterwards, since a test may load other values into them.
	class ConfigTest : public ::testing::Test
	{
	protected:
		void TearDown() override
		{
			AssetsPathConfig defaults;
			defaults.Save();
			gAssetsPathConfig.Load();
			gDebugConfig.SetDisplayFPS(true);
		}

		TempWorkingDirectory Directory;
	};

	using ConfigDeathTest = ConfigTest;
} // namespace

TEST_F(ConfigTest, FileNamesAreTheTypeNameUnderConfigsUnlessTheLocationIsNone)
{
	AssetsPathConfig assetsPaths;
	DebugConfig debug;
	EXPECT_EQ(assetsPaths.GetFileName(), "AssetsPathConfig.json");
	EXPECT_EQ(debug.GetFileName(), "Configs/DebugConfig.json");
	EXPECT_EQ(assetsPaths.GetDisplayName(), "Assets Path Config");
	EXPECT_EQ(debug.GetDisplayName(), "Debug Config");
}

TEST_F(ConfigTest, FileNameIsBuiltOnceAndReturnedFromTheCache)
{
	DebugConfig debug;
	const String& first = debug.GetFileName();
	const String& second = debug.GetFileName();
	EXPECT_EQ(&first, &second);
	EXPECT_EQ(first.GetCStr(), second.GetCStr()) << "the cached text is not rebuilt";
}

TEST_F(ConfigTest, MissingFileKeepsTheDefaultsAndWritesThemAllOut)
{
	ConsoleCapture console;
	AssetsPathConfig config;
	config.Load();

	EXPECT_EQ(config.GetAssetsPath(eResourceSource::ENGINE), "../Engine/Res/");
	EXPECT_EQ(config.GetAssetsPath(eResourceSource::GAME), "../Games/QelGame/Res/");
	EXPECT_EQ(config.GetRenderingDeviceLibPath(), "");
	EXPECT_EQ(config.GetGameLibPath(), "");

	const nlohmann::json written = ReadJson("AssetsPathConfig.json");
	const nlohmann::json expected = {{"EngineAssetsPath", "../Engine/Res/"},
	                                 {"GameAssetsPath", "../Games/QelGame/Res/"},
	                                 {"RenderingDeviceLibPath", ""},
	                                 {"GameLibPath", ""}};
	EXPECT_EQ(written, expected);
	EXPECT_FALSE(std::filesystem::exists("AssetsPathConfig.json.bak"));
	EXPECT_FALSE(console.Contains("[ERROR]"));
}

TEST_F(ConfigTest, StoredValuesAreLoadedAndWrittenBackUnchanged)
{
	const nlohmann::json stored = {{"EngineAssetsPath", "engine/"},
	                               {"GameAssetsPath", "game/"},
	                               {"RenderingDeviceLibPath", "./libvornrenderingdevice.so"},
	                               {"GameLibPath", "./libKivo2018Game.so"}};
	WriteFile("AssetsPathConfig.json", stored.dump());

	AssetsPathConfig config;
	config.Load();

	EXPECT_EQ(config.GetAssetsPath(eResourceSource::ENGINE), "engine/");
	EXPECT_EQ(config.GetAssetsPath(eResourceSource::GAME), "game/");
	EXPECT_EQ(config.GetRenderingDeviceLibPath(), "./libvornrenderingdevice.so");
	EXPECT_EQ(config.GetGameLibPath(), "./libKivo2018Game.so");
	EXPECT_EQ(ReadJson("AssetsPathConfig.json"), stored);
}

TEST_F(ConfigTest, MalformedFileIsKeptAsBakWithAnErrorBeforeTheDefaultsAreWritten)
{
	const std::string userText = "{ \"EngineAssetsPath\": \"mine/\", oops";
	WriteFile("AssetsPathConfig.json", userText);
	ConsoleCapture console;

	AssetsPathConfig config;
	config.Load();

	EXPECT_EQ(ReadFile("AssetsPathConfig.json.bak"), userText);
	EXPECT_TRUE(console.Contains("[ERROR] Config file AssetsPathConfig.json is malformed")) << console.GetText();
	EXPECT_EQ(config.GetAssetsPath(eResourceSource::ENGINE), "../Engine/Res/");
	EXPECT_EQ(ReadJson("AssetsPathConfig.json")["EngineAssetsPath"], "../Engine/Res/");
}

TEST_F(ConfigTest, ReadableValuesOfAPartlyMalformedFileAreKept)
{
	const std::string userText = R"({"EngineAssetsPath": "mine/", "GameLibPath": 5})";
	WriteFile("AssetsPathConfig.json", userText);
	ConsoleCapture console;

	AssetsPathConfig config;
	config.Load();

	EXPECT_EQ(config.GetAssetsPath(eResourceSource::ENGINE), "mine/");
	EXPECT_EQ(config.GetGameLibPath(), "");
	EXPECT_EQ(ReadFile("AssetsPathConfig.json.bak"), userText);
	EXPECT_TRUE(console.Contains("GameLibPath")) << "the problem is named: " << console.GetText();
	const nlohmann::json written = ReadJson("AssetsPathConfig.json");
	EXPECT_EQ(written["EngineAssetsPath"], "mine/");
	EXPECT_EQ(written["GameLibPath"], "");
}

TEST_F(ConfigTest, DebugConfigIsReadUnderTheLoadedEngineAssetsPath)
{
	WriteFile("AssetsPathConfig.json", R"({"EngineAssetsPath": "custom/engine/"})");
	WriteFile("custom/engine/Configs/DebugConfig.json", R"({"DisplayFPS": false})");

	gAssetsPathConfig.Load();
	gDebugConfig.Load();

	EXPECT_FALSE(gDebugConfig.GetDisplayFPS());
	EXPECT_FALSE(std::filesystem::exists("../Engine/Res/Configs/DebugConfig.json"));
}

TEST_F(ConfigTest, MissingConfigsFolderIsCreated)
{
	gAssetsPathConfig.Load();
	gDebugConfig.Load();

	EXPECT_EQ(ReadJson("../Engine/Res/Configs/DebugConfig.json"), (nlohmann::json{{"DisplayFPS", true}}));
}

TEST_F(ConfigTest, UnwritableConfigIsReportedAndLoadingGoesOn)
{
	WriteFile("blocker", "a file where a folder should be");
	WriteFile("AssetsPathConfig.json", R"({"EngineAssetsPath": "blocker/"})");
	gAssetsPathConfig.Load();
	ConsoleCapture console;

	EXPECT_NO_THROW(gDebugConfig.Load());

	EXPECT_TRUE(console.Contains("[ERROR] Config file blocker/Configs/DebugConfig.json could not be written"))
	    << console.GetText();
	EXPECT_THROW(gDebugConfig.Save(), FileIOException);
}

TEST_F(ConfigTest, DebugPresetsAndActiveSwitchAreNotPersisted)
{
	DebugConfig config;
	EXPECT_EQ(config.GetDebugDrawPresets().GetMask(), 0x2u);
	EXPECT_TRUE(config.IsDebugRenderingActive());
	config.EnableDebugDrawPresets(EnumFlags<eDebugDrawPreset>::FromMask(0x10));
	config.SetDebugRenderingActive(false);
	config.Save();

	DebugConfig reloaded;
	reloaded.Load();
	EXPECT_EQ(reloaded.GetDebugDrawPresets().GetMask(), 0x2u);
	EXPECT_TRUE(reloaded.IsDebugRenderingActive());
}

TEST_F(ConfigTest, AssetsPathOfEachSource)
{
	WriteFile("AssetsPathConfig.json", R"({"EngineAssetsPath": "e/", "GameAssetsPath": "g/"})");
	AssetsPathConfig config;
	config.Load();
	EXPECT_EQ(config.GetAssetsPath(eResourceSource::ENGINE), "e/");
	EXPECT_EQ(config.GetAssetsPath(eResourceSource::GAME), "g/");
	EXPECT_EQ(config.GetAssetsPath(eResourceSource::RESERVED), "");
	EXPECT_EQ(config.GetAssetsPath(eResourceSource::NONE), "");
}

TEST_F(ConfigDeathTest, UnknownResourceSourceStops)
{
	EXPECT_DEATH(gAssetsPathConfig.GetAssetsPath(eResourceSource::_COUNT), "Invalid resource source!");
	EXPECT_DEATH(gAssetsPathConfig.GetAssetsPath(static_cast<eResourceSource>(17)), "Invalid resource source!");
}
