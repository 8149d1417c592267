#include "particles/particleupdatesystem.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/testengine.hpp"
#include "particles/particlecomponent.hpp"
#include "particles/particleemitter.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

using namespace Vorn;
using namespace VornTests;

namespace
{
	using Particle = ParticleEmitter::Particle;

	const Vector EMITTER_POSITION(5.0f, 6.0f, 7.0f);
	// A power-of-two fraction of a second, so that ages add up without rounding.
	constexpr u64 FRAME_NANOSECONDS = 31'250'000;
	constexpr float FRAME_SECONDS = 1.0f / 32.0f;

	// No texture, no bursts, and particles that outlive every test unless a test says otherwise.
	ParticleEmitter::Settings QuietSettings(i32 initialSize)
	{
		ParticleEmitter::Settings settings;
		settings.InitialSize = initialSize;
		settings.BurstSizeMin = 0;
		settings.BurstSizeMax = 0;
		settings.ParticleInitFunc = [](Particle* particle) { particle->LifeTime = 1000.0f; };
		return settings;
	}

	class ParticleUpdateSystemTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Harness.Init(); }

		ParticleEmitter* AddEmitter(const ParticleEmitter::Settings& settings)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(Harness.GetWorld());
			entity->GetTransform().SetLocalTranslation(EMITTER_POSITION);
			EmitterEntities.push_back(entity);
			return Harness.GetWorld()->AddComponent<ParticleComponent>(entity, settings)->GetEmitter();
		}

		// Emitters left in the world would draw from the C generator too.
		void RemoveEmitters()
		{
			for (Entity* entity : EmitterEntities)
				DeferredTaskSystem::DestroyEntityImmediate(Harness.GetWorld(), entity);
			EmitterEntities.clear();
		}

		void Frame()
		{
			Harness.GetClock().AdvanceNanoseconds(FRAME_NANOSECONDS);
			Harness.GetEngine().Update();
		}

		static std::vector<Particle> Particles(const ParticleEmitter& emitter)
		{
			std::vector<Particle> particles;
			for (const Particle& particle : emitter.GetParticlesPool())
				particles.push_back(particle);
			return particles;
		}

		TestEngine Harness;
		std::vector<Entity*> EmitterEntities;
	};

	// What the emitter computes from the C generator for the size of a burst, drawn after its delay.
	i32 ExpectedBurstSize(unsigned int seed, i32 sizeMin, i32 sizeMax)
	{
		std::srand(seed);
		std::rand();
		const double value = static_cast<double>(std::rand()) / 32767.0;
		const double fraction = value - std::floor(value);
		return static_cast<i32>(sizeMin + fraction * (sizeMax - sizeMin));
	}
} // namespace

TEST_F(ParticleUpdateSystemTest, FirstUpdateSpawnsTheInitialParticlesAndABurstThatAppearsOnTheNextUpdate)
{
	for (unsigned int seed : {1u, 7u, 2024u, 99991u})
	{
		SCOPED_TRACE(seed);
		const i32 burstSize = ExpectedBurstSize(seed, 1, 5);
		ASSERT_GE(burstSize, 1);
		ASSERT_LE(burstSize, 5);

		ParticleEmitter* emitter = AddEmitter(ParticleEmitter::Settings());
		std::srand(seed);
		Frame();
		EXPECT_EQ(emitter->GetInstancesCount(), 10u);
		Frame();
		EXPECT_EQ(emitter->GetInstancesCount(), 10u + static_cast<u64>(burstSize));
		RemoveEmitters();
	}
}

TEST_F(ParticleUpdateSystemTest, NewParticleIsSetUpBeforeTheInitCallbackSeesIt)
{
	std::vector<Particle> seenByInit;
	ParticleEmitter::Settings settings = QuietSettings(2);
	settings.ParticleInitFunc = [&](Particle* particle) { seenByInit.push_back(*particle); };
	AddEmitter(settings);
	Frame();

	ASSERT_EQ(seenByInit.size(), 2u);
	for (const Particle& particle : seenByInit)
	{
		EXPECT_EQ(particle.Position, EMITTER_POSITION);
		EXPECT_EQ(particle.Scale, Vector(1.0f, 1.0f, 1.0f));
		EXPECT_EQ(particle.Velocity, Vector(0.0f, 0.0f, 0.0f));
		EXPECT_EQ(particle.Acceleration, Vector(0.0f, 0.0f, 0.0f));
		EXPECT_EQ(particle.Age, 0.0f);
		EXPECT_EQ(particle.LifeTime, 1.0f);
	}
}

