#pragma once

#include "collections/dynarray.hpp"
#include "ecs/componentbase.hpp"
#include "ecs/entity.hpp"
#include "enemytype.hpp"
#include "math/quaternion.hpp"
#include "math/vector.hpp"
#include "memory/safeptr.hpp"

#include <utility>

// The shooter's state in the world. The handle lists hold only live entities as of the start of the frame's
// collision phase; handles of destroyed entities are dropped there, so walking them costs what is alive.
class DravWorldComponent : public Vorn::ComponentBase
{
public:
	Vorn::SafePtr<Vorn::Entity> Camera;
	Vorn::SafePtr<Vorn::Entity> Player;
	float PlayerHealth = 300.0f;
	Vorn::Dynarray<Vorn::SafePtr<Vorn::Entity>> Enemies;
	// Everything the mini-game spawned; destroyed by DravSystem::Cleanup.
	Vorn::Dynarray<Vorn::SafePtr<Vorn::Entity>> Entities;
	Vorn::Dynarray<Vorn::SafePtr<Vorn::Entity>> Bullets;
};

// Fires one bullet per direction whenever Fire is requested and FireInterval has passed since the last shot.
class DravGunComponent : public Vorn::ComponentBase
{
public:
	DravGunComponent(const Vorn::Vector& offset, Vorn::Dynarray<Vorn::Quaternion> directions, float fireInterval)
	    : FireInterval(fireInterval), Offset(offset), Directions(std::move(directions))
	{
	}

	float FireInterval;
	float TimeSinceShot = 0.0f;
	// A request for this frame only; the gun phase clears it.
	bool Fire = false;
	// From the owner's global translation, not rotated with it.
	Vorn::Vector Offset;
	// Relative to the owner's global rotation.
	Vorn::Dynarray<Vorn::Quaternion> Directions;
};

class DravBulletComponent : public Vorn::ComponentBase
{
public:
	float Speed = 300.0f;
	float Age = 0.0f;
	float Lifetime = 2.0f;
	float Damage = 120.0f;
	bool Hit = false;
	Vorn::SafePtr<Vorn::Entity> Shooter;
};

class DravEnemyComponent : public Vorn::ComponentBase
{
public:
	DravEnemyComponent(Kivo::EnemyType type, float speed, float health, float phase)
	    : Speed(speed), MaxHealth(health), Phase(phase), Health(health), Type(type)
	{
	}

	float Speed;
	float MaxHealth;
	float ContactDamage = 15.0f;
	// Offsets the sideways weave so enemies of one wave do not move in lockstep with other waves.
	float Phase;
	float Health;
	// Collected by the collision phase, applied by the enemy phase.
	float DamageTaken = 0.0f;
	bool WasHit = false;
	Kivo::EnemyType Type;
};

// Every drone carries one; the shooter's phases move drones directly and do not read it.
class DravMovementComponent : public Vorn::ComponentBase
{
public:
	DravMovementComponent() = default;

	float GetSpeed() const { return Speed; }
	void SetSpeed(float speed) { Speed = speed; }
	float GetDrag() const { return Drag; }
	const Vorn::Vector& GetMoveVector() const { return MoveVector; }

private:
	float Speed = 0.0f;
	float Drag = 0.0f;
	Vorn::Vector MoveVector;
};
