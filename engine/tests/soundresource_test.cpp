#include "audio/oggvorbisdecoder.hpp"
#include "audio/soundresource.hpp"

#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"

#include <gtest/gtest.h>

#include <al.h>
#include <ogg/ogg.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	const std::string MONO_TONE = VORN_TEST_SOUNDS_PATH "tone_mono.ogg";
	const std::string STEREO_TONE = VORN_TEST_SOUNDS_PATH "tone_stereo.ogg";

	std::string ReadBytes(const std::string& path) { return ReadFile(path); }

	const u8* Bytes(const std::string& file) { return reinterpret_cast<const u8*>(file.data()); }

	// A sync state holding the whole file; the caller clears it.
	void FeedWholeFile(ogg_sync_state& sync, const std::string& file)
	{
		ogg_sync_init(&sync);
		char* buffer = ogg_sync_buffer(&sync, static_cast<long>(file.size()));
		std::memcpy(buffer, file.data(), file.size());
		ogg_sync_wrote(&sync, static_cast<long>(file.size()));
	}

	// Recomputes the checksum of a page (header then body) after its bytes were changed.
	void ResealPage(std::string& page)
	{
		ogg_page view;
		view.header = reinterpret_cast<unsigned char*>(page.data());
		view.header_len = 27 + static_cast<unsigned char>(page[26]);
		view.body = view.header + view.header_len;
		view.body_len = static_cast<long>(page.size()) - view.header_len;
		ogg_page_checksum_set(&view);
	}

	// The pages of an Ogg file as they lie in it, each header then body.
	std::vector<std::string> SplitPages(const std::string& file)
	{
		std::vector<std::string> pages;
		ogg_sync_state sync;
		FeedWholeFile(sync, file);
		ogg_page page;
		while (ogg_sync_pageout(&sync, &page) == 1)
			pages.push_back(std::string(reinterpret_cast<const char*>(page.header), page.header_len) +
			                std::string(reinterpret_cast<const char*>(page.body), page.body_len));
		ogg_sync_clear(&sync);
		return pages;
	}

	// The three header packets of a Vorbis file, in order.
	std::vector<std::string> HeaderPackets(const std::string& file)
	{
		std::vector<std::string> packets;
		ogg_sync_state sync;
		FeedWholeFile(sync, file);
		ogg_stream_state stream;
		ogg_page page;
		ogg_packet packet;
		bool hasStream = false;
		while (packets.size() < 3 && ogg_sync_pageout(&sync, &page) == 1)
		{
			if (!hasStream)
				ogg_stream_init(&stream, ogg_page_serialno(&page));
			hasStream = true;
			ogg_stream_pagein(&stream, &page);
			while (packets.size() < 3 && ogg_stream_packetout(&stream, &packet) == 1)
				packets.push_back(std::string(reinterpret_cast<const char*>(packet.packet), packet.bytes));
		}
		if (hasStream)
			ogg_stream_clear(&stream);
		ogg_sync_clear(&sync);
		return packets;
	}

	// The header pages of a file whose comment header is `comment` (raw packet bytes) and whose other headers are
	// those of `file`.
	std::string HeaderPagesWithComment(const std::string& file, const std::string& comment)
	{
		const std::vector<std::string> headers = HeaderPackets(file);
		ogg_stream_state stream;
		ogg_stream_init(&stream, 7);
		std::string pages;
		for (std::size_t index = 0; index < headers.size(); ++index)
		{
			const std::string& bytes = index == 1 ? comment : headers[index];
			ogg_packet packet = {};
			packet.packet = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
			packet.bytes = static_cast<long>(bytes.size());
			packet.b_o_s = index == 0 ? 1 : 0;
			packet.packetno = static_cast<ogg_int64_t>(index);
			ogg_stream_packetin(&stream, &packet);
		}
		ogg_page page;
		while (ogg_stream_flush(&stream, &page) != 0)
			pages += std::string(reinterpret_cast<const char*>(page.header), page.header_len) +
			         std::string(reinterpret_cast<const char*>(page.body), page.body_len);
		ogg_stream_clear(&stream);
		return pages;
	}

	// The same stream laid out again with at most `packetsPerPage` audio packets a page, so it has many pages.
	std::string Repaginate(const std::string& file, int packetsPerPage)
	{
		ogg_sync_state sync;
		FeedWholeFile(sync, file);
		ogg_stream_state input;
		ogg_stream_state output;
		ogg_stream_init(&output, 9);
		std::string result;
		auto take = [&](bool isFlush)
		{
			ogg_page page;
			while (isFlush ? ogg_stream_flush(&output, &page) != 0 : ogg_stream_pageout(&output, &page) != 0)
				result += std::string(reinterpret_cast<const char*>(page.header), page.header_len) +
				          std::string(reinterpret_cast<const char*>(page.body), page.body_len);
		};
		ogg_page page;
		ogg_packet packet;
		bool hasInput = false;
		int packetCount = 0;
		while (ogg_sync_pageout(&sync, &page) == 1)
		{
			if (!hasInput)
				ogg_stream_init(&input, ogg_page_serialno(&page));
			hasInput = true;
			ogg_stream_pagein(&input, &page);
			while (ogg_stream_packetout(&input, &packet) == 1)
			{
				ogg_stream_packetin(&output, &packet);
				++packetCount;
				// Headers on pages of their own, then a page every few packets.
				if (packetCount == 3 || (packetCount > 3 && (packetCount - 3) % packetsPerPage == 0))
					take(true);
			}
		}
		take(true);
		if (hasInput)
			ogg_stream_clear(&input);
		ogg_stream_clear(&output);
		ogg_sync_clear(&sync);
		return result;
	}

	// A comment header packet padded with a long tag, so the headers span several 4096-byte chunks.
	std::string LongCommentPacket()
	{
		vorbis_comment comment;
		vorbis_comment_init(&comment);
		const std::string padding(12000, 'x');
		vorbis_comment_add_tag(&comment, "PADDING", padding.c_str());
		ogg_packet packet;
		vorbis_commentheader_out(&comment, &packet);
		std::string bytes(reinterpret_cast<const char*>(packet.packet), packet.bytes);
		ogg_packet_clear(&packet);
		vorbis_comment_clear(&comment);
		return bytes;
	}

	// Interleaved 16-bit samples as libvorbisfile decodes them.
	std::vector<i16> DecodeWithVorbisFile(const std::string& path)
	{
		OggVorbis_File file;
		std::vector<i16> samples;
		if (ov_fopen(path.c_str(), &file) != 0)
			return samples;
		char buffer[8192];
		int section = 0;
		for (long count = 0; (count = ov_read(&file, buffer, sizeof(buffer), 0, 2, 1, &section)) > 0;)
		{
			const auto* begin = reinterpret_cast<const i16*>(buffer);
			samples.insert(samples.end(), begin, begin + count / 2);
		}
		ov_clear(&file);
		return samples;
	}

	std::vector<i16> AsSamples(const DecodedSound& sound)
	{
		std::vector<i16> samples(sound.Pcm.size() / 2);
		std::memcpy(samples.data(), sound.Pcm.data(), samples.size() * 2);
		return samples;
	}

	// Resources need the engine's current OpenAL context (the suite runs OpenAL Soft's silent null driver).
	class SoundResourceTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Harness.Init(); }
		void TearDown() override { EXPECT_TRUE(Impl::gALSoundResourcesMap.empty()) << "a test kept a sound"; }

		static ALint BufferValue(const SoundResource* sound, ALenum parameter)
		{
			ALint value = -1;
			alGetBufferi(static_cast<ALuint>(sound->GetBufferID()), parameter, &value);
			return value;
		}

		TestEngine Harness;
	};
} // namespace

