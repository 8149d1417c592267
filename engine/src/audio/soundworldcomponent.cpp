#include "audio/soundworldcomponent.hpp"

#include "engine.hpp"

#include <al.h>
#include <alc.h>

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::SoundWorldComponent);

namespace Vorn
{
	SoundWorldComponent::SoundWorldComponent(World*)
	{
		// The engine warned once at start-up when it found no device; a world without one simply stays silent.
		if (void* device = gEngine->GetAudioDevice().GetNativeHandle())
			Context = alcCreateContext(static_cast<ALCdevice*>(device), nullptr);
	}

	SoundWorldComponent::~SoundWorldComponent()
	{
		if (Context)
		{
			if (alcGetCurrentContext() == Context)
				alcMakeContextCurrent(nullptr);
			alcDestroyContext(static_cast<ALCcontext*>(Context));
		}
		Listeners.Clear();
	}
} // namespace Vorn
