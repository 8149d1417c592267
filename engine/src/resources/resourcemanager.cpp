#include "resources/resourcemanager.hpp"

#include "configs/assetspathconfig.hpp"
#include "io/fileoutputstream.hpp"
#include "io/regularfile.hpp"

#include <cstdio>
#include <string>

namespace Vorn
{
	ResourceBase::~ResourceBase() = default;
	ResourceLoadFailedException::~ResourceLoadFailedException() = default;

	void Impl::LogUnexpectedLoadFailure(const String& path, const String& fullPath, const char* reason)
	{
		gConsole.LogError("ResourceManager: {} could not be loaded: {}", fullPath, reason);
		gConsole.LogError("Resource loading failed! {}", path);
	}

	String EvaluateFullResourcePath(eResourceSource source, const String& path)
	{
		// A configured root written without its trailing slash still names a folder.
		const String& prefix = gAssetsPathConfig.GetAssetsPath(source);
		if (prefix.IsEmpty() || prefix.EndsWith("/"))
			return prefix + path;
		return prefix + "/" + path;
	}

	String LoadTextFileRelative(eResourceSource source, const String& path)
	{
		const String fullPath = EvaluateFullResourcePath(source, path);
		std::string bytes;
		const RegularFileResult file = ReadRegularFile(fullPath, MAX_TEXT_FILE_BYTES, bytes);
		switch (file.Status)
		{
		case eRegularFileStatus::OK:
			break;
		case eRegularFileStatus::MISSING:
		case eRegularFileStatus::UNREADABLE:
			throw FileIOException("File load failed from all sources, check config");
		default:
			throw FileIOException("File load failed: " + file.Problem);
		}
		// Built as a C string: a zero byte inside the file ends the text there.
		return String(bytes.c_str());
	}

	void SaveTextFileRelative(eResourceSource source, const String& path, const String& data)
	{
		const String fullPath = EvaluateFullResourcePath(source, path);
		std::FILE* file = std::fopen(fullPath.GetCStr(), "w");
		if (!file)
			throw FileIOException("File save failed");
		std::fputs(data.GetCStr(), file);
		std::fclose(file);
	}
} // namespace Vorn
