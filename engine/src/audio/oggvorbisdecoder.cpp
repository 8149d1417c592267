#include "audio/oggvorbisdecoder.hpp"

#include "utils/console.hpp"

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <cstring>

namespace Vorn
{
	namespace
	{
		// Every libogg and libvorbis state of one decode, cleared in reverse order whatever way the decode ends.
		class DecoderStates
		{
		public:
			DecoderStates() { ogg_sync_init(&Sync); }
			~DecoderStates()
			{
				if (HasDsp)
				{
					vorbis_block_clear(&Block);
					vorbis_dsp_clear(&Dsp);
				}
				if (HasStream)
				{
					ogg_stream_clear(&Stream);
					vorbis_comment_clear(&Comment);
					vorbis_info_clear(&Info);
				}
				ogg_sync_clear(&Sync);
			}
			DecoderStates(const DecoderStates&) = delete;
			DecoderStates& operator=(const DecoderStates&) = delete;

			void InitStream(int serialNumber)
			{
				ogg_stream_init(&Stream, serialNumber);
				vorbis_info_init(&Info);
				vorbis_comment_init(&Comment);
				HasStream = true;
			}

			bool InitDsp()
			{
				if (vorbis_synthesis_init(&Dsp, &Info) != 0)
					return false;
				vorbis_block_init(&Dsp, &Block);
				HasDsp = true;
				return true;
			}

			ogg_sync_state Sync;
			ogg_stream_state Stream;
			vorbis_info Info;
			vorbis_comment Comment;
			vorbis_dsp_state Dsp;
			vorbis_block Block;

		private:
			bool HasStream = false;
			bool HasDsp = false;
		};

		// The sound's length in frames as its last page announces it (its granule position), or 0 when the file does
		// not end in a page. Only a hint for the buffer's size: the decoder never trusts it for anything else.
		std::size_t LastGranulePosition(const u8* file, std::size_t size)
		{
			constexpr std::size_t PAGE_HEADER_BYTES = 27;
			constexpr std::size_t LONGEST_PAGE_BYTES = PAGE_HEADER_BYTES + 255 + 255 * 255;
			if (size < PAGE_HEADER_BYTES)
				return 0;
			const std::size_t lowest = size > LONGEST_PAGE_BYTES ? size - LONGEST_PAGE_BYTES : 0;
			for (std::size_t at = size - PAGE_HEADER_BYTES + 1; at-- > lowest;)
			{
				if (std::memcmp(file + at, "OggS", 4) != 0)
					continue;
				ogg_int64_t granule = 0;
				std::memcpy(&granule, file + at + 6, sizeof(granule));
				return granule > 0 ? static_cast<std::size_t>(granule) : 0;
			}
			return 0;
		}

		[[noreturn]] void Fail(const char* message)
		{
			gConsole.LogDebug("{}", message);
			throw OggDecoderException(message);
		}
	} // namespace

