#pragma once

#include "ecs/componentbase.hpp"
#include "resources/resourcemanager.hpp"

namespace Vorn
{
	class SoundResource;
	class SoundWorldComponent;

	// Plays one shared sound through one OpenAL source; control it with the SoundSystem functions. The sound plays at
	// the entity's global position (mono sounds are heard from there, stereo ones as they are). When the sound cannot
	// be loaded, or sound is off, the emitter still exists and every SoundSystem call on it does nothing.
	class SoundEmitterComponent : public ComponentBase
	{
	public:
		SoundEmitterComponent(const String& path, eResourceSource source, bool flag = false);
		~SoundEmitterComponent() override;
		SoundEmitterComponent(const SoundEmitterComponent&) = delete;
		SoundEmitterComponent& operator=(const SoundEmitterComponent&) = delete;

		// The OpenAL source name; 0 when the emitter cannot play.
		unsigned int GetEmitterID() const { return EmitterID; }
		// Null when the sound did not load.
		SoundResource* GetResource() const { return Resource; }
		// Stored for the game; the engine gives it no meaning.
		bool GetFlag() const { return Flag; }

		// Replaces the sound: a new source with OpenAL's defaults (gain 1, pitch 1, not looping, offset 0).
		void SetSource(const String& path, eResourceSource source);

	private:
		void Acquire(const String& path, eResourceSource source);
		void ReleaseSource();

		unsigned int EmitterID = 0;
		bool Flag;
		SoundResource* Resource = nullptr;
	};

	// Makes its entity able to hear the world once SoundSystem::ActivateListener picks it: OpenAL's listener then
	// takes the entity's global position and orientation, and this gain.
	class SoundListenerComponent : public ComponentBase
	{
	public:
		explicit SoundListenerComponent(SoundWorldComponent* world = nullptr) : SoundWorld(world) {}

		SoundWorldComponent* GetSoundWorld() const { return SoundWorld; }

		float GetGain() const { return Gain; }
		void SetGain(float gain) { Gain = gain; }

	private:
		SoundWorldComponent* SoundWorld;
		float Gain = 1.0f;
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::SoundEmitterComponent);
VORN_DECLARE_COMPONENT_TYPE(Vorn::SoundListenerComponent);
