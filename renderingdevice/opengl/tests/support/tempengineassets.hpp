#pragma once

#include "resources/resourcemanager.hpp"

#include <stb_image_write.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// Runs a test inside a fresh temporary folder and removes it afterwards. The working directory is its subfolder
// "run", so the default engine assets root "../Engine/Res/" lies inside the folder too, and files written with
// WriteEngineAsset are found by the engine's relative loaders.
//
// Death tests run in a child process that sets the test up again and then dies without cleaning up. The folder's
// name is handed to that child through the environment, so it works in its parent's folder, which the parent
// removes.
class TempEngineAssets
{
public:
	TempEngineAssets() : PreviousDirectory(std::filesystem::current_path())
	{
		const char* inherited = std::getenv(ROOT_VARIABLE);
		if (inherited && std::filesystem::is_directory(inherited))
			Root = inherited;
		else
		{
			std::string pattern = (std::filesystem::temp_directory_path() / "vorn-device-test-XXXXXX").string();
			if (!mkdtemp(pattern.data()))
				throw std::runtime_error("Cannot create a temporary folder");
			Root = pattern;
			IsOwner = true;
			setenv(ROOT_VARIABLE, Root.c_str(), 1);
		}
		std::filesystem::create_directories(Root / "run");
		std::filesystem::current_path(Root / "run");
	}

	~TempEngineAssets()
	{
		std::filesystem::current_path(PreviousDirectory);
		if (!IsOwner)
			return;
		unsetenv(ROOT_VARIABLE);
		std::error_code ignored;
		std::filesystem::remove_all(Root, ignored);
	}

	TempEngineAssets(const TempEngineAssets&) = delete;
	TempEngineAssets& operator=(const TempEngineAssets&) = delete;

	// Writes `text` as it is to `relativePath` under the engine assets root, creating its folders.
	void WriteEngineAsset(const std::string& relativePath, const std::string& text) const
	{
		const std::filesystem::path path =
		    Vorn::EvaluateFullResourcePath(Vorn::eResourceSource::ENGINE, relativePath.c_str()).GetStdString();
		if (path.has_parent_path())
			std::filesystem::create_directories(path.parent_path());
		std::ofstream file(path, std::ios::binary | std::ios::trunc);
		file << text;
	}

	// A 64 x 32 Radiance panorama under the engine assets root: the upper half `sky`, the lower half `ground`
	// (linear RGB).
	void WriteTwoTonePanorama(const std::string& relativePath, const std::array<float, 3>& sky,
	                          const std::array<float, 3>& ground) const
	{
		constexpr int width = 64;
		constexpr int height = 32;
		std::vector<float> pixels;
		for (int row = 0; row < height; ++row)
		{
			const std::array<float, 3>& color = row < height / 2 ? sky : ground;
			for (int column = 0; column < width; ++column)
				pixels.insert(pixels.end(), color.begin(), color.end());
		}
		const std::filesystem::path path =
		    Vorn::EvaluateFullResourcePath(Vorn::eResourceSource::ENGINE, relativePath.c_str()).GetStdString();
		std::filesystem::create_directories(path.parent_path());
		if (stbi_write_hdr(path.c_str(), width, height, 3, pixels.data()) == 0)
			throw std::runtime_error("Cannot write " + path.string());
	}

private:
	static constexpr const char* ROOT_VARIABLE = "VORN_DEVICE_TEST_ROOT";

	std::filesystem::path Root;
	bool IsOwner = false;
	std::filesystem::path PreviousDirectory;
};
