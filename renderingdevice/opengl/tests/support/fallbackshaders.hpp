#pragma once

#include <string>

// The shader files only the forward renderer loads, so only a device on a fallback context needs them.
inline bool IsForwardRendererOnlyShader(const std::string& fileName)
{
	const char* const prefixes[] = {"blinn-phong.",     "unlit.",   "transparent.",  "skyboxPanorama.",
	                                "spritesheet.",     "normals.", "debugNormals.", "postprocessCommon.",
	                                "postprocessFinal."};
	for (const char* prefix : prefixes)
		if (fileName.rfind(prefix, 0) == 0)
			return true;
	return false;
}
