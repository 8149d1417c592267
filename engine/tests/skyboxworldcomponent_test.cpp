#include "rendering/skyboxworldcomponent.hpp"

#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "fixtures/sceneassets.hpp"
#include "fixtures/testengine.hpp"
#include "resources/textureresource.hpp"

#include <gtest/gtest.h>

using namespace Vorn;
using namespace VornTests;

namespace
{
	class SkyboxWorldComponentTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Harness.Init();
			WriteTestPanorama(eResourceSource::GAME, "HDR/Sky.hdr");
		}

		TestEngine Harness;
	};
} // namespace

TEST_F(SkyboxWorldComponentTest, LoadsThePanoramaAsAThreeChannelHDRTextureAndLogsItsPath)
{
	ConsoleCapture console;
	SkyboxWorldComponent* sky =
	    Harness.GetWorld()->AddWorldComponent<SkyboxWorldComponent>("HDR/Sky.hdr", eResourceSource::GAME);

	ASSERT_NE(sky->GetPanorama(), nullptr);
	EXPECT_EQ(sky->GetPanorama()->GetPath(), String("HDR/Sky.hdr"));
	ASSERT_EQ(Harness.DeviceLog.Textures.size(), 1u);
	EXPECT_EQ(Harness.DeviceLog.Textures[0].Usage, eTextureUsageType::HDR);
	EXPECT_EQ(Harness.DeviceLog.Textures[0].Channels, 3u);
	EXPECT_EQ(Harness.DeviceLog.Textures[0].SetContentHDRCalls, 1);
	EXPECT_TRUE(console.Contains("[INFO] SkyboxWorldComponent::SkyboxWorldComponent panoramaPath: HDR/Sky.hdr\n"));

	EXPECT_EQ(sky->GetTint(), Color::WHITE);
	sky->SetTint(Color::WHITE * 0.1f);
	EXPECT_EQ(sky->GetTint(), Color::WHITE * 0.1f);
}

TEST_F(SkyboxWorldComponentTest, PanoramaIsReleasedWithTheWorld)
{
	Harness.GetWorld()->AddWorldComponent<SkyboxWorldComponent>("HDR/Sky.hdr", eResourceSource::GAME);
	ASSERT_EQ(Impl::gTextureResourcesMap.size(), 1u);
	Harness.DestroyEngine();
	EXPECT_TRUE(Impl::gTextureResourcesMap.empty());
	EXPECT_EQ(Harness.DeviceLog.LiveProxies, 0);
}

TEST_F(SkyboxWorldComponentTest, MissingPanoramaLeavesTheSkyWithoutOneAndStillLogsThePath)
{
	ConsoleCapture console;
	const SkyboxWorldComponent sky("HDR/Missing.hdr", eResourceSource::GAME);
	EXPECT_EQ(sky.GetPanorama(), nullptr);
	EXPECT_TRUE(Impl::gTextureResourcesMap.empty());
	EXPECT_TRUE(console.Contains("[INFO] SkyboxWorldComponent::SkyboxWorldComponent panoramaPath: HDR/Missing.hdr\n"));
}
