#pragma once

#include "resources/resourcemanager.hpp"
#include "rtti/rttibase.hpp"
#include "utils/string.hpp"

namespace Vorn
{
	// A global settings object whose registered properties are read from and written back to one file.
	class ConfigBase : public RTTIBase
	{
	public:
		ConfigBase(const String& displayName, eResourceSource location);

		TypeInfo GetTypeInfo() const override;
		PropertyManagerBase* GetPropertyManager() override;

		// "<type name>.json" in the working directory for NONE, else "Configs/<type name>.json" under the
		// location's asset root. Built on the first call.
		const String& GetFileName();
		const String& GetDisplayName() const { return DisplayName; }
		eResourceSource GetLocation() const { return Location; }

		// Reads the file, then writes it back so it holds every persisted property, defaults included.
		// Never throws: problems with the file are logged and the readable values and defaults are kept. A file that
		// exists but cannot be read is left untouched; a malformed one (or a folder, pipe or oversized file in its
		// place) is first moved aside to the first free name of "<name>.bak", "<name>.bak.1", ...
		void Load();
		// Writes every persisted property, creating the file's folder when needed. Throws FileIOException.
		void Save();

	private:
		String FileName;
		String DisplayName;
		eResourceSource Location;
	};
} // namespace Vorn
