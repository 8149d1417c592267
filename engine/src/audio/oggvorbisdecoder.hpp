#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"

#include <cstddef>
#include <exception>
#include <vector>

namespace Vorn
{
	// A stream error of an Ogg Vorbis file. The decoder logs the message at DEBUG before it throws; what() names it
	// too.
	class OggDecoderException : public BaseObject, public std::exception
	{
	public:
		OggDecoderException() = default;
		explicit OggDecoderException(const char* reason) : Reason(reason) {}

		const char* what() const noexcept override { return Reason; }

	private:
		const char* Reason = "Ogg Vorbis decoding failed";
	};

	// A whole sound as signed 16-bit little-endian PCM, channels interleaved frame after frame.
	struct DecodedSound
	{
		int Channels = 0; // 0 when nothing was decoded
		long SampleRate = 0;
		std::vector<u8> Pcm;
	};

	namespace Impl
	{
		// Files are fed to the decoder in chunks of this many bytes; a file no larger than one chunk is not decoded.
		constexpr std::size_t OGG_CHUNK_BYTES = 4096;
		// Samples per conversion to 16 bits.
		constexpr int CONVERSION_SAMPLES = 4096;

		// floor(x * 32767 + 0.5) in float, clamped to the 16-bit range: 1 gives 32767, -1 gives -32767.
		inline i16 ConvertSample(float sample)
		{
			float scaled = sample * 32767.0f + 0.5f;
			// Clamped before the conversion, which would be undefined out of range; also catches NaN.
			if (!(scaled >= -32768.0f))
				scaled = -32768.0f;
			if (!(scaled <= 32767.0f))
				scaled = 32767.0f;
			// Truncation rounds towards zero; one less for negative fractions makes it floor.
			int value = static_cast<int>(scaled);
			value -= static_cast<float>(value) > scaled ? 1 : 0;
			return static_cast<i16>(value);
		}
	} // namespace Impl

	// Decodes a whole Ogg Vorbis file held in memory, first logical stream only. Throws OggDecoderException on the
	// stream errors that stop decoding; a file of at most OGG_CHUNK_BYTES bytes decodes to nothing.
	DecodedSound DecodeOggVorbis(const u8* file, std::size_t size);
} // namespace Vorn
