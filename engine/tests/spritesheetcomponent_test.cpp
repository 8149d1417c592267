#include "particles/spritesheetcomponent.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "fixtures/sceneassets.hpp"
#include "fixtures/testengine.hpp"
#include "resources/textureresource.hpp"

#include <gtest/gtest.h>

using namespace Vorn;
using namespace VornTests;

TEST(SpritesheetComponentTest, SettingsDefaultToAFourByFourWhiteSheetFromTheGameAssets)
{
	const SpritesheetSettings settings;
	EXPECT_TRUE(settings.SpritePath.IsEmpty());
	EXPECT_EQ(settings.SpriteSource, eResourceSource::GAME);
	EXPECT_EQ(settings.SubImages, Vector2f(4.0f, 4.0f));
	EXPECT_EQ(settings.SpriteColor, Color::WHITE);
	EXPECT_EQ(settings.StartFrame, 0.0f);
	EXPECT_EQ(settings.Speed, 1.0f);
	EXPECT_FALSE(settings.IsRandomStartFrame);
}

TEST(SpritesheetComponentTest, LoadsItsTextureAsAlbedoFromItsSourceAndReleasesItWithTheWorld)
{
	TestEngine harness;
	harness.Init();
	WriteTestImage(eResourceSource::ENGINE, "Sprites/explosion.ppm");

	SpritesheetSettings settings;
	settings.SpritePath = "Sprites/explosion.ppm";
	settings.SpriteSource = eResourceSource::ENGINE;
	settings.SubImages = Vector2f(8.0f, 2.0f);
	World* world = harness.GetWorld();
	const SpritesheetComponent* sheet =
	    world->AddComponent<SpritesheetComponent>(DeferredTaskSystem::SpawnEntityImmediate(world), settings);

	EXPECT_EQ(sheet->GetSettings().SubImages, Vector2f(8.0f, 2.0f));
	ASSERT_NE(sheet->GetSpritesheet(), nullptr);
	EXPECT_EQ(sheet->GetSpritesheet()->GetRefCount(), 1u);
	ASSERT_EQ(harness.DeviceLog.Textures.size(), 1u);
	EXPECT_EQ(harness.DeviceLog.Textures[0].Usage, eTextureUsageType::ALBEDO);

	harness.DestroyEngine();
	EXPECT_TRUE(Impl::gTextureResourcesMap.empty());
	EXPECT_EQ(harness.DeviceLog.LiveProxies, 0);
}

TEST(SpritesheetComponentTest, MissingTextureLeavesTheSheetWithoutOne)
{
	TestEngine harness;
	harness.Init();
	SpritesheetSettings settings;
	settings.SpritePath = "Sprites/none.png";
	const SpritesheetComponent sheet(settings);
	EXPECT_EQ(sheet.GetSpritesheet(), nullptr);
	EXPECT_TRUE(Impl::gTextureResourcesMap.empty());
}
