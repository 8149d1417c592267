// Decoding a two-minute stereo 44.1 kHz Ogg Vorbis file held in memory: the engine's decoder against
// libvorbisfile's ov_read loop and stb_vorbis. The "x_realtime" counter is the sound's length over the decoding
// time: how many times faster than playback each decoder is.
#include "audio/oggvorbisdecoder.hpp"

#include <benchmark/benchmark.h>
// Debian's stb library holds the decoder; only its declarations are wanted here.
#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>
#include <vorbis/vorbisfile.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

using namespace Vorn;

namespace
{
	constexpr double SOUND_SECONDS = 120.0;

	// Every decoder here writes 20 MB of new samples per run. glibc maps such blocks afresh and releases them again
	// on free, and whether a given block size does so depends on the allocation history, not on the decoder; served
	// from the heap for all three, the runs compare decoding alone.
	const bool gHeapForLargeBlocks = []
	{
		mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
		mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
		return true;
	}();

	const std::string& SoundFile()
	{
		static const std::string bytes = []
		{
			std::ifstream file(VORN_BENCHMARK_SOUND_PATH, std::ios::binary);
			std::stringstream content;
			content << file.rdbuf();
			return content.str();
		}();
		return bytes;
	}

	void ReportRealTime(benchmark::State& state, std::size_t samples)
	{
		state.counters["x_realtime"] =
		    benchmark::Counter(SOUND_SECONDS * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
		state.counters["samples"] = static_cast<double>(samples);
	}

	void EngineDecoder(benchmark::State& state)
	{
		const std::string& file = SoundFile();
		std::size_t samples = 0;
		for (auto _ : state)
		{
			const DecodedSound sound = DecodeOggVorbis(reinterpret_cast<const u8*>(file.data()), file.size());
			samples = sound.Pcm.size() / 2;
			benchmark::DoNotOptimize(sound.Pcm.data());
		}
		ReportRealTime(state, samples);
	}

	// libvorbisfile reading from the same memory.
	// Seekable, so libvorbisfile can find the stream's length.
	struct MemoryReader
	{
		const std::string* Bytes;
		std::size_t Position = 0;

		static int Seek(void* source, ogg_int64_t offset, int origin)
		{
			auto* reader = static_cast<MemoryReader*>(source);
			const ogg_int64_t base = origin == SEEK_SET   ? 0
			                         : origin == SEEK_CUR ? static_cast<ogg_int64_t>(reader->Position)
			                                              : static_cast<ogg_int64_t>(reader->Bytes->size());
			const ogg_int64_t target = base + offset;
			if (target < 0 || target > static_cast<ogg_int64_t>(reader->Bytes->size()))
				return -1;
			reader->Position = static_cast<std::size_t>(target);
			return 0;
		}

		static long Tell(void* source) { return static_cast<long>(static_cast<MemoryReader*>(source)->Position); }

		static size_t Read(void* destination, size_t size, size_t count, void* source)
		{
			auto* reader = static_cast<MemoryReader*>(source);
			const std::size_t wanted = size * count;
			const std::size_t available = std::min(wanted, reader->Bytes->size() - reader->Position);
			std::memcpy(destination, reader->Bytes->data() + reader->Position, available);
			reader->Position += available;
			return size == 0 ? 0 : available / size;
		}
	};

	void LibVorbisFile(benchmark::State& state)
	{
		const std::string& file = SoundFile();
		std::size_t samples = 0;
		for (auto _ : state)
		{
			// A new buffer each time, as the engine's decoder makes one for every sound.
			std::string pcm;
			MemoryReader reader{&file};
			OggVorbis_File vorbisFile;
			const ov_callbacks callbacks = {MemoryReader::Read, MemoryReader::Seek, nullptr, MemoryReader::Tell};
			if (ov_open_callbacks(&reader, &vorbisFile, nullptr, 0, callbacks) != 0)
			{
				state.SkipWithError("libvorbisfile cannot open the sound");
				return;
			}
			// Sized from the stream's announced length, as the engine's decoder does; growing it instead would cost
			// this side copies the other does not pay.
			const ogg_int64_t frames = ov_pcm_total(&vorbisFile, -1);
			const vorbis_info* info = ov_info(&vorbisFile, -1);
			if (frames > 0 && info)
				pcm.reserve(static_cast<std::size_t>(frames) * static_cast<std::size_t>(info->channels) * 2);
			char buffer[4096];
			int section = 0;
			for (long count = 0; (count = ov_read(&vorbisFile, buffer, sizeof(buffer), 0, 2, 1, &section)) > 0;)
				pcm.append(buffer, static_cast<std::size_t>(count));
			ov_clear(&vorbisFile);
			samples = pcm.size() / 2;
			benchmark::DoNotOptimize(pcm.data());
		}
		ReportRealTime(state, samples);
	}

	void StbVorbis(benchmark::State& state)
	{
		const std::string& file = SoundFile();
		std::size_t samples = 0;
		for (auto _ : state)
		{
			int channels = 0;
			int rate = 0;
			short* output = nullptr;
			const int frames = stb_vorbis_decode_memory(reinterpret_cast<const unsigned char*>(file.data()),
			                                            static_cast<int>(file.size()), &channels, &rate, &output);
			samples = static_cast<std::size_t>(std::max(frames, 0)) * static_cast<std::size_t>(channels);
			benchmark::DoNotOptimize(output);
			std::free(output);
		}
		ReportRealTime(state, samples);
	}
} // namespace

BENCHMARK(EngineDecoder)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(LibVorbisFile)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(StbVorbis)->Unit(benchmark::kMillisecond)->MinTime(3.0);
