#pragma once

#include "collections/dynarray.hpp"
#include "ecs/componentbase.hpp"
#include "memory/safeptr.hpp"

namespace Vorn
{
	class World;
	class SoundListenerComponent;

	// A world's sound: its OpenAL context on the engine's device, and which entity hears it. Without an audio device
	// there is no context and every sound call of the world does nothing.
	class SoundWorldComponent : public ComponentBase
	{
	public:
		explicit SoundWorldComponent(World* world = nullptr);
		~SoundWorldComponent() override;
		SoundWorldComponent(const SoundWorldComponent&) = delete;
		SoundWorldComponent& operator=(const SoundWorldComponent&) = delete;

		// The ALCcontext*, kept opaque so that OpenAL's headers stay out of the engine's public headers; null when
		// sound is off.
		void* GetNativeContext() const { return Context; }
		bool IsSoundOn() const { return Context != nullptr; }

		// Unused by the engine; kept for games that track listeners of their own.
		const Dynarray<SoundListenerComponent*>& GetListeners() const { return Listeners; }

		// The entity whose listener component OpenAL's listener follows; null when none is active. Set through
		// SoundSystem::ActivateListener and DeactivateListener.
		Entity* GetActiveListener() const { return ActiveListener.Get(); }
		void SetActiveListener(Entity* entity) { ActiveListener = SafePtr<Entity>(entity); }

	private:
		void* Context = nullptr;
		Dynarray<SoundListenerComponent*> Listeners;
		SafePtr<Entity> ActiveListener;
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::SoundWorldComponent);
