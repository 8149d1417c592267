#include "dravsystem.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "gamemanagerworldcomponent.hpp"
#include "math/quaternion.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "utils/console.hpp"

using namespace Vorn;

void DravSystem::CreateCamera(World* world)
{
	gConsole.LogInfo("DravSystem::CreateCamera");
	GameManagerWorldComponent* gameManager = world->GetWorldComponent<GameManagerWorldComponent>();

	if (!gameManager->Camera)
	{
		Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
		DeferredTaskSystem::AddComponentImmediate<CameraComponent>(world, entity, Angle::FromDegrees(35.0f), 1.0f,
		                                                           5000.0f);
		gameManager->PostprocessSettings =
		    DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(world, entity);
		gameManager->Camera = SafePtr<Entity>(entity);
	}
	Entity* camera = gameManager->Camera.Get();

	gameManager->PostprocessSettings->Exposure = 3.0f;

	// Looking straight down on the arena from high above.
	camera->GetTransform().SetGlobalTranslation(Vector(-50.0f, 580.0f, 0.0f));
	camera->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-90.0f)) *
	                                         Quaternion(Vector::UNIT_X, Angle::FromDegrees(-90.0f)));
	world->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, camera->GetComponent<CameraComponent>());

	Entity* light = DeferredTaskSystem::SpawnEntityImmediate(world);
	DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(world, light, Color(1.0f, 1.0f, 0.9f, 1.0f),
	                                                                     5.0f);
	light->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-45.0f)) *
	                                        Quaternion(Vector::UNIT_X, Angle::FromDegrees(65.0f)));
	gameManager->GameEntities.PushBack(SafePtr<Entity>(light));
}
