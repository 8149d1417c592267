#include "audio/soundemittercomponent.hpp"

#include "audio/soundresource.hpp"

#include <al.h>
#include <alc.h>

VORN_DEFINE_COMPONENT_TYPE(Vorn::SoundEmitterComponent);
VORN_DEFINE_COMPONENT_TYPE(Vorn::SoundListenerComponent);

namespace Vorn
{
	SoundEmitterComponent::SoundEmitterComponent(const String& path, eResourceSource source, bool flag) : Flag(flag)
	{
		Acquire(path, source);
	}

	SoundEmitterComponent::~SoundEmitterComponent() { ReleaseSource(); }

	void SoundEmitterComponent::SetSource(const String& path, eResourceSource source)
	{
		ReleaseSource();
		Acquire(path, source);
	}

	void SoundEmitterComponent::Acquire(const String& path, eResourceSource source)
	{
		Resource = ResourceManager<SoundResource>::Load(path, source);
		// Sources live in the current context; without one (sound off) or without a sound there is nothing to play.
		if (!Resource || Resource->GetBufferID() == 0 || alcGetCurrentContext() == nullptr)
			return;
		alGenSources(1, &EmitterID);
		alSourcei(EmitterID, AL_BUFFER, static_cast<ALint>(Resource->GetBufferID()));
	}

	void SoundEmitterComponent::ReleaseSource()
	{
		if (EmitterID != 0)
			alDeleteSources(1, &EmitterID);
		EmitterID = 0;
		if (Resource)
			ResourceManager<SoundResource>::Release(Resource);
		Resource = nullptr;
	}
} // namespace Vorn
