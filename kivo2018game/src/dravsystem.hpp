#pragma once

#include "math/quaternion.hpp"
#include "math/vector.hpp"
#include "utils/string.hpp"

namespace Vorn
{
	class Entity;
	class World;
} // namespace Vorn

class DravGunComponent;

// The top-down shooter: the player's drone, guns, bullets, enemies and their waves.
namespace DravSystem
{
	// Adds the shooter's world component and the player's drone.
	void Init(Vorn::World* world);
	// Schedules the destruction of everything the shooter spawned that still exists.
	void Cleanup(Vorn::World* world);
	// The top-down camera with its postprocess settings, shown in viewport 0, and the scene's sun. Reuses the
	// camera entity when one exists already.
	void CreateCamera(Vorn::World* world);

	// Game update phases, registered in this order.
	void PlayerControlPhase(Vorn::World* world);
	void CollisionPhase(Vorn::World* world);
	void GunPhase(Vorn::World* world);
	void BulletPhase(Vorn::World* world);
	void SpawnPhase(Vorn::World* world);
	void EnemyPhase(Vorn::World* world);

	// A drone-like entity: the model at `path` under the game assets, marked for debug drawing.
	Vorn::Entity* SpawnMeshEntity(Vorn::World* world, const Vorn::String& path);
	// One bullet of `gun`, flying along the forward direction of `rotation`.
	Vorn::Entity* SpawnBullet(Vorn::World* world, DravGunComponent* gun, const Vorn::Vector& position,
	                          const Vorn::Quaternion& rotation);
	// The next wave of the spawn list; does nothing once the list is used up.
	void SpawnNextWave(Vorn::World* world);
} // namespace DravSystem
