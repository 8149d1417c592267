#include "audio/soundresource.hpp"

#include "io/fileoutputstream.hpp"
#include "io/regularfile.hpp"

#include <al.h>
#include <alc.h>

#include <string>

VORN_DEFINE_RESOURCE_REGISTRY(SoundResource, gALSoundResourcesMap)

namespace Vorn
{
	SoundResource::SoundResource(const String& path)
	{
		const bool isSoundOn = alcGetCurrentContext() != nullptr;
		if (isSoundOn)
			alGenBuffers(1, &BufferID);
		// The destructor does not run when the constructor throws.
		struct BufferGuard
		{
			unsigned int& Buffer;
			bool IsKept = false;
			~BufferGuard()
			{
				if (!IsKept && Buffer != 0)
					alDeleteBuffers(1, &Buffer);
			}
		} guard{BufferID};

		std::string file;
		const RegularFileResult read = ReadRegularFile(path, MAX_FILE_BYTES, file);
		if (!read.IsOk())
			throw FileIOException(read.Problem);

		const DecodedSound sound = DecodeOggVorbis(reinterpret_cast<const u8*>(file.data()), file.size());
		if (isSoundOn && sound.Channels > 0)
			alBufferData(BufferID, sound.Channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, sound.Pcm.data(),
			             static_cast<ALsizei>(sound.Pcm.size()), static_cast<ALsizei>(sound.SampleRate));
		guard.IsKept = true;
	}

	SoundResource::~SoundResource()
	{
		if (BufferID != 0)
			alDeleteBuffers(1, &BufferID);
	}
} // namespace Vorn
