#include "dravcomponents.hpp"
#include "dravsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "input/inputworldcomponent.hpp"
#include "movement/movementsystem.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "time/timesystem.hpp"
#include "utils/console.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr float PLAYER_SPEED = 200.0f;
	constexpr float ARENA_MIN_X = -200.0f;
	constexpr float ARENA_MAX_X = 70.0f;
	constexpr float ARENA_MIN_Z = -300.0f;
	constexpr float ARENA_MAX_Z = 300.0f;

	constexpr float BULLET_RADIUS = 1.0f;
	constexpr float PLAYER_RADIUS = 2.0f;
	constexpr float ENEMY_RADIUS = 15.0f;
	// How much the sideways weave adds to an enemy's forward flight.
	constexpr float WEAVE_AMPLITUDE = 3.0f;

	float GetGameplayDeltaTime(World* world)
	{
		return static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY));
	}

	// Hit tests ignore height: the whole game plays on the X/Z plane.
	bool Touches(const Vector& a, float radiusA, const Vector& b, float radiusB)
	{
		const float dx = a.x - b.x;
		const float dz = a.z - b.z;
		const float reach = radiusA + radiusB;
		return dx * dx + dz * dz < reach * reach;
	}

	// Keeps the order of the survivors: the collision rules walk enemies in spawn order.
	void DropDestroyed(Dynarray<SafePtr<Entity>>& handles)
	{
		u64 kept = 0;
		for (u64 i = 0; i < handles.GetSize(); ++i)
		{
			if (!handles[i])
				continue;
			if (kept != i)
				handles[kept] = handles[i];
			++kept;
		}
		handles.Resize(kept);
	}

	struct LiveBullet
	{
		Entity* Owner;
		DravBulletComponent* State;
		Vector Position;
	};
} // namespace

void DravSystem::PlayerControlPhase(World* world)
{
	DravWorldComponent* drav = world->GetWorldComponent<DravWorldComponent>();
	Entity* player = drav ? drav->Player.Get() : nullptr;
	if (!player)
		return;
	const InputWorldComponent* input = world->GetWorldComponent<InputWorldComponent>();

	// Opposite keys do not cancel out: forward wins over back, left over right.
	Vector direction(0.0f, 0.0f, 0.0f);
	if (input->IsPressed(eKey::W))
		direction += Vector::UNIT_X;
	else if (input->IsPressed(eKey::S))
		direction -= Vector::UNIT_X;
	if (input->IsPressed(eKey::A))
		direction -= Vector::UNIT_Z;
	else if (input->IsPressed(eKey::D))
		direction += Vector::UNIT_Z;

	if (direction.LengthSquared() > 0.0f)
	{
		EntityTransform& transform = player->GetTransform();
		Vector position =
		    transform.GetGlobalTranslation() + direction.GetNormalized() * GetGameplayDeltaTime(world) * PLAYER_SPEED;
		position.x = std::clamp(position.x, ARENA_MIN_X, ARENA_MAX_X);
		position.z = std::clamp(position.z, ARENA_MIN_Z, ARENA_MAX_Z);
		transform.SetGlobalTranslation(position);
	}

	if (input->IsPressed(eKey::SPACE))
		if (DravGunComponent* gun = player->GetComponent<DravGunComponent>())
			gun->Fire = true;
}