TEST_F(ParticleUpdateSystemTest, ParticlesAreBornAtTheEntityInWorldSpaceAndAtTheOriginInLocalSpace)
{
	const struct
	{
		eSimulationSpace Space;
		Vector ExpectedBirth;
	} cases[] = {
	    {eSimulationSpace::WORLD_SPACE, EMITTER_POSITION},
	    {eSimulationSpace::LOCAL_SPACE, Vector(0.0f, 0.0f, 0.0f)},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(static_cast<int>(c.Space));
		ParticleEmitter::Settings settings = QuietSettings(1);
		settings.SimulationSpace = c.Space;
		const ParticleEmitter* emitter = AddEmitter(settings);
		Frame();
		const std::vector<Particle> particles = Particles(*emitter);
		ASSERT_EQ(particles.size(), 1u);
		EXPECT_EQ(particles[0].Position, c.ExpectedBirth);
	}
}

TEST_F(ParticleUpdateSystemTest, EmittingMoreThanTheFreeCellsLogsOnceAndFillsThePool)
{
	ParticleEmitter::Settings settings = QuietSettings(50);
	settings.MaxSize = 20;
	ParticleEmitter* emitter = AddEmitter(settings);
	ConsoleCapture console;
	Frame();
	Frame();

	EXPECT_EQ(emitter->GetInstancesCount(), 20u);
	EXPECT_EQ(console.GetText(), "[INFO] ParticleEmitter::Emit not enough memory in room (1000)\n");

	emitter->Emit(1);
	Frame();
	EXPECT_EQ(emitter->GetInstancesCount(), 20u);
	EXPECT_EQ(console.GetText(), "[INFO] ParticleEmitter::Emit not enough memory in room (1000)\n"
	                             "[INFO] ParticleEmitter::Emit not enough memory in room (1000)\n");
}

TEST_F(ParticleUpdateSystemTest, ParticleIsAliveWhileItsAgeEqualsItsLifetimeAndRemovedOnceItPassesIt)
{
	ParticleEmitter::Settings settings = QuietSettings(1);
	settings.ParticleInitFunc = [](Particle* particle) { particle->LifeTime = 8 * FRAME_SECONDS; };
	ParticleEmitter* emitter = AddEmitter(settings);

	for (int frame = 1; frame <= 8; ++frame)
		Frame();
	const std::vector<Particle> particles = Particles(*emitter);
	ASSERT_EQ(particles.size(), 1u);
	EXPECT_EQ(particles[0].Age, particles[0].LifeTime);

	Frame();
	EXPECT_EQ(emitter->GetInstancesCount(), 0u);
	EXPECT_FALSE(emitter->HasInstances());
}

TEST_F(ParticleUpdateSystemTest, OnlyExpiredParticlesAreRemovedAndTheirCellsAreReused)
{
	ParticleEmitter::Settings settings = QuietSettings(4);
	int spawned = 0;
	// Lifetimes 1, 3, 1, 3 frames: the first and third die together on the second frame.
	settings.ParticleInitFunc = [&](Particle* particle)
	{
		particle->LifeTime = (spawned % 2 == 0 ? 1 : 3) * FRAME_SECONDS;
		particle->Position = Vector(static_cast<float>(spawned), 0.0f, 0.0f);
		++spawned;
	};
	settings.MaxSize = 4;
	ParticleEmitter* emitter = AddEmitter(settings);
	Frame();
	Frame();

	std::vector<Particle> particles = Particles(*emitter);
	ASSERT_EQ(particles.size(), 2u);
	EXPECT_EQ(particles[0].Position.x, 1.0f);
	EXPECT_EQ(particles[1].Position.x, 3.0f);

	emitter->Emit(2);
	Frame();
	EXPECT_EQ(emitter->GetInstancesCount(), 4u) << "the freed cells of a full pool take the new particles";
}

