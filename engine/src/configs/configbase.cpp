#include "configs/configbase.hpp"

#include "io/fileoutputstream.hpp"
#include "utils/console.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>

namespace Vorn
{
	namespace
	{
		const TypeInfo gConfigBaseType = TypeManager::Get().RegisterOrGetType("ConfigBase", {});

		constexpr int MAX_BACKUP_COUNT = 1000;

		// "<path>.bak", then "<path>.bak.1", "<path>.bak.2", ...
		String BackupName(const String& path, int number)
		{
			return number == 0 ? path + ".bak" : path + ".bak." + String::From(number);
		}

		// Moves the file aside under the first free backup name and returns that name, or an empty string with
		// `problem` set. The entry itself is renamed, never read or followed, so a pipe or a link to a device is kept
		// as safely as a text file, and an existing backup is never replaced.
		String MoveToFreeBackupName(const String& path, String& problem)
		{
			for (int number = 0; number < MAX_BACKUP_COUNT; ++number)
			{
				const String backupPath = BackupName(path, number);
				if (renameat2(AT_FDCWD, path.GetCStr(), AT_FDCWD, backupPath.GetCStr(), RENAME_NOREPLACE) == 0)
					return backupPath;
				if (errno == EEXIST)
					continue;
				// A file system without no-replace renames: check first, then rename.
				if (errno == EINVAL)
				{
					std::error_code ignored;
					if (std::filesystem::exists(std::filesystem::symlink_status(backupPath.GetCStr(), ignored)))
						continue;
					if (std::rename(path.GetCStr(), backupPath.GetCStr()) == 0)
						return backupPath;
				}
				problem = String(std::strerror(errno));
				return String();
			}
			problem = String("every name up to ") + BackupName(path, MAX_BACKUP_COUNT - 1) + " is taken";
			return String();
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
		if (result.Status == eDeserializationStatus::UNREADABLE)
		{
			// Rewriting it would replace a file the user has and we cannot see.
			gConsole.LogError("Config file {} exists but cannot be read ({}); using the defaults and leaving the file "
			                  "as it is",
			                  path, result.Problem);
			return;
		}
		if (result.Status == eDeserializationStatus::MALFORMED)
		{
			String problem;
			const String backupPath = MoveToFreeBackupName(path, problem);
			if (backupPath.IsEmpty())
			{
				gConsole.LogError(
				    "Config file {} is malformed ({}) and could not be kept aside ({}); using the readable "
				    "values and defaults without rewriting it",
				    path, result.Problem, problem);
				return;
			}
			gConsole.LogError("Config file {} is malformed ({}); kept it as {} and writing the readable values and "
			                  "defaults back",
			                  path, result.Problem, backupPath);
		}

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
			// Only the config's own folder is made: a missing asset root is a mistyped path to report, not to create.
			// A failure shows up as the write's own exception below.
			std::error_code ignored;
			std::filesystem::create_directory(folder, ignored);
		}
		SerializeToFile(path, eSerializationType::JSON);
	}
} // namespace Vorn
