#pragma once

#include "utils/string.hpp"

#include <cstddef>

namespace Vorn
{
	// Image decoding. Buffers come back bottom row first (the way the device expects texture rows), channels
	// interleaved, rows without gaps; they belong to the caller, who gives them back with the matching Free.
	// On failure the loaders log the file and the decoder's reason and return null. Only regular files up to
	// MAX_IMAGE_FILE_BYTES are read.
	constexpr std::size_t MAX_IMAGE_FILE_BYTES = 256 * 1024 * 1024;

	// 8 bits per channel with `desiredChannels` channels; `channels` receives the file's own count.
	unsigned char* LoadImage(const String& path, int* width, int* height, int* channels, int desiredChannels);
	// 32-bit floats with the file's own channel count (three for a Radiance HDR file); other formats are
	// converted from 8-bit data with gamma 2.2.
	float* LoadImageHDR(const String& path, int* width, int* height, int* channels);

	void FreeImage(unsigned char* data);
	void FreeImageHDR(float* data);
} // namespace Vorn
