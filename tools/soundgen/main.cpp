// Writes an Ogg Vorbis file of sine tones, one frequency per channel, for the audio tests and benchmark. The output
// depends on nothing but the arguments and this program (fixed stream serial number, no random input), so the build
// runs it again only when the program changes.
//   VornSoundGen <output.ogg> <seconds> <sample rate> <amplitude> <frequency per channel>...

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
	constexpr int STREAM_SERIAL_NUMBER = 0x566f726e; // any fixed value keeps the output the same on every run
	constexpr float QUALITY = 0.4f;
	constexpr int FRAMES_PER_WRITE = 1024;

	bool WritePage(std::FILE* file, const ogg_page& page)
	{
		return std::fwrite(page.header, 1, static_cast<std::size_t>(page.header_len), file) ==
		           static_cast<std::size_t>(page.header_len) &&
		       std::fwrite(page.body, 1, static_cast<std::size_t>(page.body_len), file) ==
		           static_cast<std::size_t>(page.body_len);
	}
} // namespace

int main(int argc, char** argv)
{
	if (argc < 6)
	{
		std::fprintf(stderr, "usage: %s <output.ogg> <seconds> <sample rate> <amplitude> <frequency>...\n", argv[0]);
		return 2;
	}
	const char* outputPath = argv[1];
	const double seconds = std::atof(argv[2]);
	const long sampleRate = std::atol(argv[3]);
	const double amplitude = std::atof(argv[4]);
	std::vector<double> frequencies;
	for (int argument = 5; argument < argc; ++argument)
		frequencies.push_back(std::atof(argv[argument]));
	const int channels = static_cast<int>(frequencies.size());

	std::FILE* file = std::fopen(outputPath, "wb");
	if (!file)
	{
		std::fprintf(stderr, "soundgen: cannot write %s\n", outputPath);
		return 1;
	}

	vorbis_info info;
	vorbis_info_init(&info);
	if (vorbis_encode_init_vbr(&info, channels, sampleRate, QUALITY) != 0)
	{
		std::fprintf(stderr, "soundgen: the encoder refuses %d channels at %ld Hz\n", channels, sampleRate);
		return 1;
	}
	vorbis_comment comment;
	vorbis_comment_init(&comment);
	vorbis_comment_add_tag(&comment, "TITLE", "Vorn test tone");
	vorbis_dsp_state dsp;
	vorbis_analysis_init(&dsp, &info);
	vorbis_block block;
	vorbis_block_init(&dsp, &block);
	ogg_stream_state stream;
	ogg_stream_init(&stream, STREAM_SERIAL_NUMBER);

	ogg_packet identification;
	ogg_packet commentPacket;
	ogg_packet codebooks;
	vorbis_analysis_headerout(&dsp, &comment, &identification, &commentPacket, &codebooks);
	ogg_stream_packetin(&stream, &identification);
	ogg_stream_packetin(&stream, &commentPacket);
	ogg_stream_packetin(&stream, &codebooks);
	bool isWritten = true;
	ogg_page page;
	// The audio starts on a page of its own, as decoders expect.
	while (ogg_stream_flush(&stream, &page) != 0)
		isWritten = isWritten && WritePage(file, page);

	const long totalFrames = static_cast<long>(seconds * static_cast<double>(sampleRate));
	long writtenFrames = 0;
	bool isEndOfStream = false;
	while (!isEndOfStream)
	{
		const long frames = std::min<long>(FRAMES_PER_WRITE, totalFrames - writtenFrames);
		if (frames > 0)
		{
			float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(frames));
			for (int channel = 0; channel < channels; ++channel)
				for (long frame = 0; frame < frames; ++frame)
				{
					const double time = static_cast<double>(writtenFrames + frame) / static_cast<double>(sampleRate);
					buffer[channel][frame] = static_cast<float>(
					    amplitude * std::sin(2.0 * 3.14159265358979323846 * frequencies[channel] * time));
				}
			writtenFrames += frames;
		}
		// Zero frames tell the encoder the input has ended.
		vorbis_analysis_wrote(&dsp, static_cast<int>(frames > 0 ? frames : 0));

		while (vorbis_analysis_blockout(&dsp, &block) == 1)
		{
			vorbis_analysis(&block, nullptr);
			vorbis_bitrate_addblock(&block);
			ogg_packet packet;
			while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0)
			{
				ogg_stream_packetin(&stream, &packet);
				while (!isEndOfStream && ogg_stream_pageout(&stream, &page) != 0)
				{
					isWritten = isWritten && WritePage(file, page);
					isEndOfStream = ogg_page_eos(&page) != 0;
				}
			}
		}
	}

	ogg_stream_clear(&stream);
	vorbis_block_clear(&block);
	vorbis_dsp_clear(&dsp);
	vorbis_comment_clear(&comment);
	vorbis_info_clear(&info);
	isWritten = std::fclose(file) == 0 && isWritten;
	if (!isWritten)
	{
		std::fprintf(stderr, "soundgen: cannot write %s\n", outputPath);
		return 1;
	}
	return 0;
}
