#include "configs/assetspathconfig.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/tempworkingdirectory.hpp"
#include "io/fileoutputstream.hpp"
#include "resources/resourcemanager.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>

using namespace Vorn;
using namespace VornTests;

namespace
{
	// A resource that "loads" by looking at its path: names containing "missing" fail the way a bad file
	// does; "broken", "hungry" and "odd" throw what a decoder or importer may throw on a hostile file.
	class TestResource : public ResourceBase
	{
	public:
		static inline int Constructed = 0;
		static inline int Destroyed = 0;

		TestResource(const String& fullPath, int tag = 0) : FullPath(fullPath), Tag(tag)
		{
			if (fullPath.Contains("missing"))
				throw ResourceLoadFailedException();
			if (fullPath.Contains("broken"))
				throw std::logic_error("bad index in the file");
			if (fullPath.Contains("hungry"))
				throw std::bad_alloc();
			if (fullPath.Contains("odd"))
				throw 42;
			++Constructed;
		}

		const String FullPath;
		const int Tag;

	protected:
		~TestResource() override { ++Destroyed; }
	};
} // namespace

VORN_DECLARE_RESOURCE_REGISTRY(TestResource, gTestResourcesMap)
VORN_DEFINE_RESOURCE_REGISTRY(TestResource, gTestResourcesMap)

namespace
{
	class ResourceManagerTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			TestResource::Constructed = 0;
			TestResource::Destroyed = 0;
		}
		void TearDown() override { EXPECT_TRUE(Impl::gTestResourcesMap.empty()) << "a test leaked a resource"; }

		TempWorkingDirectory Directory;
	};

	using ResourceManagerDeathTest = ResourceManagerTest;
	using TextFileTest = ResourceManagerTest;
} // namespace

TEST_F(ResourceManagerTest, SamePathIsSharedAndDestroyedOnlyByTheLastRelease)
{
	TestResource* first = ResourceManager<TestResource>::Load("a.res", eResourceSource::GAME);
	TestResource* second = ResourceManager<TestResource>::Load("a.res", eResourceSource::GAME);
	ASSERT_NE(first, nullptr);
	EXPECT_EQ(first, second);
	EXPECT_EQ(first->GetRefCount(), 2u);
	EXPECT_EQ(TestResource::Constructed, 1);
	EXPECT_EQ(&Impl::GetResources<TestResource>(), &Impl::gTestResourcesMap);
	EXPECT_EQ(Impl::gTestResourcesMap.size(), 1u);

	ResourceManager<TestResource>::Release(first);
	EXPECT_EQ(TestResource::Destroyed, 0);
	EXPECT_EQ(Impl::gTestResourcesMap.count("a.res"), 1u);

	ResourceManager<TestResource>::Release(second);
	EXPECT_EQ(TestResource::Destroyed, 1);
	EXPECT_TRUE(Impl::gTestResourcesMap.empty());
}

TEST_F(ResourceManagerTest, ConstructorGetsTheFullPathAndTheResourceKeepsTheRelativeOne)
{
	TestResource* resource = ResourceManager<TestResource>::Load("Meshes/cube.obj", eResourceSource::ENGINE, 7);
	ASSERT_NE(resource, nullptr);
	EXPECT_EQ(resource->FullPath, gAssetsPathConfig.GetAssetsPath(eResourceSource::ENGINE) + "Meshes/cube.obj");
	EXPECT_EQ(resource->GetPath(), "Meshes/cube.obj");
	EXPECT_EQ(resource->Tag, 7);
	ResourceManager<TestResource>::Release(resource);
}

TEST_F(ResourceManagerTest, KeyIsTheRelativePathAloneWhateverSourceAndArgumentsFollow)
{
	TestResource* engineOne = ResourceManager<TestResource>::Load("shared.res", eResourceSource::ENGINE, 1);
	ConsoleCapture console;
	TestResource* gameOne = ResourceManager<TestResource>::Load("shared.res", eResourceSource::GAME, 2);

	EXPECT_EQ(gameOne, engineOne);
	EXPECT_EQ(gameOne->Tag, 1);
	EXPECT_EQ(TestResource::Constructed, 1);
	EXPECT_EQ(console.GetText(), "") << "a shared load logs nothing";
	ResourceManager<TestResource>::Release(engineOne);
	ResourceManager<TestResource>::Release(gameOne);
}

TEST_F(ResourceManagerTest, PathLoadedAgainAfterItsLastReleaseIsCreatedAndLoggedAnew)
{
	ConsoleCapture console;
	ResourceManager<TestResource>::Release(ResourceManager<TestResource>::Load("again.res", eResourceSource::NONE));
	ResourceManager<TestResource>::Release(ResourceManager<TestResource>::Load("again.res", eResourceSource::NONE));

	EXPECT_EQ(TestResource::Constructed, 2);
	EXPECT_EQ(TestResource::Destroyed, 2);
	EXPECT_EQ(console.GetText(), "[INFO] ResourceManager: Loading: again.res\n"
	                             "[INFO] ResourceManager: Loading: again.res\n");
}

TEST_F(ResourceManagerTest, FailedLoadReturnsNullRegistersNothingAndIsRetriedNextTime)
{
	TestResource* kept = ResourceManager<TestResource>::Load("kept.res", eResourceSource::NONE);
	ConsoleCapture console;

	EXPECT_EQ(ResourceManager<TestResource>::Load("missing.res", eResourceSource::NONE), nullptr);
	EXPECT_EQ(Impl::gTestResourcesMap.size(), 1u);
	EXPECT_EQ(ResourceManager<TestResource>::Load("missing.res", eResourceSource::NONE), nullptr);

	EXPECT_EQ(console.GetText(), "[INFO] ResourceManager: Loading: missing.res\n"
	                             "[ERROR] Resource loading failed! missing.res\n"
	                             "[INFO] ResourceManager: Loading: missing.res\n"
	                             "[ERROR] Resource loading failed! missing.res\n");
	ResourceManager<TestResource>::Release(kept);
}

