#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "math/vector.hpp"
#include "utils/enumutils.hpp"
#include "utils/uniqueid.hpp"

namespace Vorn
{
	class Entity;
	class Physics3DShape;
	class World;

	// Collision groups and masks, as bits: a pair collides when each one's group is in the other's mask. Value 1 is
	// every collider's default group and mask; games name the other bits themselves.
	enum class eCollisionGroup : u32
	{
	};

	struct RaycastResult
	{
		struct Hit
		{
			Entity* HitEntity = nullptr;
			Vector WorldHitNormal;
			Vector WorldHitPoint;
			float HitFraction = 0.0f; // 0 at the ray's start, 1 at its end
		};
		Dynarray<Hit> Hits;
	};

	struct ContactPairResults
	{
		struct Pair
		{
			Entity* FirstEntity = nullptr;
			Entity* SecondEntity = nullptr;
			// The mean of the pair's contact normals, normalised: from the second entity towards the first. Zero when
			// the pair's bounds overlap without contact points.
			Vector Normal;
		};
		Dynarray<Pair> ContactPairs;
	};

	struct ContactResult
	{
		struct Contact
		{
			UniqueID OtherEntity;     // the second entity of the query
			Vector PositionOnFirst;   // world position of the contact point on the first entity
			Vector NormalTowardFirst; // unit normal from the second entity towards the first
			float Distance = 0.0f;    // negative while the two penetrate
		};
		Dynarray<Contact> Contacts;
	};

	namespace Physics3DSystem
	{
		// Engine phase: builds missing Bullet objects, teleports registered bodies and triggers to their entities,
		// pushes changed body properties, steps in fixed steps and writes registered bodies back to their entities.
		void Physics3DUpdatePhase(World* world);

		// Builds the entity's Bullet objects if they are missing; the entity needs a Collider3DComponent.
		void EnsureInit(World* world, Entity* entity);
		// Adds the entity's rigid body (`withRigidbody`) or its trigger object to the Bullet world.
		void RegisterComponent(World* world, Entity* entity, bool withRigidbody);
		void UnregisterComponent(World* world, Entity* entity);
		Vector CalculateInertia(const Physics3DShape* shape, float mass);

		// A registered collider is taken out of the Bullet world and put back, which is how Bullet takes new filters.
		void SetCollisionGroup(World* world, Entity* entity, EnumFlags<eCollisionGroup> group);
		void SetCollisionMask(World* world, Entity* entity, EnumFlags<eCollisionGroup> mask);

		RaycastResult ClosestHitRaycast(World* world, const Vector& from, const Vector& to,
		                                EnumFlags<eCollisionGroup> collisionGroup,
		                                EnumFlags<eCollisionGroup> collisionMask);
		// Every hit, in Bullet's order (not sorted by distance).
		RaycastResult AllHitsRaycast(World* world, const Vector& from, const Vector& to,
		                             EnumFlags<eCollisionGroup> collisionGroup,
		                             EnumFlags<eCollisionGroup> collisionMask);
		// One pair per contact manifold the last step left.
		ContactPairResults GetAllContactPairs(World* world);
		// The contact points between two entities that the last step found, seen from `first`.
		ContactResult ContactPair(World* world, Entity* first, Entity* second);
	} // namespace Physics3DSystem
} // namespace Vorn
