#include "audio/soundsystem.hpp"

#include "audio/soundemittercomponent.hpp"
#include "audio/soundworldcomponent.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "math/quaternion.hpp"
#include "utils/check.hpp"

#include <al.h>
#include <alc.h>

namespace Vorn
{
	namespace
	{
		// The emitter's source, or 0 when there is nothing to play.
		ALuint GetSource(Entity* entity)
		{
			VORN_CHECK(entity != nullptr, "Invalid entity - entity with that ID does not exist!");
			const SoundEmitterComponent* emitter = entity->GetComponent<SoundEmitterComponent>();
			VORN_CHECK(emitter != nullptr, "Entity has no SoundEmitterComponent!");
			return emitter->GetEmitterID();
		}

		SoundListenerComponent* GetListener(Entity* entity)
		{
			VORN_CHECK(entity != nullptr, "Invalid entity - entity with that ID does not exist!");
			SoundListenerComponent* listener = entity->GetComponent<SoundListenerComponent>();
			VORN_CHECK(listener != nullptr, "Entity has no SoundListenerComponent!");
			return listener;
		}

		SoundWorldComponent* GetSoundWorld(World* world)
		{
			return world ? world->GetWorldComponent<SoundWorldComponent>() : nullptr;
		}

		void ResetListener()
		{
			const ALfloat orientation[] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
			alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
			alListenerfv(AL_ORIENTATION, orientation);
			alListenerf(AL_GAIN, 1.0f);
		}

		ALint GetSourceState(ALuint source)
		{
			ALint state = AL_INITIAL;
			alGetSourcei(source, AL_SOURCE_STATE, &state);
			return state;
		}
	} // namespace

	void SoundSystem::SoundPhase(World* world)
	{
		const SoundWorldComponent* sound = GetSoundWorld(world);
		if (!sound || !sound->IsSoundOn())
			return;

		for (auto [emitter] : world->IterateComponents<SoundEmitterComponent>())
		{
			if (emitter->GetEmitterID() == 0)
				continue;
			const Vector& position = emitter->GetTransform().GetGlobalTranslation();
			alSource3f(emitter->GetEmitterID(), AL_POSITION, position.x, position.y, position.z);
		}

		if (Entity* listenerEntity = sound->GetActiveListener())
		{
			const EntityTransform& transform = listenerEntity->GetTransform();
			const Vector& position = transform.GetGlobalTranslation();
			const Vector forward = transform.GetGlobalRotation() * Vector(0.0f, 0.0f, -1.0f);
			const Vector up = transform.GetGlobalRotation() * Vector(0.0f, 1.0f, 0.0f);
			const ALfloat orientation[] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
			alListener3f(AL_POSITION, position.x, position.y, position.z);
			alListenerfv(AL_ORIENTATION, orientation);
			// The component may have been removed since the entity was activated.
			const SoundListenerComponent* listener = listenerEntity->GetComponent<SoundListenerComponent>();
			alListenerf(AL_GAIN, listener ? listener->GetGain() : 1.0f);
		}
	}

	void SoundSystem::SetDevice(const String& name)
	{
		VORN_CHECK(gEngine->GetAudioDevice().Reopen(name), "OpenAL device creation failed");
	}

	const String& SoundSystem::GetDeviceName() { return gEngine->GetAudioDevice().GetAvailableDevices()[0]; }

	const Dynarray<String>& SoundSystem::GetAvailableDevices()
	{
		return gEngine->GetAudioDevice().GetAvailableDevices();
	}

	void SoundSystem::SetWorldCurrent(World* world)
	{
		if (const SoundWorldComponent* sound = GetSoundWorld(world); sound && sound->IsSoundOn())
			alcMakeContextCurrent(static_cast<ALCcontext*>(sound->GetNativeContext()));
	}

	void SoundSystem::PlayEmitter(World*, Entity* entity)
	{
		if (const ALuint source = GetSource(entity); source != 0 && GetSourceState(source) != AL_PLAYING)
			alSourcePlay(source);
	}

	void SoundSystem::ReplayEmitter(World*, Entity* entity)
	{
		if (const ALuint source = GetSource(entity))
			alSourcePlay(source);
	}

	void SoundSystem::PauseEmitter(World*, Entity* entity)
	{
		if (const ALuint source = GetSource(entity))
			alSourcePause(source);
	}

	void SoundSystem::StopEmitter(World*, Entity* entity)
	{
		if (const ALuint source = GetSource(entity))
			alSourceStop(source);
	}

	void SoundSystem::LoopEmitter(World*, Entity* entity)
	{
		if (const ALuint source = GetSource(entity))
			alSourcei(source, AL_LOOPING, AL_TRUE);
	}

	void SoundSystem::UnLoopEmitter(World*, Entity* entity)
	{
		if (const ALuint source = GetSource(entity))
			alSourcei(source, AL_LOOPING, AL_FALSE);
	}

	void SoundSystem::SetEmitterGain(World*, Entity* entity, float gain)
	{
		if (const ALuint source = GetSource(entity))
			alSourcef(source, AL_GAIN, gain);
	}

	void SoundSystem::SetEmitterFrequency(World*, Entity* entity, float pitch)
	{
		if (const ALuint source = GetSource(entity))
			alSourcef(source, AL_PITCH, pitch);
	}

	void SoundSystem::SetEmitterOffsetInSeconds(World*, Entity* entity, float seconds)
	{
		if (const ALuint source = GetSource(entity))
			alSourcef(source, AL_SEC_OFFSET, seconds);
	}

	void SoundSystem::SetEmitterOffsetInSamples(World*, Entity* entity, std::size_t samples)
	{
		if (const ALuint source = GetSource(entity))
			alSourcef(source, AL_SAMPLE_OFFSET, static_cast<float>(samples));
	}

	void SoundSystem::SetEmitterOffsetInBytes(World*, Entity* entity, std::size_t bytes)
	{
		if (const ALuint source = GetSource(entity))
			alSourcef(source, AL_BYTE_OFFSET, static_cast<float>(bytes));
	}

	void SoundSystem::SetEmitterSource(World*, Entity* entity, const String& path, eResourceSource source)
	{
		VORN_CHECK(entity != nullptr, "Invalid entity - entity with that ID does not exist!");
		SoundEmitterComponent* emitter = entity->GetComponent<SoundEmitterComponent>();
		VORN_CHECK(emitter != nullptr, "Entity has no SoundEmitterComponent!");
		emitter->SetSource(path, source);
	}

	bool SoundSystem::IsEmmiterActive(World*, Entity* entity)
	{
		const ALuint source = GetSource(entity);
		return source != 0 && GetSourceState(source) == AL_PLAYING;
	}

	void SoundSystem::ActivateListener(World* world, Entity* entity)
	{
		GetListener(entity);
		if (SoundWorldComponent* sound = GetSoundWorld(world))
			sound->SetActiveListener(entity);
	}

	void SoundSystem::DeactivateListener(World* world, Entity* entity)
	{
		GetListener(entity);
		SoundWorldComponent* sound = GetSoundWorld(world);
		if (!sound || sound->GetActiveListener() != entity)
			return;
		sound->SetActiveListener(nullptr);
		if (sound->IsSoundOn())
			ResetListener();
	}

	void SoundSystem::SetListenerGain(World*, Entity* entity, float gain) { GetListener(entity)->SetGain(gain); }
} // namespace Vorn