TEST(OggVorbisDecoderTest, SamplesAreScaledByThirtyTwoThousandSevenHundredSixtySevenRoundedDownAfterAHalfAndClamped)
{
	const struct
	{
		float Sample;
		i16 Expected;
	} cases[] = {
	    {1.0f, 32767},   {-1.0f, -32767},   {0.0f, 0},           {0.5f, 16384}, {-0.5f, -16383}, {2.0f, 32767},
	    {-2.0f, -32768}, {1.00002f, 32767}, {-1.00003f, -32768}, {-1e-6f, 0},   {1e-4f, 3},      {-1e-4f, -3},
	};
	for (const auto& c : cases)
		EXPECT_EQ(Impl::ConvertSample(c.Sample), c.Expected) << c.Sample;
}

TEST(OggVorbisDecoderTest, StereoToneMatchesLibvorbisfileWithinOneStep)
{
	const std::string file = ReadBytes(STEREO_TONE);
	ASSERT_GT(file.size(), 4096u);
	const DecodedSound sound = DecodeOggVorbis(Bytes(file), file.size());
	const std::vector<i16> reference = DecodeWithVorbisFile(STEREO_TONE);

	ASSERT_EQ(sound.Channels, 2);
	EXPECT_EQ(sound.SampleRate, 44100);
	const std::vector<i16> decoded = AsSamples(sound);
	ASSERT_EQ(decoded.size(), reference.size());
	int largestDifference = 0;
	for (std::size_t index = 0; index < decoded.size(); ++index)
		largestDifference = std::max(largestDifference, std::abs(decoded[index] - reference[index]));
	EXPECT_LE(largestDifference, 1);
	// The tone itself: half of full scale.
	EXPECT_NEAR(*std::max_element(decoded.begin(), decoded.end()), 16384, 400);
}

