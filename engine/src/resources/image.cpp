#include "resources/image.hpp"

#include "io/regularfile.hpp"
#include "utils/console.hpp"

#include <stb_image.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// The decoder itself comes from the system's prebuilt stb library, so no source here defines
// STB_IMAGE_IMPLEMENTATION.

namespace Vorn
{
	namespace
	{
		const char* const CANNOT_OPEN = "can't fopen";
		const char* const TRUNCATED_HDR = "truncated HDR data";
		const char* const ZERO_RUN_HDR = "zero-length run in HDR data";
		const char* const EMPTY_IMAGE = "empty image";
		const char* const TOO_LARGE = "too large";

		// The whole file; on failure the reason for the log line. A missing file keeps stb's own wording.
		bool ReadImageFile(const String& path, std::string& bytes, String& reason)
		{
			const RegularFileResult file = ReadRegularFile(path, MAX_IMAGE_FILE_BYTES, bytes);
			if (file.Status == eRegularFileStatus::MISSING)
				reason = CANNOT_OPEN;
			else if (!file.IsOk())
				reason = file.Problem;
			return file.IsOk();
		}

		const stbi_uc* Bytes(const std::string& file) { return reinterpret_cast<const stbi_uc*>(file.data()); }

		bool IsRadiance(const std::string& file)
		{
			return file.size() <= INT_MAX && stbi_is_hdr_from_memory(Bytes(file), static_cast<int>(file.size())) != 0;
		}

		// stb's Radiance decoder loops forever on a zero count in run-length data, and the end of a cut-short
		// file reads as zeros. This walks the layout the way the decoder will and names what would stop it or
		// leave it short of data; null means the file can go to the decoder, which reports any other fault.
		const char* FindRadianceFault(const std::string& text)
		{
			const stbi_uc* file = Bytes(text);
			const std::size_t size = text.size();
			std::size_t at = 0;
			auto nextLine = [&]()
			{
				std::string line;
				while (at < size && file[at] != '\n')
					line.push_back(static_cast<char>(file[at++]));
				if (at == size)
					return std::string("\n"); // no line end: the header never finishes
				++at;
				return line;
			};

			const std::string identifier = nextLine();
			if (identifier != "#?RADIANCE" && identifier != "#?RGBE")
				return identifier == "\n" ? TRUNCATED_HDR : nullptr;
			bool isRunLengthRgbe = false;
			for (std::string line = nextLine(); !line.empty(); line = nextLine())
			{
				if (line == "\n")
					return TRUNCATED_HDR;
				isRunLengthRgbe = isRunLengthRgbe || line == "FORMAT=32-bit_rle_rgbe";
			}
			const std::string resolution = nextLine();
			if (resolution == "\n")
				return TRUNCATED_HDR;
			if (!isRunLengthRgbe || resolution.compare(0, 3, "-Y ") != 0)
				return nullptr;
			char* cursor = nullptr;
			const long height = std::strtol(resolution.c_str() + 3, &cursor, 10);
			while (*cursor == ' ')
				++cursor;
			if (std::strncmp(cursor, "+X ", 3) != 0)
				return nullptr;
			const long width = std::strtol(cursor + 3, nullptr, 10);
			if (width <= 0 || height <= 0 || width > (1 << 24) || height > (1 << 24))
				return nullptr;

			const std::size_t pixelBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
			auto remaining = [&]() { return size - at; };
			if (width < 8 || width >= 32768)
				return remaining() < pixelBytes ? TRUNCATED_HDR : nullptr;

			for (long row = 0; row < height; ++row)
			{
				if (remaining() < 4)
					return TRUNCATED_HDR;
				// A row that does not start like run-length data makes the decoder read the whole image as
				// plain pixels from here on, starting over at the first pixel with these four bytes.
				if (file[at] != 2 || file[at + 1] != 2 || (file[at + 2] & 0x80) != 0)
					return remaining() < pixelBytes ? TRUNCATED_HDR : nullptr;
				if (((file[at + 2] << 8) | file[at + 3]) != width)
					return nullptr;
				at += 4;

				for (int channel = 0; channel < 4; ++channel)
				{
					long filled = 0;
					while (filled < width)
					{
						if (remaining() < 1)
							return TRUNCATED_HDR;
						const long count = file[at++];
						const bool isRun = count > 128;
						const long length = isRun ? count - 128 : count;
						if (length == 0)
							return ZERO_RUN_HDR;
						if (length > width - filled)
							return nullptr;
						const std::size_t dataBytes = isRun ? 1 : static_cast<std::size_t>(length);
						if (remaining() < dataBytes)
							return TRUNCATED_HDR;
						at += dataBytes;
						filled += length;
					}
				}
			}
			return nullptr;
		}

