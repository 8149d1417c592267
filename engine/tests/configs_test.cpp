#include "configs/assetspathconfig.hpp"
#include "configs/debugconfig.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/filesystementry.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "io/fileoutputstream.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <ostream>
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

namespace
{
	namespace fs = std::filesystem;

	struct BadConfigCase
	{
		const char* Name;
		// Puts the user's entry at `path`.
		void (*Make)(const fs::path& path);
		// Part of the ERROR line's reason.
		const char* Problem;
	};

	void PrintTo(const BadConfigCase& badCase, std::ostream* stream) { *stream << badCase.Name; }

	class BadConfigFileTest : public ConfigTest, public testing::WithParamInterface<BadConfigCase>
	{
	};
} // namespace

// Whatever stands where a config file should be, the engine neither blocks nor reads without bound: the entry is
// moved aside untouched and the defaults are written in its place.
TEST_P(BadConfigFileTest, EntryIsKeptAsBakUnreadAndTheDefaultsAreWritten)
{
	const BadConfigCase& badCase = GetParam();
	for (const char* configName : {"AssetsPathConfig.json", "../Engine/Res/Configs/DebugConfig.json"})
	{
		SCOPED_TRACE(configName);
		fs::create_directories(fs::path(configName).parent_path().empty() ? "." : fs::path(configName).parent_path());
		badCase.Make(configName);
		const std::string before = DescribeEntry(configName);
		ConsoleCapture console;

		if (std::string(configName) == "AssetsPathConfig.json")
		{
			AssetsPathConfig config;
			config.Load();
			EXPECT_EQ(config.GetRenderingDeviceLibPath(), "");
		}
		else
		{
			DebugConfig config;
			config.Load();
			EXPECT_TRUE(config.GetDisplayFPS());
		}

		const std::string backup = std::string(configName) + ".bak";
		EXPECT_EQ(DescribeEntry(backup), before);
		EXPECT_TRUE(console.Contains(std::string("[ERROR] Config file ") + configName + " is malformed"))
		    << console.GetText();
		EXPECT_TRUE(console.Contains(badCase.Problem)) << console.GetText();
		EXPECT_TRUE(console.Contains("kept it as " + backup)) << console.GetText();
		EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(configName)));
		EXPECT_NO_THROW(ReadJson(configName)) << "the defaults are written as JSON";
	}
}

INSTANTIATE_TEST_SUITE_P(
    NotAConfigFile, BadConfigFileTest,
    testing::Values(BadConfigCase{"NamedPipe", [](const fs::path& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); },
                                  "is not a regular file"},
                    BadConfigCase{"LinkToEndlessDevice",
                                  [](const fs::path& path) { fs::create_symlink("/dev/zero", path); },
                                  "is not a regular file"},
                    BadConfigCase{"Folder",
                                  [](const fs::path& path)
                                  {
	                                  fs::create_directory(path);
	                                  WriteFile(path / "notes.txt", "kept");
                                  },
                                  "is a folder"},
                    BadConfigCase{"OverOneMebibyte",
                                  [](const fs::path& path)
                                  { WriteFile(path, "{\"a\": \"" + std::string(1024 * 1024, 'x') + "\"}"); },
                                  "bytes allowed"}),
    [](const testing::TestParamInfo<BadConfigCase>& info) { return info.param.Name; });

TEST_F(ConfigTest, MalformedFileNeverReplacesAnEarlierBackup)
{
	WriteFile("AssetsPathConfig.json.bak", "the user's own backup");
	WriteFile("AssetsPathConfig.json.bak.1", "an older engine backup");
	const std::string userText = "{ broken";
	WriteFile("AssetsPathConfig.json", userText);
	ConsoleCapture console;

	AssetsPathConfig config;
	config.Load();

	EXPECT_EQ(ReadFile("AssetsPathConfig.json.bak"), "the user's own backup");
	EXPECT_EQ(ReadFile("AssetsPathConfig.json.bak.1"), "an older engine backup");
	EXPECT_EQ(ReadFile("AssetsPathConfig.json.bak.2"), userText);
	EXPECT_TRUE(console.Contains("kept it as AssetsPathConfig.json.bak.2 ")) << console.GetText();
	EXPECT_FALSE(console.Contains("kept it as AssetsPathConfig.json.bak ")) << console.GetText();
}

namespace
{
	constexpr uid_t UNPRIVILEGED_ID = 65534;

	// Runs `body` in a child process as an unprivileged user when this process is root (root reads any file), and
	// returns what the body returned; in-process otherwise. False when no such user can be switched to.
	bool RunUnprivileged(const std::function<std::string()>& body, std::string& result)
	{
		if (geteuid() != 0)
		{
			result = body();
			return true;
		}
		int channel[2];
		if (pipe(channel) != 0)
			return false;
		const pid_t child = fork();
		if (child == 0)
		{
			close(channel[0]);
			if (setgroups(0, nullptr) != 0 || setgid(UNPRIVILEGED_ID) != 0 || setuid(UNPRIVILEGED_ID) != 0)
				_exit(3);
			const std::string text = body();
			const bool isWritten = write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
			_exit(isWritten ? 0 : 4);
		}
		close(channel[1]);
		result.clear();
		char chunk[4096];
		for (ssize_t count = 0; (count = read(channel[0], chunk, sizeof(chunk))) > 0;)
			result.append(chunk, static_cast<std::size_t>(count));
		close(channel[0]);
		int status = 0;
		waitpid(child, &status, 0);
		return WIFEXITED(status) && WEXITSTATUS(status) == 0;
	}
} // namespace

TEST_F(ConfigTest, UnreadableFileIsReportedAsUnreadableAndNeverRewritten)
{
	const std::string userText = R"({"EngineAssetsPath": "mine/"})";
	WriteFile("AssetsPathConfig.json", userText);
	fs::permissions("AssetsPathConfig.json", fs::perms::none);
	// The unprivileged user must reach the working folder.
	fs::permissions(Directory.GetRoot(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);

	std::string log;
	const bool hasRun = RunUnprivileged(
	    []
	    {
		    ConsoleCapture console;
		    AssetsPathConfig config;
		    config.Load();
		    return console.GetText() + "engine assets: " + config.GetAssetsPath(eResourceSource::ENGINE).GetStdString();
	    },
	    log);
	fs::permissions("AssetsPathConfig.json", fs::perms::owner_read | fs::perms::owner_write);
	if (!hasRun)
		GTEST_SKIP() << "cannot switch to an unprivileged user here";

	EXPECT_NE(log.find("[ERROR] Config file AssetsPathConfig.json exists but cannot be read (AssetsPathConfig.json: "
	                   "Permission denied); using the defaults and leaving the file as it is"),
	          std::string::npos)
	    << log;
	EXPECT_NE(log.find("engine assets: ../Engine/Res/"), std::string::npos) << log;
	EXPECT_EQ(ReadFile("AssetsPathConfig.json"), userText);
	EXPECT_FALSE(fs::exists("AssetsPathConfig.json.bak"));
}

TEST_F(ConfigTest, MissingEngineAssetsFolderIsNotCreatedForTheDebugConfig)
{
	WriteFile("AssetsPathConfig.json", R"({"EngineAssetsPath": "../Engine/Mistyped/"})");
	gAssetsPathConfig.Load();
	ConsoleCapture console;

	gDebugConfig.Load();

	EXPECT_FALSE(fs::exists("../Engine/Mistyped")) << "a mistyped root must show up as missing";
	EXPECT_TRUE(
	    console.Contains("[ERROR] Config file ../Engine/Mistyped/Configs/DebugConfig.json could not be written"))
	    << console.GetText();
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