// Each broken file gives its message (logged, and the exception's text) and never more than that.
TEST(OggVorbisDecoderTest, BrokenStreamsFailWithTheirMessage)
{
	const std::string mono = ReadBytes(MONO_TONE);
	const std::vector<std::string> pages = SplitPages(mono);
	ASSERT_GE(pages.size(), 3u);
	std::mt19937 random(1234);
	std::string noise(9000, '\0');
	for (char& byte : noise)
		byte = static_cast<char>(random());

	// The codebook packet's signature spoiled, its page's checksum made right again.
	std::string corruptCodebooks = pages[0];
	{
		std::string second = pages[1];
		// The comment packet comes first in the page; the codebook packet starts with 5 "vorbis".
		const std::size_t codebooks = second.find("\x05vorbis", 27);
		ASSERT_NE(codebooks, std::string::npos);
		second[codebooks + 1] = 'X';
		ResealPage(second);
		corruptCodebooks += second;
		for (std::size_t index = 2; index < pages.size(); ++index)
			corruptCodebooks += pages[index];
	}
	// Headers cut short in the middle of the last of several chunks.
	const std::string longHeaders = HeaderPagesWithComment(mono, LongCommentPacket());
	ASSERT_GT(longHeaders.size(), 3 * 4096u);
	const std::string headersCutShort = longHeaders.substr(0, longHeaders.size() - 100);

	const struct
	{
		const char* Name;
		std::string File;
		const char* Message;
	} cases[] = {
	    {"random bytes", noise, "Input does not appear to be an Ogg bitstream."},
	    {"text", std::string(5000, 'a'), "Input does not appear to be an Ogg bitstream."},
	    {"corrupt codebook header", corruptCodebooks, "Corrupt secondary header.  Exiting."},
	    {"headers cut short in the last chunk", headersCutShort, "End of file before finding all Vorbis headers!"},
	    {"cut inside the headers", mono.substr(0, pages[0].size() + pages[1].size() / 2) + std::string(4096, '\0'),
	     "End of file before finding all Vorbis headers!"},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Name);
		ConsoleCapture console;
		try
		{
			DecodeOggVorbis(Bytes(c.File), c.File.size());
			ADD_FAILURE() << "no exception";
		}
		catch (const OggDecoderException& exception)
		{
			EXPECT_STREQ(exception.what(), c.Message);
		}
		EXPECT_TRUE(console.Contains(std::string("[DEBUG] ") + c.Message + "\n")) << console.GetText();
	}
}

// Headers that end exactly where the file does are whole: such a file decodes to a sound without samples.
TEST(OggVorbisDecoderTest, HeadersEndingInTheLastChunkAreWhole)
{
	const std::string headersOnly = HeaderPagesWithComment(ReadBytes(MONO_TONE), LongCommentPacket());
	ASSERT_NE(headersOnly.size() % 4096, 0u) << "the last chunk is a short one";

	const DecodedSound sound = DecodeOggVorbis(Bytes(headersOnly), headersOnly.size());

	EXPECT_EQ(sound.Channels, 1);
	EXPECT_TRUE(sound.Pcm.empty());
}

TEST(OggVorbisDecoderTest, LongHeadersFedInChunksDecodeTheWholeSound)
{
	const std::string mono = ReadBytes(MONO_TONE);
	const std::vector<std::string> pages = SplitPages(mono);
	std::string file = HeaderPagesWithComment(mono, LongCommentPacket());
	// The audio pages belong to the original stream number; give them the new one.
	for (std::size_t index = 2; index < pages.size(); ++index)
	{
		std::string page = pages[index];
		const ogg_uint32_t serial = 7;
		std::memcpy(page.data() + 14, &serial, sizeof(serial));
		ResealPage(page);
		file += page;
	}
	ConsoleCapture console;

	const DecodedSound sound = DecodeOggVorbis(Bytes(file), file.size());

	EXPECT_EQ(sound.Channels, 1);
	EXPECT_EQ(AsSamples(sound), AsSamples(DecodeOggVorbis(Bytes(mono), mono.size())));
	EXPECT_TRUE(console.Contains("[DEBUG] PADDING=xxx")) << "comments are logged";
	EXPECT_TRUE(console.Contains("[DEBUG] Bitstream is 1 channel, 44100Hz\n"));
	EXPECT_TRUE(console.Contains("[DEBUG] Encoded by: "));
	EXPECT_TRUE(console.Contains("[DEBUG] blocksize: "));
}

