#include "particles/particlecomponent.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "fixtures/sceneassets.hpp"
#include "fixtures/testengine.hpp"
#include "resources/textureresource.hpp"

#include <gtest/gtest.h>

using namespace Vorn;
using namespace VornTests;

TEST(ParticleComponentTest, OwnsAnEmitterBuiltFromTheSettingsAndDestroysItWithTheWorld)
{
	TestEngine harness;
	harness.Init();
	WriteTestImage(eResourceSource::GAME, "Sprites/smoke.ppm");
	const int proxiesBefore = harness.DeviceLog.LiveProxies;

	ParticleEmitter::Settings settings;
	settings.MaxSize = 7;
	settings.Spritesheet.SpritePath = "Sprites/smoke.ppm";
	World* world = harness.GetWorld();
	ParticleComponent* component =
	    world->AddComponent<ParticleComponent>(DeferredTaskSystem::SpawnEntityImmediate(world), settings);
	ASSERT_NE(component->GetEmitter(), nullptr);
	EXPECT_EQ(component->GetEmitter()->GetSettings().MaxSize, 7);
	EXPECT_NE(component->GetEmitter()->GetSpritesheet(), nullptr);
	EXPECT_EQ(harness.DeviceLog.LiveProxies, proxiesBefore + 2);

	harness.DestroyEngine();
	EXPECT_TRUE(Impl::gTextureResourcesMap.empty());
	EXPECT_EQ(harness.DeviceLog.LiveProxies, 0);
}
