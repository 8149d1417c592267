#pragma once

#include "collections/dynarray.hpp"
#include "resources/resourcemanager.hpp"
#include "utils/string.hpp"

#include <cstddef>

namespace Vorn
{
	class Entity;
	class World;

	// Control of the world's sound. Emitter functions take an entity with a SoundEmitterComponent; listener functions
	// one with a SoundListenerComponent. All of them do nothing when sound is off or the emitter has no sound.
	namespace SoundSystem
	{
		// Engine phase: every emitter's source takes its entity's global position, and OpenAL's listener the active
		// listener's position, orientation and gain.
		void SoundPhase(World* world);

		// Opens the named output device in place of the current one; contexts made on the old device stay there.
		void SetDevice(const String& name);
		// The first device name OpenAL lists.
		const String& GetDeviceName();
		const Dynarray<String>& GetAvailableDevices();
		void SetWorldCurrent(World* world);

		// Starts or resumes; a playing emitter goes on undisturbed.
		void PlayEmitter(World* world, Entity* entity);
		// Starts from the beginning, also when playing.
		void ReplayEmitter(World* world, Entity* entity);
		void PauseEmitter(World* world, Entity* entity);
		void StopEmitter(World* world, Entity* entity);
		void LoopEmitter(World* world, Entity* entity);
		void UnLoopEmitter(World* world, Entity* entity);
		void SetEmitterGain(World* world, Entity* entity, float gain);
		// The pitch factor.
		void SetEmitterFrequency(World* world, Entity* entity, float pitch);
		void SetEmitterOffsetInSeconds(World* world, Entity* entity, float seconds);
		void SetEmitterOffsetInSamples(World* world, Entity* entity, std::size_t samples);
		void SetEmitterOffsetInBytes(World* world, Entity* entity, std::size_t bytes);
		void SetEmitterSource(World* world, Entity* entity, const String& path, eResourceSource source);
		// True only while playing (not when paused).
		bool IsEmmiterActive(World* world, Entity* entity);

		// One listener per world: activating one replaces the previous; with none, OpenAL's defaults apply.
		void ActivateListener(World* world, Entity* entity);
		void DeactivateListener(World* world, Entity* entity);
		void SetListenerGain(World* world, Entity* entity, float gain);
	} // namespace SoundSystem
} // namespace Vorn