void DravSystem::CollisionPhase(World* world)
{
	DravWorldComponent* drav = world->GetWorldComponent<DravWorldComponent>();
	if (!drav)
		return;

	// Entities destroyed last frame are gone now; forgetting them keeps every walk below proportional to what
	// is alive.
	DropDestroyed(drav->Enemies);
	DropDestroyed(drav->Bullets);
	DropDestroyed(drav->Entities);

	Entity* player = drav->Player.Get();
	const Vector playerPosition = player ? player->GetTransform().GetGlobalTranslation() : Vector();

	// Destruction waits for the deferred-task phase, so nothing moves or disappears during this phase and the
	// positions can be read once.
	std::vector<LiveBullet> playerBullets;
	std::vector<LiveBullet> enemyBullets;
	for (const SafePtr<Entity>& handle : drav->Bullets)
	{
		Entity* bullet = handle.Get();
		DravBulletComponent* state = bullet->GetComponent<DravBulletComponent>();
		const LiveBullet live = {bullet, state, bullet->GetTransform().GetGlobalTranslation()};
		if (state->Shooter == drav->Player)
			playerBullets.push_back(live);
		else
			enemyBullets.push_back(live);
	}

	for (const SafePtr<Entity>& handle : drav->Enemies)
	{
		Entity* enemy = handle.Get();
		DravEnemyComponent* state = enemy->GetComponent<DravEnemyComponent>();
		const Vector enemyPosition = enemy->GetTransform().GetGlobalTranslation();
		for (const LiveBullet& bullet : playerBullets)
		{
			if (!Touches(bullet.Position, BULLET_RADIUS, enemyPosition, ENEMY_RADIUS))
				continue;
			// Assigned, not added: several bullets in one frame hurt no more than one.
			state->DamageTaken = bullet.State->Damage;
			DeferredTaskSystem::DestroyEntity(world, bullet.Owner);
			bullet.State->Hit = true;
		}
		if (player && Touches(playerPosition, PLAYER_RADIUS, enemyPosition, ENEMY_RADIUS))
		{
			drav->PlayerHealth -= state->ContactDamage;
			DeferredTaskSystem::DestroyEntity(world, enemy);
		}
	}

	if (player)
	{
		for (const LiveBullet& bullet : enemyBullets)
		{
			if (!Touches(bullet.Position, BULLET_RADIUS, playerPosition, PLAYER_RADIUS))
				continue;
			drav->PlayerHealth -= bullet.State->Damage;
			DeferredTaskSystem::DestroyEntity(world, bullet.Owner);
			bullet.State->Hit = true;
		}
	}

	if (drav->PlayerHealth <= 0.0f)
	{
		gConsole.LogInfo("PlayerDead");
		TimeSystem::SetTimerMultiplier(world, eEngineTimer::SYSTEM, 0.1);
		if (Entity* camera = drav->Camera.Get())
			if (PostprocessSettingsComponent* settings = camera->GetComponent<PostprocessSettingsComponent>())
				settings->Exposure -= 0.1f;
	}
}

void DravSystem::GunPhase(World* world)
{
	const float deltaTime = GetGameplayDeltaTime(world);
	for (auto [gun] : world->IterateComponents<DravGunComponent>())
	{
		gun->TimeSinceShot += deltaTime;
		if (gun->Fire && gun->TimeSinceShot >= gun->FireInterval)
		{
			const EntityTransform& transform = gun->GetTransform();
			const Vector muzzle = transform.GetGlobalTranslation() + gun->Offset;
			for (const Quaternion& direction : gun->Directions)
				SpawnBullet(world, gun, muzzle, transform.GetGlobalRotation() * direction);
			gun->TimeSinceShot = 0.0f;
		}
		gun->Fire = false;
	}
}

void DravSystem::BulletPhase(World* world)
{
	const float deltaTime = GetGameplayDeltaTime(world);
	for (auto [bullet] : world->IterateComponents<DravBulletComponent>())
	{
		EntityTransform& transform = bullet->GetTransform();
		transform.SetGlobalTranslation(transform.GetGlobalTranslation() +
		                               MovementSystem::GetGlobalForward(transform) * deltaTime * bullet->Speed);
		bullet->Age += deltaTime;
		if (bullet->Age >= bullet->Lifetime)
			DeferredTaskSystem::DestroyEntity(world, bullet->GetOwner());
	}
}

void DravSystem::EnemyPhase(World* world)
{
	const float deltaTime = GetGameplayDeltaTime(world);
	const double gameplayTime = world->GetWorldComponent<TimeWorldComponent>()->GetGameplayTime();
	for (auto [enemy] : world->IterateComponents<DravEnemyComponent>())
	{
		EntityTransform& transform = enemy->GetTransform();
		Vector velocity = MovementSystem::GetGlobalForward(transform);
		if (Kivo::GetEnemyTypeInfo(enemy->Type).Weaves)
		{
			const float weave = static_cast<float>(std::sin(gameplayTime + enemy->Phase));
			velocity += MovementSystem::GetGlobalRight(transform) * weave * WEAVE_AMPLITUDE;
		}
		transform.SetGlobalTranslation(transform.GetGlobalTranslation() + velocity * deltaTime * enemy->Speed);

		// Enemies shoot whenever their gun is ready.
		if (DravGunComponent* gun = enemy->GetOwner()->GetComponent<DravGunComponent>())
			gun->Fire = true;

		enemy->Health -= enemy->DamageTaken;
		enemy->DamageTaken = 0.0f;
		if (enemy->Health <= 0.0f)
			DeferredTaskSystem::DestroyEntity(world, enemy->GetOwner());
	}
}
