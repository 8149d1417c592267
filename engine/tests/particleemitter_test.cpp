#include "particles/particleemitter.hpp"

#include "fixtures/sceneassets.hpp"
#include "fixtures/testengine.hpp"
#include "resources/textureresource.hpp"

#include <gtest/gtest.h>

#include <memory>

using namespace Vorn;
using namespace VornTests;

namespace
{
	const char* const SPRITE_PATH = "Sprites/spark.ppm";

	class ParticleEmitterTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Harness.Init();
			WriteTestImage(eResourceSource::GAME, SPRITE_PATH);
		}

		static ParticleEmitter::Settings SpriteSettings(const char* path)
		{
			ParticleEmitter::Settings settings;
			settings.Spritesheet.SpritePath = path;
			return settings;
		}

		TestEngine Harness;
	};

	using ParticleEmitterDeathTest = ParticleEmitterTest;
} // namespace

TEST_F(ParticleEmitterTest, StartsEmptyWithBurstsOnAProxyAndTheSpriteLoadedAsAlbedo)
{
	ParticleEmitter::Settings settings = SpriteSettings(SPRITE_PATH);
	settings.MaxSize = 64;
	const ParticleEmitter emitter(settings);

	EXPECT_EQ(emitter.GetSettings().MaxSize, 64);
	EXPECT_EQ(emitter.GetParticlesPool().GetCapacity(), 64u);
	EXPECT_EQ(emitter.GetInstancesCount(), 0u);
	EXPECT_FALSE(emitter.HasInstances());
	EXPECT_TRUE(emitter.GetIsBurstEnabled());
	EXPECT_NE(emitter.GetParticleProxy(), nullptr);

	ASSERT_NE(emitter.GetSpritesheet(), nullptr);
	EXPECT_EQ(emitter.GetSpritesheet()->GetPath(), String(SPRITE_PATH));
	ASSERT_EQ(Harness.DeviceLog.Textures.size(), 1u);
	EXPECT_EQ(Harness.DeviceLog.Textures[0].Usage, eTextureUsageType::ALBEDO);
	EXPECT_EQ(Harness.DeviceLog.Textures[0].Channels, 4u);
}

TEST_F(ParticleEmitterTest, DestroyingTheEmitterReleasesItsSpriteAndItsProxy)
{
	const int proxiesBefore = Harness.DeviceLog.LiveProxies;
	auto first = std::make_unique<ParticleEmitter>(SpriteSettings(SPRITE_PATH));
	auto second = std::make_unique<ParticleEmitter>(SpriteSettings(SPRITE_PATH));
	ASSERT_EQ(first->GetSpritesheet(), second->GetSpritesheet()) << "one texture per path";
	EXPECT_EQ(first->GetSpritesheet()->GetRefCount(), 2u);
	EXPECT_EQ(Harness.DeviceLog.LiveProxies, proxiesBefore + 3) << "one texture and two particle buffers";

	first.reset();
	ASSERT_EQ(Impl::gTextureResourcesMap.size(), 1u);
	EXPECT_EQ(second->GetSpritesheet()->GetRefCount(), 1u);
	EXPECT_EQ(Harness.DeviceLog.LiveProxies, proxiesBefore + 2);

	second.reset();
	EXPECT_TRUE(Impl::gTextureResourcesMap.empty());
	EXPECT_EQ(Harness.DeviceLog.LiveProxies, proxiesBefore);
}

TEST_F(ParticleEmitterTest, MissingSpriteLeavesTheSpritesheetNullAndTheRegistryEmpty)
{
	const ParticleEmitter emitter(SpriteSettings("Sprites/missing.png"));
	EXPECT_EQ(emitter.GetSpritesheet(), nullptr);
	EXPECT_NE(emitter.GetParticleProxy(), nullptr);
	EXPECT_TRUE(Impl::gTextureResourcesMap.empty());
}

TEST_F(ParticleEmitterDeathTest, PoolOfLessThanOneParticleStops)
{
	ParticleEmitter::Settings settings;
	settings.MaxSize = 0;
	EXPECT_DEATH(ParticleEmitter emitter(settings), "Cell count cannot be lower than 1\\.");
}
