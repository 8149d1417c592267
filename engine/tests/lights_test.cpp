#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/lights/spotlightcomponent.hpp"

#include <gtest/gtest.h>

using namespace Vorn;

TEST(LightsTest, DefaultsAreWhiteUnitIntensityRangeTenAndSpotConeOf12And17Degrees)
{
	const DirectionalLightComponent directional;
	EXPECT_EQ(directional.GetColor(), Color::WHITE);
	EXPECT_EQ(directional.GetIntensity(), 1.0f);

	const PointLightComponent point;
	EXPECT_EQ(point.GetColor(), Color::WHITE);
	EXPECT_EQ(point.GetIntensity(), 1.0f);
	EXPECT_EQ(point.GetRange(), 10.0f);

	const SpotLightComponent spot;
	EXPECT_EQ(spot.GetColor(), Color::WHITE);
	EXPECT_EQ(spot.GetIntensity(), 1.0f);
	EXPECT_EQ(spot.GetRange(), 10.0f);
	EXPECT_EQ(spot.GetCutOff(), 12.0f);
	EXPECT_EQ(spot.GetOuterCutOff(), 17.0f);
}

TEST(LightsTest, ArgumentsLandInTheirOwnFields)
{
	const Color warm(1.0f, 1.0f, 0.9f, 1.0f);
	const DirectionalLightComponent directional(warm, 5.0f);
	EXPECT_EQ(directional.GetColor(), warm);
	EXPECT_EQ(directional.GetIntensity(), 5.0f);

	PointLightComponent point(Color::RED, 2.0f, 30.0f);
	EXPECT_EQ(point.GetColor(), Color::RED);
	EXPECT_EQ(point.GetIntensity(), 2.0f);
	EXPECT_EQ(point.GetRange(), 30.0f);
	point.SetIntensity(0.5f);
	point.SetRange(4.0f);
	EXPECT_EQ(point.GetIntensity(), 0.5f);
	EXPECT_EQ(point.GetRange(), 4.0f);

	SpotLightComponent spot(Color::BLUE, 3.0f, 20.0f, 25.0f, 40.0f);
	EXPECT_EQ(spot.GetColor(), Color::BLUE);
	EXPECT_EQ(spot.GetIntensity(), 3.0f);
	EXPECT_EQ(spot.GetRange(), 20.0f);
	EXPECT_EQ(spot.GetCutOff(), 25.0f);
	EXPECT_EQ(spot.GetOuterCutOff(), 40.0f);
	spot.SetCutOff(5.0f);
	spot.SetOuterCutOff(6.0f);
	EXPECT_EQ(spot.GetCutOff(), 5.0f);
	EXPECT_EQ(spot.GetOuterCutOff(), 6.0f);
}

TEST(LightsTest, EachLightKindIsItsOwnComponentTypeOnOneEntity)
{
	World world;
	Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(&world);
	world.AddComponent<DirectionalLightComponent>(entity, Color::RED, 2.0f);
	world.AddComponent<PointLightComponent>(entity, Color::GREEN, 3.0f);
	world.AddComponent<SpotLightComponent>(entity, Color::BLUE, 4.0f);

	EXPECT_EQ(entity->GetComponent<DirectionalLightComponent>()->GetIntensity(), 2.0f);
	EXPECT_EQ(entity->GetComponent<PointLightComponent>()->GetIntensity(), 3.0f);
	EXPECT_EQ(entity->GetComponent<SpotLightComponent>()->GetIntensity(), 4.0f);
}
