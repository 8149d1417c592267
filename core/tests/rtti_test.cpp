#include "io/fileoutputstream.hpp"
#include "rtti/rttibase.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

using namespace Vorn;

namespace
{
	class Settings : public RTTIBase
	{
	public:
		String Path = "default/path/";
		bool Enabled = true;
		int NotPersisted = 7;

		TypeInfo GetTypeInfo() const override { return TypeManager::Get().RegisterOrGetType("Settings", {}); }

		PropertyManagerBase* GetPropertyManager() override
		{
			static PropertyManager<Settings> manager = [this] {
				PropertyManager<Settings> built;
				built.AddProperty(Impl::CreatePropertyInfo(this, &Path, "Path", 0));
				built.AddProperty(Impl::CreatePropertyInfo(this, &Enabled, "Enabled", 0));
				return built;
			}();
			return &manager;
		}
	};

	// Property offsets are relative to the RTTIBase part, which is not at offset 0 here.
	struct Padding
	{
		virtual ~Padding() = default;
		double Filler = 0.0;
	};
	class DerivedSettings : public Padding, public Settings
	{
	};

	void WriteFile(const char* path, const std::string& text)
	{
		std::ofstream(path, std::ios::binary) << text;
	}

	std::string ReadFile(const char* path)
	{
		std::ifstream file(path, std::ios::binary);
		std::stringstream content;
		content << file.rdbuf();
		return content.str();
	}

	class RTTISerializationTest : public ::testing::Test
	{
	protected:
		// ctest runs the cases of this suite side by side in one folder, so each needs its own file.
		void SetUp() override
		{
			Path = std::string("rtti_test_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".json";
			FilePath = Path.c_str();
		}
		void TearDown() override { std::remove(FilePath); }
		std::string Path;
		const char* FilePath = nullptr;
	};
} // namespace

TEST(TypeManagerTest, SameNameGivesSameType)
{
	const TypeInfo first = TypeManager::Get().RegisterOrGetType("SomeType", {});
	const TypeInfo again = TypeManager::Get().RegisterOrGetType("SomeType", {});
	const TypeInfo other = TypeManager::Get().RegisterOrGetType("OtherType", {first});
	EXPECT_EQ(first, again);
	EXPECT_NE(first, other);
	EXPECT_STREQ(other.GetTypeName(), "OtherType");
	ASSERT_EQ(TypeManager::Get().GetBases(other).GetSize(), 1u);
	EXPECT_EQ(TypeManager::Get().GetBases(other)[0], first);
	EXPECT_FALSE(TypeInfo::INVALID.IsValid());
}

TEST_F(RTTISerializationTest, RoundTripThroughJson)
{
	DerivedSettings written;
	written.Path = "some/where \"quoted\"/";
	written.Enabled = false;
	written.SerializeToFile(FilePath);
	EXPECT_EQ(ReadFile(FilePath), "{\n    \"Path\": \"some/where \\\"quoted\\\"/\",\n    \"Enabled\": false\n}\n");

	DerivedSettings read;
	const DeserializationResult result = read.DeserializeFromFile(FilePath);
	EXPECT_EQ(result.Status, eDeserializationStatus::OK);
	EXPECT_TRUE(result.Problem.IsEmpty());
	EXPECT_EQ(read.Path, written.Path);
	EXPECT_FALSE(read.Enabled);
}

TEST_F(RTTISerializationTest, UnreadableContentKeepsDefaults)
{
	struct Case
	{
		const char* Name;
		const char* Content;
		eDeserializationStatus Status;
		const char* Path;
		bool Enabled;
		const char* Problem;
	};
	const Case cases[] = {
		{"not JSON", "{ \"Path\": ", eDeserializationStatus::MALFORMED, "default/path/", true, "is not a JSON object"},
		{"JSON but not an object", "[1, 2]", eDeserializationStatus::MALFORMED, "default/path/", true,
		 "is not a JSON object"},
		{"empty file", "", eDeserializationStatus::MALFORMED, "default/path/", true, "is not a JSON object"},
		{"missing key keeps default", "{\"Enabled\": false}", eDeserializationStatus::OK, "default/path/", false, ""},
		{"wrong type keeps default, rest is read", "{\"Path\": 5, \"Enabled\": false}",
		 eDeserializationStatus::MALFORMED, "default/path/", false, "property \"Path\" is not a string"},
		{"unknown key is reported", "{\"Path\": \"p\", \"Enabeld\": false}", eDeserializationStatus::MALFORMED, "p",
		 true, "unknown property \"Enabeld\""},
	};
	for (const Case& c : cases)
	{
		WriteFile(FilePath, c.Content);
		Settings settings;
		const DeserializationResult result = settings.DeserializeFromFile(FilePath);
		EXPECT_EQ(result.Status, c.Status) << c.Name;
		EXPECT_EQ(settings.Path, c.Path) << c.Name;
		EXPECT_EQ(settings.Enabled, c.Enabled) << c.Name;
		EXPECT_TRUE(result.Problem.Contains(c.Problem)) << c.Name << ": " << result.Problem.GetCStr();
	}
}

TEST_F(RTTISerializationTest, MissingFileKeepsDefaults)
{
	Settings settings;
	settings.Path = "kept";
	const DeserializationResult result = settings.DeserializeFromFile("no_such_settings_file.json");
	EXPECT_EQ(result.Status, eDeserializationStatus::FILE_MISSING);
	EXPECT_EQ(settings.Path, "kept");
	EXPECT_TRUE(settings.Enabled);
}

TEST_F(RTTISerializationTest, FailedSaveReportsAndKeepsOldFile)
{
	Settings settings;
	EXPECT_THROW(settings.SerializeToFile("no/such/dir/settings.json"), FileIOException);

	// A directory in the way of the final rename must not cost the existing file.
	settings.SerializeToFile(FilePath);
	const std::string before = ReadFile(FilePath);
	const std::string blocked = std::string(FilePath) + ".tmp";
	ASSERT_EQ(std::system(("mkdir -p " + blocked).c_str()), 0);
	settings.Path = "changed";
	EXPECT_THROW(settings.SerializeToFile(FilePath), FileIOException);
	EXPECT_EQ(ReadFile(FilePath), before);
	std::remove(blocked.c_str());
}

TEST(RTTIPropertyDeathTest, UnhandledMemberTypeStops)
{
	struct WithFloat : public RTTIBase
	{
		float Value = 0.f;
		TypeInfo GetTypeInfo() const override { return TypeInfo::INVALID; }
		PropertyManagerBase* GetPropertyManager() override { return nullptr; }
	} object;
	EXPECT_DEATH(Impl::CreatePropertyInfo(&object, &object.Value, "Value", 0), "Unhandled property type!");
}
