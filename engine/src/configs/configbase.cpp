#include "configs/configbase.hpp"

#include "io/fileoutputstream.hpp"
#include "utils/console.hpp"

#include <filesystem>
#include <system_error>

namespace Vorn
{
	namespace
	{
		const TypeInfo gConfigBaseType = TypeManager::Get().RegisterOrGetType("ConfigBase", {});

		// Keeps the user's unreadable file beside the one about to be rewritten, so no edit is lost silently.
		void KeepMalformedFile(const String& path, const String& problem)
		{
			const String backupPath = path + ".bak";
			std::error_code error;
			std::filesystem::copy_file(path.GetCStr(), backupPath.GetCStr(),
			                           std::filesystem::copy_options::overwrite_existing, error);
			if (error)
				gConsole.LogError("Config file {} is malformed ({}) and could not be kept as {}: {}", path, problem,
				                  backupPath, error.message());
			else
				gConsole.LogError("Config file {} is malformed ({}); kept it as {} and writing the readable values "
				                  "and defaults back",
				                  path, problem, backupPath);
		}
	} // namespace

	ConfigBase::ConfigBase(const String& displayName, eResourceSource location)
	    : DisplayName(displayName), Location(location)
	{
	}

	TypeInfo ConfigBase::GetTypeInfo() const { return TypeManager::Get().RegisterOrGetType("ConfigBase", {}); }

	PropertyManagerBase* ConfigBase::GetPropertyManager()
	{
		static PropertyManager<ConfigBase> manager;
		return &manager;
	}

	const String& ConfigBase::GetFileName()
	{
		if (FileName.IsEmpty())
		{
			const String typeName = GetTypeInfo().GetTypeName();
			FileName = Location == eResourceSource::NONE ? typeName + ".json" : "Configs/" + typeName + ".json";
		}
		return FileName;
	}

	void ConfigBase::Load()
	{
		const String path = EvaluateFullResourcePath(Location, GetFileName());
		const DeserializationResult result = DeserializeFromFile(path, eSerializationType::JSON);
		if (result.Status == eDeserializationStatus::MALFORMED)
			KeepMalformedFile(path, result.Problem);

		try
		{
			Save();
		}
		catch (const FileIOException& exception)
		{
			gConsole.LogError("Config file {} could not be written: {}", path, exception.what());
		}
	}

	void ConfigBase::Save()
	{
		const String path = EvaluateFullResourcePath(Location, GetFileName());
		const std::filesystem::path folder = std::filesystem::path(path.GetCStr()).parent_path();
		if (!folder.empty())
		{
			// A failure shows up as the write's own exception below.
			std::error_code ignored;
			std::filesystem::create_directories(folder, ignored);
		}
		SerializeToFile(path, eSerializationType::JSON);
	}
} // namespace Vorn