TEST_F(ResourceManagerTest, FullResourcePathPutsTheSourcePrefixBeforeThePath)
{
	EXPECT_EQ(EvaluateFullResourcePath(eResourceSource::NONE, "a/b.txt"), "a/b.txt");
	EXPECT_EQ(EvaluateFullResourcePath(eResourceSource::RESERVED, "../x"), "../x");
	EXPECT_EQ(EvaluateFullResourcePath(eResourceSource::ENGINE, "Shaders/a.vert"),
	          gAssetsPathConfig.GetAssetsPath(eResourceSource::ENGINE) + "Shaders/a.vert");
	EXPECT_EQ(EvaluateFullResourcePath(eResourceSource::GAME, "level.txt"),
	          gAssetsPathConfig.GetAssetsPath(eResourceSource::GAME) + "level.txt");
}

TEST_F(ResourceManagerTest, RootsWithAndWithoutTrailingSlashJoinWithOneSeparator)
{
	WriteFile("AssetsPathConfig.json", R"({"EngineAssetsPath": "engine", "GameAssetsPath": "game/"})");
	gAssetsPathConfig.Load();
	EXPECT_EQ(EvaluateFullResourcePath(eResourceSource::ENGINE, "Shaders/a.vert"), "engine/Shaders/a.vert");
	EXPECT_EQ(EvaluateFullResourcePath(eResourceSource::GAME, "level.txt"), "game/level.txt");

	AssetsPathConfig defaults;
	defaults.Save();
	gAssetsPathConfig.Load();
}

TEST_F(ResourceManagerTest, ConstructorThrowingAnythingElseIsLoggedWithTheReasonAndGivesNull)
{
	const struct
	{
		const char* Path;
		const char* Reason;
	} cases[] = {
	    {"broken.res", "bad index in the file"},
	    {"hungry.res", "std::bad_alloc"},
	    {"odd.res", "unknown exception"},
	};
	for (const auto& c : cases)
	{
		ConsoleCapture console;
		EXPECT_EQ(ResourceManager<TestResource>::Load(c.Path, eResourceSource::NONE), nullptr) << c.Path;
		EXPECT_EQ(console.GetText(), std::string("[INFO] ResourceManager: Loading: ") + c.Path + "\n" +
		                                 "[ERROR] ResourceManager: " + c.Path + " could not be loaded: " + c.Reason +
		                                 "\n[ERROR] Resource loading failed! " + c.Path + "\n");
		EXPECT_TRUE(Impl::gTestResourcesMap.empty()) << c.Path;
	}
}

TEST_F(ResourceManagerDeathTest, ReleasingAResourceTheRegistryDoesNotHoldStops)
{
	EXPECT_DEATH(
	    {
		    TestResource* stray = new TestResource("stray.res");
		    stray->AddRef();
		    ResourceManager<TestResource>::Release(stray);
	    },
	    "Resource creation failed!");
}

TEST_F(TextFileTest, TextFilesAreReadByteForByte)
{
	const struct
	{
		const char* Name;
		std::string Content;
		std::string Expected;
	} cases[] = {
	    {"empty.txt", "", ""},
	    {"crlf.txt", "a\r\nb\r\n", "a\r\nb\r\n"},
	    {"zero.txt", std::string("before\0after", 12), "before"},
	};
	for (const auto& c : cases)
	{
		WriteFile(c.Name, c.Content);
		EXPECT_EQ(LoadTextFileRelative(eResourceSource::NONE, c.Name).GetStdString(), c.Expected) << c.Name;
	}
}

TEST_F(TextFileTest, SavedTextIsLoadedBackUnderTheSameSource)
{
	SaveTextFileRelative(eResourceSource::RESERVED, "note.txt", "line 1\nline 2\n");
	EXPECT_EQ(ReadFile("note.txt"), "line 1\nline 2\n");
	EXPECT_EQ(LoadTextFileRelative(eResourceSource::RESERVED, "note.txt"), "line 1\nline 2\n");

	SaveTextFileRelative(eResourceSource::RESERVED, "note.txt", "short");
	EXPECT_EQ(ReadFile("note.txt"), "short") << "saving replaces the whole file";
}

TEST_F(TextFileTest, FilesThatCannotBeOpenedRaiseFileIOException)
{
	try
	{
		LoadTextFileRelative(eResourceSource::NONE, "nowhere.txt");
		ADD_FAILURE() << "no exception";
	}
	catch (const FileIOException& error)
	{
		EXPECT_STREQ(error.what(), "File load failed from all sources, check config");
	}

	// Neither a folder nor a pipe is read: opening a pipe would wait for a writer forever.
	std::filesystem::create_directory("folder.txt");
	ASSERT_EQ(mkfifo("pipe.txt", 0644), 0);
	for (const char* name : {"folder.txt", "pipe.txt"})
	{
		try
		{
			LoadTextFileRelative(eResourceSource::NONE, name);
			ADD_FAILURE() << "no exception for " << name;
		}
		catch (const FileIOException& error)
		{
			EXPECT_NE(std::string(error.what()).find(std::string("File load failed: ") + name), std::string::npos)
			    << error.what();
		}
	}

	try
	{
		SaveTextFileRelative(eResourceSource::NONE, "no/such/folder/file.txt", "x");
		ADD_FAILURE() << "no exception";
	}
	catch (const FileIOException& error)
	{
		EXPECT_STREQ(error.what(), "File save failed");
	}
}
