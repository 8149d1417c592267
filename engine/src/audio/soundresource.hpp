#pragma once

#include "audio/oggvorbisdecoder.hpp"
#include "resources/resourcemanager.hpp"

namespace Vorn
{
	// An Ogg Vorbis file decoded whole into one OpenAL buffer, shared per path through ResourceManager<SoundResource>.
	// Without a current OpenAL context (no audio device) the file is still read and checked, and the resource exists
	// without a buffer.
	class SoundResource : public ResourceBase
	{
	public:
		// Files larger than this are refused unread.
		static constexpr std::size_t MAX_FILE_BYTES = 256 * 1024 * 1024;

		// `path` is the full path. Throws FileIOException when the file cannot be read and OggDecoderException on a
		// stream error.
		explicit SoundResource(const String& path);

		// 0 when sound is off.
		unsigned int GetBufferID() const { return BufferID; }

	protected:
		~SoundResource() override;

	private:
		unsigned int BufferID = 0;
	};
} // namespace Vorn

VORN_DECLARE_RESOURCE_REGISTRY(SoundResource, gALSoundResourcesMap)
