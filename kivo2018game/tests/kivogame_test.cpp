#include "debugdrawing/debugdrawablecomponent.hpp"
#include "gamemanagerworldcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "support/kivogametest.hpp"

#include <sstream>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
	// Every entry must be a whole line of `text`, in the given order; other lines may come between them.
	testing::AssertionResult HasLinesInOrder(const std::string& text, const std::vector<std::string>& expected)
	{
		std::istringstream lines(text);
		std::string line;
		for (const std::string& wanted : expected)
		{
			while (std::getline(lines, line) && line != wanted)
			{
			}
			if (line != wanted)
				return testing::AssertionFailure() << "missing \"" << wanted << "\" in order in:\n" << text;
		}
		return testing::AssertionSuccess();
	}
} // namespace

using KivoGameLifecycleTest = KivoGameTest;

TEST_F(KivoGameLifecycleTest, InitAndShutdownLogTheirStepsInOrder)
{
	EXPECT_TRUE(HasLinesInOrder(Console.GetText(),
	                            {"[INFO] KivoGame::InitCommon", "[INFO] KivoGame::Init register update phases",
	                             "[INFO] DravSystem::Init", "[INFO] DravSystem::CreateCamera"}));
	Console.Clear();
	ShutDown();
	EXPECT_TRUE(HasLinesInOrder(Console.GetText(), {"[INFO] GameManagerSystem::Deinit", "[INFO] DravSystem::Cleanup"}));
}

TEST_F(KivoGameLifecycleTest, InitAddsTheGamesWorldComponents)
{
	World* world = GetWorld();
	const SkyboxWorldComponent* sky = world->GetWorldComponent<SkyboxWorldComponent>();
	ASSERT_NE(sky, nullptr);
	EXPECT_EQ(sky->GetTint(), Color::WHITE * 0.1f);
	EXPECT_NE(sky->GetPanorama(), nullptr) << "the generated sky panorama should load";
	EXPECT_NE(world->GetWorldComponent<GameManagerWorldComponent>(), nullptr);
	EXPECT_NE(world->GetWorldComponent<DravWorldComponent>(), nullptr);
	ASSERT_NE(world->GetWorldComponent<SpawnWorldComponent>(), nullptr);
	EXPECT_EQ(GetSpawn()->Waves.GetSize(), 25u);
}

TEST_F(KivoGameLifecycleTest, CameraLooksDownOnTheArenaFromViewportZero)
{
	const GameManagerWorldComponent* gameManager = GetWorld()->GetWorldComponent<GameManagerWorldComponent>();
	Entity* camera = gameManager->Camera.Get();
	ASSERT_NE(camera, nullptr);
	EXPECT_EQ(GetDrav()->Camera, gameManager->Camera);

	CameraComponent* component = camera->GetComponent<CameraComponent>();
	ASSERT_NE(component, nullptr);
	EXPECT_NEAR(component->GetFOV().AsDegrees(), 35.0f, 1e-4f);
	EXPECT_EQ(component->GetClippingPlaneNear(), 1.0f);
	EXPECT_EQ(component->GetClippingPlaneFar(), 5000.0f);
	EXPECT_EQ(GetWorld()->GetWorldComponent<ViewportWorldComponent>()->GetViewports().at(0).GetCamera(), component);

	EXPECT_EQ(gameManager->PostprocessSettings, camera->GetComponent<PostprocessSettingsComponent>());
	EXPECT_EQ(gameManager->PostprocessSettings->Exposure, 3.0f);
	EXPECT_EQ(camera->GetTransform().GetGlobalTranslation(), Vector(-50.0f, 580.0f, 0.0f));
	// Top-down: the camera looks along -Y, and the player's forward (+X) is up on the screen.
	const Quaternion rotation = camera->GetTransform().GetGlobalRotation();
	EXPECT_EQ(rotation * Vector(0.0f, 0.0f, -1.0f), Vector(0.0f, -1.0f, 0.0f));
	EXPECT_EQ(rotation * Vector(0.0f, 1.0f, 0.0f), Vector(1.0f, 0.0f, 0.0f));
}

TEST_F(KivoGameLifecycleTest, PlayerStartsAtTheOriginFacingTheEnemiesWithALoadedGun)
{
	Entity* player = GetPlayer();
	ASSERT_NE(player, nullptr);
	EXPECT_EQ(GetDrav()->PlayerHealth, 300.0f);
	EXPECT_EQ(player->GetTransform().GetGlobalTranslation(), Vector(0.0f, 0.0f, 0.0f));
	EXPECT_EQ(player->GetTransform().GetGlobalScale(), Vector(3.0f, 3.0f, 3.0f));
	EXPECT_EQ(player->GetTransform().GetGlobalRotation() * Vector(0.0f, 0.0f, -1.0f), Vector(1.0f, 0.0f, 0.0f));
	EXPECT_NE(player->GetComponent<MeshRenderingComponent>()->GetMesh(), nullptr);
	EXPECT_NE(player->GetComponent<DravMovementComponent>(), nullptr);
	ASSERT_NE(player->GetComponent<DebugDrawableComponent>(), nullptr);
	EXPECT_EQ(player->GetComponent<DebugDrawableComponent>()->Presets.GetMask(), 0x8u);

	const DravGunComponent* gun = player->GetComponent<DravGunComponent>();
	ASSERT_NE(gun, nullptr);
	EXPECT_EQ(gun->FireInterval, 0.2f);
	EXPECT_EQ(gun->TimeSinceShot, 1000.0f);
	ASSERT_EQ(gun->Directions.GetSize(), 1u);
	EXPECT_EQ(GetDrav()->Entities.GetSize(), 1u);
}

TEST_F(KivoGameLifecycleTest, DeinitDestroysTheLightAndTheShooterButLeavesTheCamera)
{
	const GameManagerWorldComponent* gameManager = GetWorld()->GetWorldComponent<GameManagerWorldComponent>();
	ASSERT_EQ(gameManager->GameEntities.GetSize(), 1u);
	const SafePtr<Entity> light = gameManager->GameEntities[0];
	ASSERT_NE(light.Get(), nullptr);
	ASSERT_NE(light->GetComponent<DirectionalLightComponent>(), nullptr);
	EXPECT_EQ(light->GetComponent<DirectionalLightComponent>()->GetIntensity(), 5.0f);
	const SafePtr<Entity> player = GetDrav()->Player;
	const SafePtr<Entity> camera = gameManager->Camera;

	// The engine calls Deinit at shutdown; called here, the scheduled destructions can be watched in a frame.
	GetGame()->Deinit();
	RunFrame();

	EXPECT_EQ(light.Get(), nullptr);
	EXPECT_EQ(player.Get(), nullptr);
	EXPECT_NE(camera.Get(), nullptr);
}
