#include "dravcomponents.hpp"
#include "dravsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "resources/meshresource.hpp"
#include "spawnworldcomponent.hpp"
#include "time/timesystem.hpp"

using namespace Vorn;

namespace
{
	const char* const ENEMY_MODEL = "Models/Drone/OBJ/Drone_00.obj";

	// A spreader's fan: two bullets straight ahead, then three to each side.
	Dynarray<Quaternion> MakeSpreadDirections()
	{
		Dynarray<Quaternion> directions;
		directions.PushBack(Quaternion());
		for (float degrees : {30.0f, 45.0f, 15.0f, 0.0f, -15.0f, -45.0f, -30.0f})
			directions.PushBack(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(degrees)));
		return directions;
	}

	void SpawnEnemy(World* world, Kivo::EnemyType type, const Vector& position, float phase)
	{
		const Kivo::EnemyTypeInfo& info = Kivo::GetEnemyTypeInfo(type);
		Entity* enemy = DravSystem::SpawnMeshEntity(world, ENEMY_MODEL);

		EntityTransform& transform = enemy->GetTransform();
		transform.SetGlobalTranslation(position);
		transform.SetGlobalScale(Vector(info.Scale, info.Scale, info.Scale));
		// Facing the player's side of the arena.
		transform.SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(90.0f)));

		MeshRenderingComponent* mesh = enemy->GetComponent<MeshRenderingComponent>();
		if (const MeshResource* model = mesh->GetMesh())
			for (u64 i = 0; i < model->GetSubMeshes().GetSize(); ++i)
				mesh->SetMaterial(i, Material(Color::GREEN * 1500.0f, Color::GREEN * 2.1f, 0.5f, 0.5f, 0.5f));

		DravWorldComponent* drav = world->GetWorldComponent<DravWorldComponent>();
		drav->Entities.PushBack(SafePtr<Entity>(enemy));
		drav->Enemies.PushBack(SafePtr<Entity>(enemy));

		DeferredTaskSystem::AddComponentImmediate<DravEnemyComponent>(world, enemy, type, 20.0f, 100.0f, phase);
		if (info.GunDirections == 1)
			DeferredTaskSystem::AddComponentImmediate<DravGunComponent>(
			    world, enemy, Vector(0.0f, 0.0f, 0.0f), Dynarray<Quaternion>{Quaternion()}, info.FireInterval);
		else if (info.GunDirections > 1)
			DeferredTaskSystem::AddComponentImmediate<DravGunComponent>(world, enemy, Vector(0.0f, 0.0f, 0.0f),
			                                                            MakeSpreadDirections(), info.FireInterval);
	}
} // namespace

void DravSystem::SpawnPhase(World* world)
{
	SpawnWorldComponent* spawn = world->GetWorldComponent<SpawnWorldComponent>();
	if (!spawn)
		return;
	spawn->WaveTimer += static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY));
	// At most one wave per frame, however long the frame was.
	if (spawn->NextWaveDelay <= spawn->WaveTimer)
	{
		spawn->WaveTimer = 0.0f;
		SpawnNextWave(world);
	}
}

void DravSystem::SpawnNextWave(World* world)
{
	SpawnWorldComponent* spawn = world->GetWorldComponent<SpawnWorldComponent>();
	spawn->CurrentWave += 1;
	if (static_cast<u64>(spawn->CurrentWave) >= spawn->Waves.GetSize())
		return;

	const float phase = static_cast<float>(world->GetWorldComponent<TimeWorldComponent>()->GetGameplayTime());
	const Kivo::SpawnWave& wave = spawn->Waves[static_cast<u64>(spawn->CurrentWave)];
	for (u64 k = 0; k < wave.Positions.GetSize(); ++k)
		if (wave.EnemyTypes[k] != Kivo::EnemyType::EMPTY)
			SpawnEnemy(world, wave.EnemyTypes[k], wave.Positions[k] + wave.Offset, phase);
	spawn->NextWaveDelay = wave.Delay;
}
