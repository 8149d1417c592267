#include "resources/resourcemanager.hpp"

#include "configs/assetspathconfig.hpp"
#include "io/fileoutputstream.hpp"

#include <cstdio>
#include <vector>

namespace Vorn
{
	ResourceBase::~ResourceBase() = default;
	ResourceLoadFailedException::~ResourceLoadFailedException() = default;

	String EvaluateFullResourcePath(eResourceSource source, const String& path)
	{
		return gAssetsPathConfig.GetAssetsPath(source) + path;
	}

	String LoadTextFileRelative(eResourceSource source, const String& path)
	{
		const String fullPath = EvaluateFullResourcePath(source, path);

		std::FILE* probe = std::fopen(fullPath.GetCStr(), "r");
		if (!probe)
			throw FileIOException("File load failed from all sources, check config");
		std::fclose(probe);

		std::FILE* file = std::fopen(fullPath.GetCStr(), "rb");
		if (!file)
			throw FileIOException("File open failed!");
		std::fseek(file, 0, SEEK_END);
		const long size = std::ftell(file);
		std::fseek(file, 0, SEEK_SET);
		std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 0) + 1, '\0');
		const std::size_t read = std::fread(buffer.data(), 1, buffer.size() - 1, file);
		std::fclose(file);
		buffer[read] = '\0';
		// Built as a C string: a zero byte inside the file ends the text there.
		return String(buffer.data());
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
