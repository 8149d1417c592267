#include "rendering/ambientlightworldcomponent.hpp"

#include "ecs/world.hpp"
#include "fixtures/testengine.hpp"

#include <gtest/gtest.h>

using namespace Vorn;
using namespace VornTests;

TEST(AmbientLightWorldComponentTest, DefaultsToWhiteAtFullIntensityAndKeepsWhatIsSet)
{
	AmbientLightWorldComponent ambient;
	EXPECT_EQ(ambient.GetColor(), Color::WHITE);
	EXPECT_EQ(ambient.GetIntensity(), 1.0f);

	ambient.SetColor(Color::BLUE);
	ambient.SetIntensity(0.3f);
	EXPECT_EQ(ambient.GetColor(), Color::BLUE);
	EXPECT_EQ(ambient.GetIntensity(), 0.3f);
}

TEST(AmbientLightWorldComponentTest, EngineGivesEveryWorldAWhiteAmbientLightOfIntensityPointTwo)
{
	TestEngine harness;
	harness.Init();
	const AmbientLightWorldComponent* ambient = harness.GetWorld()->GetWorldComponent<AmbientLightWorldComponent>();
	ASSERT_NE(ambient, nullptr);
	EXPECT_EQ(ambient->GetColor(), Color(1.0f, 1.0f, 1.0f, 1.0f));
	EXPECT_EQ(ambient->GetIntensity(), 0.2f);
}
