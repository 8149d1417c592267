#pragma once

#include "defines.hpp"
#include "math/color.hpp"
#include "math/vector.hpp"
#include "memory/baseobject.hpp"
#include "memory/iterablepoolallocator.hpp"
#include "particles/spritesheetcomponent.hpp"
#include "rendering/iparticledeviceproxy.hpp"

#include <cstddef>
#include <functional>
#include <memory>

namespace Vorn
{
	class TextureResource;
	class World;

	namespace ParticleUpdateSystem
	{
		void ParticleUpdatePhase(World* world);
	}

	enum class eSimulationSpace : u32
	{
		// Born at the origin and drawn with the emitter entity's world-from-model matrix: they follow the entity.
		LOCAL_SPACE,
		// Born at the entity's global translation and drawn as they are: they stay where they were born.
		WORLD_SPACE,
		_COUNT
	};

	// A fixed pool of particles, spawned on request and in timed random bursts, aged, moved and killed by the
	// particle update phase, and drawn by its device proxy in one instanced draw.
	class ParticleEmitter : public BaseObject
	{
	public:
		struct Particle
		{
			// In the emitter's simulation space.
			Vector Position;
			Vector Scale;
			// Added to Position once per frame, whatever the frame's length.
			Vector Velocity;
			// Added to Velocity once per frame.
			Vector Acceleration;
			// Seconds since birth; the particle dies on the frame its age passes its lifetime.
			float Age = 0.0f;
			float LifeTime = 0.0f;
		};

		struct Settings
		{
			// Capacity of the pool; at least 1.
			i32 MaxSize = 1000;
			// Spawned on the first update.
			i32 InitialSize = 10;
			// Range of the delay between bursts, in seconds.
			float BurstTimeMin = 1.0f;
			float BurstTimeMax = 2.0f;
			// Range of the number of particles per burst.
			i32 BurstSizeMin = 1;
			i32 BurstSizeMax = 5;
			eSimulationSpace SimulationSpace = eSimulationSpace::WORLD_SPACE;
			SpritesheetSettings Spritesheet;
			Color EmitterColor = Color::WHITE;
			// Run once on each new particle, after the emitter has set it up.
			std::function<void(Particle*)> ParticleInitFunc = [](Particle*) {};
			// Run on every live particle every frame, after it moved.
			std::function<void(Particle*)> ParticleUpdateFunc = [](Particle*) {};
		};

		explicit ParticleEmitter(const Settings& settings);
		~ParticleEmitter() override;
		ParticleEmitter(const ParticleEmitter&) = delete;
		ParticleEmitter& operator=(const ParticleEmitter&) = delete;

		const Settings& GetSettings() const { return EmitterSettings; }
		// Null when the texture could not be loaded; the device then uses its own fallback.
		TextureResource* GetSpritesheet() const { return Spritesheet; }
		IParticleDeviceProxy* GetParticleProxy() const { return ParticleProxy.get(); }
		const IterablePoolAllocator<Particle>& GetParticlesPool() const { return ParticlesPool; }
		u64 GetInstancesCount() const { return ParticlesPool.GetSize(); }
		bool HasInstances() const { return GetInstancesCount() > 0; }

		bool GetIsBurstEnabled() const { return IsBurstEnabled; }
		void SetBurstEnabled(bool isEnabled) { IsBurstEnabled = isEnabled; }

		// The particles appear on the next update, as far as the pool has room.
		void Emit(std::size_t count) { ToEmit += count; }

	private:
		void SpawnRequested(const Vector& birthPosition);
		void UpdateBursts(float deltaTime);
		void AgeParticles(float deltaTime);
		void MoveParticles();

		Settings EmitterSettings;
		TextureResource* Spritesheet;
		std::unique_ptr<IParticleDeviceProxy> ParticleProxy;
		bool IsBurstEnabled = true;
		// Below zero, so that the first update bursts.
		float NextBurstTime = -1.0f;
		u64 ToEmit;
		IterablePoolAllocator<Particle> ParticlesPool;

		friend void ParticleUpdateSystem::ParticleUpdatePhase(World* world);
	};
} // namespace Vorn
