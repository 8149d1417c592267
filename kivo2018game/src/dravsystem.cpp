#include "dravsystem.hpp"

#include "debugdrawing/debugdrawablecomponent.hpp"
#include "dravcomponents.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "gamemanagerworldcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "resources/meshresource.hpp"
#include "utils/console.hpp"

using namespace Vorn;

namespace
{
	// The category of automatic debug drawings the shooter's entities belong to.
	constexpr eDebugDrawPreset SHOOTER_DEBUG_PRESET = static_cast<eDebugDrawPreset>(0x8);
	const char* const PLAYER_MODEL = "Models/Drone/OBJ/Drone_00.obj";
	const char* const BULLET_MODEL = "Models/Primitives/Sphere_LowPoly.obj";

	Quaternion RotationAbout(const Vector& axis, float degrees)
	{
		return Quaternion(axis, Angle::FromDegrees(degrees));
	}
} // namespace

void DravSystem::Init(World* world)
{
	gConsole.LogInfo("DravSystem::Init");
	DravWorldComponent* drav = world->AddWorldComponent<DravWorldComponent>();

	Entity* player = SpawnMeshEntity(world, PLAYER_MODEL);
	drav->Player = SafePtr<Entity>(player);
	DravGunComponent* gun = DeferredTaskSystem::AddComponentImmediate<DravGunComponent>(
	    world, player, Vector(0.0f, 0.0f, 0.0f), Dynarray<Quaternion>{Quaternion()}, 0.2f);
	// The first press of the trigger fires at once.
	gun->TimeSinceShot = 1000.0f;
	drav->Entities.PushBack(SafePtr<Entity>(player));

	player->GetTransform().SetGlobalRotation(RotationAbout(Vector::UNIT_Y, -90.0f));
	player->GetTransform().SetGlobalScale(Vector(3.0f, 3.0f, 3.0f));
}

void DravSystem::Cleanup(World* world)
{
	DravWorldComponent* drav = world->GetWorldComponent<DravWorldComponent>();
	for (const SafePtr<Entity>& entity : drav->Entities)
		if (Entity* live = entity.Get())
			DeferredTaskSystem::DestroyEntity(world, live);
	gConsole.LogInfo("DravSystem::Cleanup");
}

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
	world->GetWorldComponent<DravWorldComponent>()->Camera = gameManager->Camera;

	gameManager->PostprocessSettings->Exposure = 3.0f;

	// Looking straight down on the arena from high above.
	camera->GetTransform().SetGlobalTranslation(Vector(-50.0f, 580.0f, 0.0f));
	camera->GetTransform().SetGlobalRotation(RotationAbout(Vector::UNIT_Y, -90.0f) *
	                                         RotationAbout(Vector::UNIT_X, -90.0f));
	world->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, camera->GetComponent<CameraComponent>());

	Entity* light = DeferredTaskSystem::SpawnEntityImmediate(world);
	DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(world, light, Color(1.0f, 1.0f, 0.9f, 1.0f),
	                                                                     5.0f);
	light->GetTransform().SetGlobalRotation(RotationAbout(Vector::UNIT_Y, -45.0f) *
	                                        RotationAbout(Vector::UNIT_X, 65.0f));
	gameManager->GameEntities.PushBack(SafePtr<Entity>(light));
}

Entity* DravSystem::SpawnMeshEntity(World* world, const String& path)
{
	Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
	DeferredTaskSystem::AddComponentImmediate<DebugDrawableComponent>(world, entity, SHOOTER_DEBUG_PRESET);
	DeferredTaskSystem::AddComponentImmediate<MeshRenderingComponent>(world, entity, path, eResourceSource::GAME);
	DeferredTaskSystem::AddComponentImmediate<DravMovementComponent>(world, entity);
	return entity;
}

Entity* DravSystem::SpawnBullet(World* world, DravGunComponent* gun, const Vector& position, const Quaternion& rotation)
{
	Entity* shooter = gun->GetOwner();
	DravWorldComponent* drav = world->GetWorldComponent<DravWorldComponent>();
	const bool isPlayers = drav->Player.Get() == shooter;

	Entity* bullet = DeferredTaskSystem::SpawnEntityImmediate(world);
	DeferredTaskSystem::AddComponentImmediate<DebugDrawableComponent>(world, bullet, SHOOTER_DEBUG_PRESET);
	MeshRenderingComponent* mesh = DeferredTaskSystem::AddComponentImmediate<MeshRenderingComponent>(
	    world, bullet, BULLET_MODEL, eResourceSource::GAME);
	// A model that failed to load has no sub-meshes to colour; the bullet still flies and hits.
	if (mesh->GetMesh() && mesh->GetMesh()->GetSubMeshes().GetSize() > 0)
	{
		const Color emissive = (isPlayers ? Color::BLUE : Color::RED) * 1500.0f;
		mesh->SetMaterial(0, Material(emissive, Color::WHITE, 1.0f, 0.5f, 0.5f));
	}
	DravBulletComponent* state = DeferredTaskSystem::AddComponentImmediate<DravBulletComponent>(world, bullet);
	DeferredTaskSystem::AddComponentImmediate<PointLightComponent>(world, bullet, Color::RED, 1.0f, 10.0f);
	state->Shooter = SafePtr<Entity>(shooter);

	EntityTransform& transform = bullet->GetTransform();
	transform.SetGlobalScale(Vector(3.0f, 3.0f, 3.0f));
	transform.SetGlobalTranslation(position);
	transform.SetGlobalRotation(rotation);

	drav->Entities.PushBack(SafePtr<Entity>(bullet));
	drav->Bullets.PushBack(SafePtr<Entity>(bullet));
	return bullet;
}
