#pragma once

// Bullet's side of the 3D physics. Only engine sources include this header: the public ones name these records
// without their definitions, so a game never needs Bullet's headers.

#include "math/quaternion.hpp"
#include "math/vector.hpp"

#include <btBulletCollisionCommon.h>
#include <btBulletDynamicsCommon.h>

#include <memory>

namespace Vorn
{
	struct Physics3DWorldData
	{
		// Members go in reverse order: the dynamics world first, then what it uses.
		std::unique_ptr<btDefaultCollisionConfiguration> Configuration;
		std::unique_ptr<btCollisionDispatcher> Dispatcher;
		std::unique_ptr<btDbvtBroadphase> Broadphase;
		std::unique_ptr<btSequentialImpulseConstraintSolver> Solver;
		std::unique_ptr<btDiscreteDynamicsWorld> DynamicsWorld;
	};

	struct Physics3DShapeImpl
	{
		// The triangles a static mesh shape refers to; null for other shapes. Declared first so it goes last.
		std::shared_ptr<btTriangleMesh> TriangleMesh;
		// Shared by a shape, its copies and the colliders given it.
		std::shared_ptr<btCollisionShape> Shape;
	};

	struct Physics3DStaticMeshSourceImpl
	{
		std::shared_ptr<btTriangleMesh> TriangleMesh;
	};

	struct Rigidbody3DImpl
	{
		// Keeps the body's shape alive whichever component goes first; declared first so it goes last.
		std::shared_ptr<btCollisionShape> Shape;
		std::unique_ptr<btDefaultMotionState> MotionState;
		std::unique_ptr<btRigidBody> RigidBody;

		// The local values the last write-back gave the entity under an unmoved root: an entity holding exactly
		// these was not touched since, and its body need not be teleported.
		bool HasWrittenState = false;
		Vector WrittenTranslation;
		Quaternion WrittenRotation;
	};

	struct Trigger3DImpl
	{
		std::shared_ptr<btCollisionShape> Shape;
		// The collider's own object when it is a trigger; null when the owner's rigid body stands for it.
		std::unique_ptr<btCollisionObject> OwnObject;
		// What represents the collider in Bullet: OwnObject, or the owner's rigid body.
		btCollisionObject* CollisionObject = nullptr;
	};

	inline btVector3 ToBullet(const Vector& vector) { return btVector3(vector.x, vector.y, vector.z); }
	inline Vector FromBullet(const btVector3& vector) { return Vector(vector.x(), vector.y(), vector.z(), 1.0f); }
} // namespace Vorn