TEST(OggVorbisDecoderTest, DamagedAudioPageIsSkippedWithANoteAndTheRestDecodes)
{
	const std::string mono = Repaginate(ReadBytes(MONO_TONE), 4);
	const std::vector<std::string> pages = SplitPages(mono);
	ASSERT_GE(pages.size(), 6u);
	std::string damaged;
	for (std::size_t index = 0; index < pages.size(); ++index)
	{
		std::string page = pages[index];
		// A flipped byte in an audio page's body breaks its checksum.
		if (index == 3)
			page[page.size() / 2] = static_cast<char>(page[page.size() / 2] ^ 0x55);
		damaged += page;
	}
	const std::size_t whole = DecodeOggVorbis(Bytes(mono), mono.size()).Pcm.size();
	ConsoleCapture console;

	const DecodedSound sound = DecodeOggVorbis(Bytes(damaged), damaged.size());

	EXPECT_TRUE(console.Contains("[DEBUG] Corrupt or missing data in bitstream; continuing...\n")) << console.GetText();
	EXPECT_GT(sound.Pcm.size(), 0u);
	EXPECT_LT(sound.Pcm.size(), whole);
}

// Cut anywhere, a file fails with a message or decodes what it holds; nothing else.
TEST(OggVorbisDecoderTest, TruncatedFilesNeverCrash)
{
	const std::string stereo = ReadBytes(STEREO_TONE);
	const std::size_t fullSamples = DecodeOggVorbis(Bytes(stereo), stereo.size()).Pcm.size();
	for (const std::size_t size : {std::size_t{4097}, std::size_t{5000}, stereo.size() / 3, stereo.size() / 2,
	                               stereo.size() - 1000, stereo.size() - 1})
	{
		SCOPED_TRACE(size);
		try
		{
			const DecodedSound sound = DecodeOggVorbis(Bytes(stereo), size);
			EXPECT_LE(sound.Pcm.size(), fullSamples);
		}
		catch (const OggDecoderException& exception)
		{
			EXPECT_NE(std::string(exception.what()), "");
		}
	}
}

TEST_F(SoundResourceTest, MonoAndStereoFilesFillSixteenBitBuffersOfTheirDuration)
{
	const struct
	{
		std::string Path;
		ALint Channels;
	} cases[] = {{MONO_TONE, 1}, {STEREO_TONE, 2}};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Path);
		SoundResource* sound = ResourceManager<SoundResource>::Load(c.Path.c_str(), eResourceSource::NONE);
		ASSERT_NE(sound, nullptr);
		ASSERT_NE(sound->GetBufferID(), 0u);
		EXPECT_EQ(BufferValue(sound, AL_CHANNELS), c.Channels);
		EXPECT_EQ(BufferValue(sound, AL_BITS), 16);
		EXPECT_EQ(BufferValue(sound, AL_FREQUENCY), 44100);
		const double seconds = static_cast<double>(BufferValue(sound, AL_SIZE)) / (c.Channels * 2 * 44100.0);
		EXPECT_NEAR(seconds, 1.0, 0.01);
		ResourceManager<SoundResource>::Release(sound);
	}
}

TEST_F(SoundResourceTest, FileOfOneChunkOrLessGivesAnEmptyBufferAndNoLogLine)
{
	WriteFile("short.ogg", ReadBytes(MONO_TONE).substr(0, 4096));
	ConsoleCapture console;

	SoundResource* sound = ResourceManager<SoundResource>::Load("short.ogg", eResourceSource::NONE);

	ASSERT_NE(sound, nullptr);
	EXPECT_NE(sound->GetBufferID(), 0u);
	EXPECT_EQ(BufferValue(sound, AL_SIZE), 0);
	EXPECT_EQ(console.GetText(), "[INFO] ResourceManager: Loading: short.ogg\n");
	ResourceManager<SoundResource>::Release(sound);
}

TEST_F(SoundResourceTest, FailedLoadsAreLoggedWithTheFileAndGiveNull)
{
	WriteFile("noise.ogg", std::string(6000, 'n'));
	WriteFile("surround.ogg", ReadBytes(VORN_TEST_SOUNDS_PATH "tone_three_channels.ogg"));
	const struct
	{
		const char* Path;
		const char* Reason;
	} cases[] = {
	    {"missing.ogg", "missing.ogg: no such file"},
	    {"surround.ogg", "Only mono and stereo Ogg Vorbis sounds can be played."},
	    {"noise.ogg", "Input does not appear to be an Ogg bitstream."},
	    {".", ".: is a folder, not a file"},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.Path);
		ConsoleCapture console;
		EXPECT_EQ(ResourceManager<SoundResource>::Load(c.Path, eResourceSource::NONE), nullptr);
		EXPECT_TRUE(console.Contains(std::string("[ERROR] ResourceManager: ") + c.Path +
		                             " could not be loaded: " + c.Reason + "\n"))
		    << console.GetText();
		EXPECT_TRUE(console.Contains(std::string("[ERROR] Resource loading failed! ") + c.Path + "\n"));
	}
}