TEST_F(ParticleUpdateSystemTest, MotionAddsAccelerationAndVelocityOncePerFrameWhateverTheFrameLength)
{
	std::vector<float> heightsSeenByUpdate;
	ParticleEmitter::Settings settings = QuietSettings(1);
	settings.SimulationSpace = eSimulationSpace::LOCAL_SPACE;
	settings.ParticleInitFunc = [](Particle* particle)
	{
		particle->LifeTime = 1000.0f;
		particle->Velocity = Vector(0.0f, 1.0f, 0.0f);
		particle->Acceleration = Vector(1.0f, 0.0f, 0.0f);
	};
	settings.ParticleUpdateFunc = [&](Particle* particle) { heightsSeenByUpdate.push_back(particle->Position.y); };
	const ParticleEmitter* emitter = AddEmitter(settings);

	for (u64 milliseconds : {10u, 50u, 30u})
		Harness.RunFrame(milliseconds);

	const std::vector<Particle> particles = Particles(*emitter);
	ASSERT_EQ(particles.size(), 1u);
	// Velocity x grows 1, 2, 3 and position x sums it; y rises by exactly 1 per frame.
	EXPECT_EQ(particles[0].Velocity, Vector(3.0f, 1.0f, 0.0f));
	EXPECT_EQ(particles[0].Position, Vector(6.0f, 3.0f, 0.0f));
	EXPECT_EQ(heightsSeenByUpdate, (std::vector<float>{1.0f, 2.0f, 3.0f})) << "the update callback runs after motion";
}

TEST_F(ParticleUpdateSystemTest, BurstDelayLiesBetweenTheBoundsEvenWhenTheMinimumIsTheGreater)
{
	for (unsigned int seed : {3u, 11u, 12345u, 4242u, 77777u})
	{
		SCOPED_TRACE(seed);
		ParticleEmitter::Settings settings = QuietSettings(0);
		settings.BurstTimeMin = 0.5f;
		settings.BurstTimeMax = 0.25f;
		settings.BurstSizeMin = 1;
		settings.BurstSizeMax = 1;
		ParticleEmitter* emitter = AddEmitter(settings);
		std::srand(seed);

		// The first burst appears on frame 2; the next one appears floor(32 * delay) + 2 frames later.
		std::vector<int> arrivalFrames;
		u64 previousCount = 0;
		for (int frame = 1; frame <= 24 && arrivalFrames.size() < 2; ++frame)
		{
			Frame();
			if (emitter->GetInstancesCount() > previousCount)
				arrivalFrames.push_back(frame);
			previousCount = emitter->GetInstancesCount();
		}
		ASSERT_EQ(arrivalFrames.size(), 2u);
		EXPECT_EQ(arrivalFrames[0], 2);
		const int gap = arrivalFrames[1] - arrivalFrames[0];
		EXPECT_GE(gap, 10) << "delay below 0.25 s";
		EXPECT_LE(gap, 18) << "delay above 0.5 s";
		RemoveEmitters();
	}
}

TEST_F(ParticleUpdateSystemTest, DisabledBurstsStopButEmitStillWorks)
{
	ParticleEmitter::Settings settings;
	settings.InitialSize = 3;
	settings.BurstSizeMin = 5;
	settings.BurstSizeMax = 5;
	settings.ParticleInitFunc = [](Particle* particle) { particle->LifeTime = 1000.0f; };
	ParticleEmitter* emitter = AddEmitter(settings);
	ASSERT_TRUE(emitter->GetIsBurstEnabled());
	emitter->SetBurstEnabled(false);
	EXPECT_FALSE(emitter->GetIsBurstEnabled());

	for (int frame = 0; frame < 100; ++frame)
		Frame();
	EXPECT_EQ(emitter->GetInstancesCount(), 3u);

	emitter->Emit(2);
	EXPECT_EQ(emitter->GetInstancesCount(), 3u) << "requests wait for the next update";
	Frame();
	EXPECT_EQ(emitter->GetInstancesCount(), 5u);
}

TEST_F(ParticleUpdateSystemTest, EveryEmitterProxyIsUpdatedOncePerFrameAfterItsParticlesAged)
{
	AddEmitter(QuietSettings(1));
	ParticleEmitter::Settings settings = QuietSettings(4);
	bool isShortLived = false;
	settings.ParticleInitFunc = [&](Particle* particle)
	{
		isShortLived = !isShortLived;
		particle->LifeTime = isShortLived ? 0.0f : 1000.0f;
	};
	AddEmitter(settings);

	Frame();
	EXPECT_EQ(Harness.DeviceLog.ParticleUpdateCalls, 2);
	EXPECT_EQ(Harness.DeviceLog.LastParticleInstances, 2u) << "the second emitter, without its expired half";
	Frame();
	EXPECT_EQ(Harness.DeviceLog.ParticleUpdateCalls, 4);
}
