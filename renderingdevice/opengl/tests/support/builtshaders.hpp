#pragma once

#include "resources/resourcemanager.hpp"

#include <filesystem>

// Copies the shaders the build placed in its engine assets into the engine assets root in use, where the device's
// programs load them from. A test may then replace one of them without touching the build.
inline void CopyBuiltShaders()
{
	const std::filesystem::path shaders =
	    Vorn::EvaluateFullResourcePath(Vorn::eResourceSource::ENGINE, "Shaders").GetStdString();
	std::filesystem::create_directories(shaders);
	std::filesystem::copy(VORN_ENGINE_ASSETS_PATH "Shaders", shaders,
	                      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}