	DecodedSound DecodeOggVorbis(const u8* file, std::size_t size)
	{
		DecodedSound sound;
		DecoderStates states;
		if (size <= Impl::OGG_CHUNK_BYTES)
			return sound;

		std::size_t readPosition = 0;
		auto feedChunk = [&]()
		{
			const std::size_t count = std::min(Impl::OGG_CHUNK_BYTES, size - readPosition);
			char* buffer = ogg_sync_buffer(&states.Sync, static_cast<long>(count));
			std::memcpy(buffer, file + readPosition, count);
			ogg_sync_wrote(&states.Sync, static_cast<long>(count));
			readPosition += count;
		};
		feedChunk();

		ogg_page page;
		ogg_packet packet;
		if (ogg_sync_pageout(&states.Sync, &page) != 1)
			Fail("Input does not appear to be an Ogg bitstream.");
		states.InitStream(ogg_page_serialno(&page));
		if (ogg_stream_pagein(&states.Stream, &page) < 0)
			Fail("Error reading first page of Ogg bitstream data.");
		if (ogg_stream_packetout(&states.Stream, &packet) != 1)
			Fail("Error reading initial header packet.");
		if (vorbis_synthesis_headerin(&states.Info, &states.Comment, &packet) < 0)
			Fail("This Ogg bitstream does not contain Vorbis audio data.");

		// The comment and codebook headers; one more chunk is fed after the last of them. Only a file whose data is
		// used up with a header still missing fails: headers that end in the file's last chunk are whole.
		int headerCount = 1;
		for (;;)
		{
			int pageResult = 0;
			while (headerCount < 3 && (pageResult = ogg_sync_pageout(&states.Sync, &page)) != 0)
			{
				// A hole (-1) is skipped.
				if (pageResult < 0)
					continue;
				ogg_stream_pagein(&states.Stream, &page);
				while (headerCount < 3)
				{
					const int packetResult = ogg_stream_packetout(&states.Stream, &packet);
					if (packetResult == 0)
						break;
					if (packetResult < 0 || vorbis_synthesis_headerin(&states.Info, &states.Comment, &packet) < 0)
						Fail("Corrupt secondary header.  Exiting.");
					++headerCount;
				}
			}
			if (readPosition >= size)
			{
				if (headerCount < 3)
					Fail("End of file before finding all Vorbis headers!");
				break;
			}
			feedChunk();
			if (headerCount == 3)
				break;
		}

		for (int comment = 0; comment < states.Comment.comments; ++comment)
			gConsole.LogDebug("{}", states.Comment.user_comments[comment]);
		gConsole.LogDebug("Bitstream is {} channel, {}Hz", states.Info.channels, states.Info.rate);
		gConsole.LogDebug("Encoded by: {}", states.Comment.vendor ? states.Comment.vendor : "");
		gConsole.LogDebug("blocksize: {}", vorbis_info_blocksize(&states.Info, 1));

		const int channels = states.Info.channels;
		// OpenAL plays mono and stereo 16-bit data only.
		if (channels < 1 || channels > 2)
			Fail("Only mono and stereo Ogg Vorbis sounds can be played.");
		sound.Channels = channels;
		sound.SampleRate = states.Info.rate;

		if (!states.InitDsp())
		{
			gConsole.LogDebug("Error: Corrupt header during playback initialization.");
			return sound;
		}

		// Reserved once from the announced length, so the array rarely has to grow; a length no Vorbis stream of this
		// size could hold (over 256 frames per byte) is ignored.
		const std::size_t announcedFrames = LastGranulePosition(file, size);
		if (announcedFrames > 0 && announcedFrames / 256 <= size)
			sound.Pcm.reserve(announcedFrames * static_cast<std::size_t>(channels) * sizeof(i16));

		const int framesPerConversion = Impl::CONVERSION_SAMPLES / channels;
		i16 converted[Impl::CONVERSION_SAMPLES];
		bool isEndOfStream = false;
		while (!isEndOfStream)
		{
			const int pageResult = ogg_sync_pageout(&states.Sync, &page);
			if (pageResult == 0)
			{
				if (readPosition >= size)
					break;
				feedChunk();
				continue;
			}
			if (pageResult < 0)
			{
				gConsole.LogDebug("Corrupt or missing data in bitstream; continuing...");
				continue;
			}

			ogg_stream_pagein(&states.Stream, &page);
			for (int packetResult = 0; (packetResult = ogg_stream_packetout(&states.Stream, &packet)) != 0;)
			{
				if (packetResult < 0)
					continue;
				if (vorbis_synthesis(&states.Block, &packet) == 0)
					vorbis_synthesis_blockin(&states.Dsp, &states.Block);

				float** pcm = nullptr;
				for (int available = 0; (available = vorbis_synthesis_pcmout(&states.Dsp, &pcm)) > 0;)
				{
					const int frames = std::min(available, framesPerConversion);
					for (int channel = 0; channel < channels; ++channel)
					{
						const float* samples = pcm[channel];
						for (int frame = 0; frame < frames; ++frame)
							converted[frame * channels + channel] = Impl::ConvertSample(samples[frame]);
					}
					const std::size_t bytes = static_cast<std::size_t>(frames) * channels * sizeof(i16);
					const u8* begin = reinterpret_cast<const u8*>(converted);
					// Little-endian hosts only, as every platform the engine builds for.
					sound.Pcm.insert(sound.Pcm.end(), begin, begin + bytes);
					vorbis_synthesis_read(&states.Dsp, frames);
				}
			}
			isEndOfStream = ogg_page_eos(&page) != 0;
		}
		return sound;
	}
} // namespace Vorn