		// Decodes an image file read in full (`file` is null when it could not be read, for `readFailure`) with
		// `decode(bytes, length)`, and logs with `failureFormat` why nothing came back.
		template <typename T, typename Decode>
		T* DecodeFile(const String& path, const std::string* file, const String& readFailure, bool isRadiance,
		              int* width, int* height, const char* failureFormat, Decode decode)
		{
			// The flip switch is process-wide, so it is set again before every decode.
			stbi_set_flip_vertically_on_load(1);

			T* data = nullptr;
			String reason = readFailure;
			const char* fault = nullptr;
			if (file && file->size() > INT_MAX)
				reason = TOO_LARGE;
			else if (file && isRadiance && (fault = FindRadianceFault(*file)) != nullptr)
				reason = fault;
			else if (file)
			{
				data = decode(Bytes(*file), static_cast<int>(file->size()));
				reason = stbi_failure_reason();
				// A Radiance header may announce a zero size; such an image has nothing to upload.
				if (data && (*width <= 0 || *height <= 0))
				{
					stbi_image_free(data);
					data = nullptr;
					reason = EMPTY_IMAGE;
				}
			}
			if (!data)
				gConsole.LogInfo(failureFormat, path, reason);
			return data;
		}
	} // namespace

	unsigned char* LoadImage(const String& path, int* width, int* height, int* channels, int desiredChannels)
	{
		std::string file;
		String readFailure;
		const bool isRead = ReadImageFile(path, file, readFailure);
		const bool isRadiance = isRead && IsRadiance(file);
		if (isRadiance)
			gConsole.LogWarning("Vorn::LoadImageHDR HDR file spotted, scalling to LDR and gamma change may appear!");

		return DecodeFile<unsigned char>(
		    path, isRead ? &file : nullptr, readFailure, isRadiance, width, height,
		    "Vorn::LoadImage Failed to load: {}, reason: {}",
		    [&](const stbi_uc* bytes, int length)
		    { return stbi_load_from_memory(bytes, length, width, height, channels, desiredChannels); });
	}

	float* LoadImageHDR(const String& path, int* width, int* height, int* channels)
	{
		std::string file;
		String readFailure;
		const bool isRead = ReadImageFile(path, file, readFailure);
		// A file that cannot be read counts as not HDR.
		const bool isRadiance = isRead && IsRadiance(file);
		if (!isRadiance)
			gConsole.LogWarning("Vorn::LoadImageHDR LDR file spotted, scalling to HDR and gamma change may appear!");

		return DecodeFile<float>(path, isRead ? &file : nullptr, readFailure, isRadiance, width, height,
		                         "Vorn::LoadImageHDR Failed to load: {}, reason: {}",
		                         [&](const stbi_uc* bytes, int length)
		                         { return stbi_loadf_from_memory(bytes, length, width, height, channels, 0); });
	}

	void FreeImage(unsigned char* data) { stbi_image_free(data); }

	void FreeImageHDR(float* data) { stbi_image_free(data); }
} // namespace Vorn
