#include "particles/particleemitter.hpp"

#include "engine.hpp"
#include "resources/textureresource.hpp"
#include "utils/console.hpp"

#include <cmath>
#include <cstdlib>
#include <new>

namespace Vorn
{
	namespace
	{
		// The fractional part of rand() / 32767, in [0, 1). With a RAND_MAX above 32767 the quotient exceeds 1,
		// hence the fractional part.
		double RandomFraction()
		{
			const double value = static_cast<double>(std::rand()) / 32767.0;
			return value - std::floor(value);
		}

		// (1 - t) * from + t * to, written so that equal ends give exactly their value: a burst size range of
		// 3 to 3 must not truncate to 2.
		double Lerp(double from, double to, double t) { return from + t * (to - from); }
	} // namespace

	ParticleEmitter::ParticleEmitter(const Settings& settings)
	    : EmitterSettings(settings),
	      Spritesheet(ResourceManager<TextureResource>::Load(
	          settings.Spritesheet.SpritePath, settings.Spritesheet.SpriteSource, eTextureUsageType::ALBEDO)),
	      ParticleProxy(gEngine->GetRenderingDevice()->CreateParticle()),
	      ToEmit(static_cast<u64>(settings.InitialSize)),
	      ParticlesPool(static_cast<u64>(settings.MaxSize < 0 ? 0 : settings.MaxSize))
	{
	}

	ParticleEmitter::~ParticleEmitter()
	{
		if (Spritesheet)
			ResourceManager<TextureResource>::Release(Spritesheet);
	}

	void ParticleEmitter::SpawnRequested(const Vector& birthPosition)
	{
		u64 count = ToEmit;
		ToEmit = 0;

		const u64 freeCells = ParticlesPool.GetCapacity() - ParticlesPool.GetSize();
		if (count > freeCells)
		{
			// The message names 1000 whatever the pool's size; the text is kept as it has always read.
			gConsole.LogInfo("ParticleEmitter::Emit not enough memory in room (1000)");
			count = freeCells;
		}

		for (u64 i = 0; i < count; ++i)
		{
			Particle* particle = ::new (ParticlesPool.Alloc()) Particle();
			particle->Position = birthPosition;
			particle->Scale = Vector(1.0f, 1.0f, 1.0f);
			particle->Velocity = Vector(0.0f, 0.0f, 0.0f);
			particle->Acceleration = Vector(0.0f, 0.0f, 0.0f);
			particle->Age = 0.0f;
			particle->LifeTime = 1.0f;
			EmitterSettings.ParticleInitFunc(particle);
		}
	}

	void ParticleEmitter::UpdateBursts(float deltaTime)
	{
		if (!IsBurstEnabled)
			return;
		if (NextBurstTime >= 0.0f)
		{
			NextBurstTime -= deltaTime;
			return;
		}

		const double delayFraction = RandomFraction();
		const double sizeFraction = RandomFraction();
		NextBurstTime =
		    static_cast<float>(Lerp(EmitterSettings.BurstTimeMin, EmitterSettings.BurstTimeMax, delayFraction));
		const double burstSize = Lerp(EmitterSettings.BurstSizeMin, EmitterSettings.BurstSizeMax, sizeFraction);
		Emit(burstSize > 0.0 ? static_cast<std::size_t>(burstSize) : 0);
	}

	void ParticleEmitter::AgeParticles(float deltaTime)
	{
		for (auto it = ParticlesPool.begin(); it != ParticlesPool.end();)
		{
			Particle& particle = *it;
			// Step past the particle before freeing it: a freed cell leaves the live list.
			++it;
			particle.Age += deltaTime;
			if (particle.Age > particle.LifeTime)
				ParticlesPool.Free(&particle);
		}
	}

	void ParticleEmitter::MoveParticles()
	{
		for (Particle& particle : ParticlesPool)
		{
			particle.Velocity += particle.Acceleration;
			particle.Position += particle.Velocity;
			EmitterSettings.ParticleUpdateFunc(&particle);
		}
	}
} // namespace Vorn
