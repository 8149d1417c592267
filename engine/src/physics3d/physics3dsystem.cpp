#include "physics3d/physics3dsystem.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "math/quaternion.hpp"
#include "physics3d/collider3dcomponent.hpp"
#include "physics3d/physics3dimpl.hpp"
#include "physics3d/physics3dworldcomponent.hpp"
#include "physics3d/rigidbody3dcomponent.hpp"
#include "time/timesystem.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <cmath>

namespace Vorn
{
	namespace
	{
		constexpr float ZERO_MASS = 0.0001f;

		btDiscreteDynamicsWorld& GetDynamicsWorld(World* world)
		{
			return *world->GetWorldComponent<Physics3DWorldComponent>()->GetImplData().DynamicsWorld;
		}

		void CheckEntity(const Entity* entity)
		{
			VORN_CHECK(entity != nullptr, "Invalid entity - entity with that ID does not exist!");
		}

		bool IsFinite(const Vector& vector)
		{
			return std::isfinite(vector.x) && std::isfinite(vector.y) && std::isfinite(vector.z);
		}

		bool IsFinite(const Quaternion& rotation)
		{
			return std::isfinite(rotation.x) && std::isfinite(rotation.y) && std::isfinite(rotation.z) &&
			       std::isfinite(rotation.w);
		}

		// The entity's global placement as a Bullet transform; false, with an ERROR naming the entity, when it is not
		// finite (the Bullet object then keeps its last one).
		bool GetEntityTransform(const Entity* entity, bool isRootAligned, btTransform& transform)
		{
			const EntityTransform& entityTransform = entity->GetTransform();
			const Vector& translation =
			    isRootAligned ? entityTransform.GetLocalTranslation() : entityTransform.GetGlobalTranslation();
			const Quaternion& rotation =
			    isRootAligned ? entityTransform.GetLocalRotation() : entityTransform.GetGlobalRotation();
			if (!IsFinite(translation) || !IsFinite(rotation))
			{
				gConsole.LogError("Physics3D: entity {} has a non-finite transform; its Bullet object keeps its last "
				                  "valid one",
				                  entity->GetID().ToString());
				return false;
			}
			transform.setOrigin(ToBullet(translation));
			transform.setRotation(btQuaternion(rotation.x, rotation.y, rotation.z, rotation.w));
			return true;
		}

		// Bullet takes a body's properties only through these calls, in this order.
		void PushTemplate(btRigidBody& body, Rigidbody3DComponentTemplate& bodyTemplate)
		{
			body.setMassProps(bodyTemplate.Mass, ToBullet(bodyTemplate.Inertia.Value()));
			body.setGravity(ToBullet(bodyTemplate.Gravity.Value()));
			body.setRestitution(bodyTemplate.Restitution);
			body.setFriction(bodyTemplate.Friction);
			body.setRollingFriction(bodyTemplate.RollingFriction);
			body.setDamping(bodyTemplate.LinearDamping, bodyTemplate.AngularDamping);
			body.setLinearFactor(ToBullet(bodyTemplate.LinearFactor));
			body.setAngularFactor(ToBullet(bodyTemplate.AngularFactor));
			if (bodyTemplate.LinearVelocity.HasValue())
				body.setLinearVelocity(ToBullet(bodyTemplate.LinearVelocity.TakeValue()));
			if (bodyTemplate.AngularVelocity.HasValue())
				body.setAngularVelocity(ToBullet(bodyTemplate.AngularVelocity.TakeValue()));
		}

		// Bullet takes group and mask only when an object is added, so a collider in the world goes out and back in;
		// one out of it uses the new values when it is next registered.
		void ReRegisterWithNewFilter(World* world, Entity* entity, const Collider3DComponent& collider)
		{
			if (!collider.IsInitialized() || !collider.IsRegistered())
				return;
			Physics3DSystem::UnregisterComponent(world, entity);
			Physics3DSystem::RegisterComponent(world, entity, entity->GetComponent<Rigidbody3DComponent>() != nullptr);
		}

		Entity* EntityOf(const btCollisionObject* object) { return static_cast<Entity*>(object->getUserPointer()); }
	} // namespace

	void Physics3DSystem::EnsureInit(World* world, Entity* entity)
	{
		CheckEntity(entity);
		Collider3DComponent* collider = entity->GetComponent<Collider3DComponent>();
		VORN_CHECK(collider != nullptr, "Entity doesn't contain collider.");
		Rigidbody3DComponent* body = entity->GetComponent<Rigidbody3DComponent>();
		const std::shared_ptr<btCollisionShape>& shape = collider->Template.Shape->GetImplData().Shape;

		if (body)
		{
			if (body->ImplData)
				return;
			Rigidbody3DComponentTemplate& bodyTemplate = body->Template;
			switch (bodyTemplate.BodyType)
			{
			case eRigidBody3DType::STATIC:
				VORN_CHECK(std::fabs(bodyTemplate.Mass) <= ZERO_MASS, "Can't create static body wit non zero mass");
				bodyTemplate.Inertia = Vector(0.0f, 0.0f, 0.0f);
				break;
			case eRigidBody3DType::DYNAMIC:
				VORN_CHECK(std::fabs(bodyTemplate.Mass) > ZERO_MASS, "Can't create dynamic body with zero mass.");
				if (!bodyTemplate.Inertia.HasValue())
					bodyTemplate.Inertia = CalculateInertia(collider->Template.Shape.get(), bodyTemplate.Mass);
				break;
			default:
				VORN_FAIL("Invalid ridgidbody type.");
			}
			if (!bodyTemplate.Gravity.HasValue())
				bodyTemplate.Gravity = world->GetWorldComponent<Physics3DWorldComponent>()->GetGravity();

			// A collider that was a trigger in the world leaves it before the body stands for it.
			if (collider->ImplData && collider->ImplData->OwnObject && collider->Template.Registered)
				GetDynamicsWorld(world).removeCollisionObject(collider->ImplData->OwnObject.get());

			body->ImplData = std::make_unique<Rigidbody3DImpl>();
			body->ImplData->Shape = shape;
			body->ImplData->MotionState = std::make_unique<btDefaultMotionState>();
			const btRigidBody::btRigidBodyConstructionInfo info(bodyTemplate.Mass, body->ImplData->MotionState.get(),
			                                                    shape.get(), ToBullet(bodyTemplate.Inertia.Value()));
			body->ImplData->RigidBody = std::make_unique<btRigidBody>(info);
			collider->ImplData = std::make_unique<Trigger3DImpl>();
			collider->ImplData->Shape = shape;
			collider->ImplData->CollisionObject = body->ImplData->RigidBody.get();

			if (bodyTemplate.Registered)
			{
				bodyTemplate.Registered = false;
				collider->Template.Registered = false;
				collider->Initialized = true;
				body->Initialized = true;
				RegisterComponent(world, entity, true);
			}
			else
				collider->Template.Registered = false;
			if (!bodyTemplate.AllowDeactivation)
				body->ImplData->RigidBody->setActivationState(DISABLE_DEACTIVATION);
			body->Initialized = true;
		}
		else
		{
			if (collider->ImplData)
				return;
			collider->ImplData = std::make_unique<Trigger3DImpl>();
			collider->ImplData->Shape = shape;
			collider->ImplData->OwnObject = std::make_unique<btCollisionObject>();
			btCollisionObject& object = *collider->ImplData->OwnObject;
			object.setCollisionFlags(object.getCollisionFlags() | btCollisionObject::CF_NO_CONTACT_RESPONSE);
			object.setCollisionShape(shape.get());
			collider->ImplData->CollisionObject = &object;
			if (collider->Template.Registered)
			{
				collider->Template.Registered = false;
				collider->Initialized = true;
				RegisterComponent(world, entity, false);
			}
		}
		collider->ImplData->CollisionObject->setUserPointer(entity);
		collider->Initialized = true;
	}

	void Physics3DSystem::RegisterComponent(World* world, Entity* entity, bool withRigidbody)
	{
		CheckEntity(entity);
		Collider3DComponent* collider = entity->GetComponent<Collider3DComponent>();
		VORN_CHECK(collider != nullptr && collider->ImplData, "Entity doesn't contain collider.");
		const int group = static_cast<int>(collider->Template.CollisionGroup.GetMask());
		const int mask = static_cast<int>(collider->Template.CollisionMask.GetMask());
		if (withRigidbody)
		{
			Rigidbody3DComponent* body = entity->GetComponent<Rigidbody3DComponent>();
			VORN_CHECK(body != nullptr && body->ImplData, "Entity doesn't contain rigidbody.");
			GetDynamicsWorld(world).addRigidBody(body->ImplData->RigidBody.get(), group, mask);
			body->Template.Registered = true;
		}
		else
			GetDynamicsWorld(world).addCollisionObject(collider->ImplData->CollisionObject, group, mask);
		collider->Template.Registered = true;
	}

	void Physics3DSystem::UnregisterComponent(World* world, Entity* entity)
	{
		CheckEntity(entity);
		Collider3DComponent* collider = entity->GetComponent<Collider3DComponent>();
		Rigidbody3DComponent* body = entity->GetComponent<Rigidbody3DComponent>();
		const bool isBodyRegistered = body && body->ImplData && body->Template.Registered;
		const bool isColliderRegistered = collider && collider->ImplData && collider->Template.Registered;
		VORN_CHECK(isBodyRegistered || isColliderRegistered, "To unregister entity it must be registered first.");
		if (isBodyRegistered)
		{
			GetDynamicsWorld(world).removeRigidBody(body->ImplData->RigidBody.get());
			body->Template.Registered = false;
		}
		else
			GetDynamicsWorld(world).removeCollisionObject(collider->ImplData->CollisionObject);
		if (collider)
			collider->Template.Registered = false;
	}

	Vector Physics3DSystem::CalculateInertia(const Physics3DShape* shape, float mass)
	{
		btVector3 inertia(0.0f, 0.0f, 0.0f);
		shape->GetImplData().Shape->calculateLocalInertia(mass, inertia);
		return FromBullet(inertia);
	}

	void Physics3DSystem::Physics3DUpdatePhase(World* world)
	{
		Physics3DWorldComponent& physics = *world->GetWorldComponent<Physics3DWorldComponent>();
		physics.SetAccumulatedTime(physics.GetAccumulatedTime() +
		                           static_cast<float>(TimeSystem::GetTimerDeltaTime(world, eEngineTimer::GAMEPLAY)));

		const bool isRootAligned = world->GetRoot()->GetTransform().IsLocalIdentity();

		// The entity is authoritative at the start of a frame: registered bodies and triggers are teleported to it.
		for (auto [collider] : world->IterateComponents<Collider3DComponent>())
		{
			Entity* entity = collider->GetOwner();
			EnsureInit(world, entity);
			Rigidbody3DComponent* body = entity->GetComponent<Rigidbody3DComponent>();
			btTransform transform;
			if (body && body->Template.Registered)
			{
				btRigidBody& rigidBody = *body->ImplData->RigidBody;
				const Rigidbody3DImpl& impl = *body->ImplData;
				const EntityTransform& entityTransform = entity->GetTransform();
				// Untouched since the last write-back: the body is where the entity is.
				const bool isUntouched = isRootAligned && impl.HasWrittenState &&
				                         entityTransform.HoldsExactly(impl.WrittenTranslation, impl.WrittenRotation);
				if (!isUntouched && GetEntityTransform(entity, isRootAligned, transform))
				{
					rigidBody.setWorldTransform(transform);
					body->ImplData->MotionState->setWorldTransform(transform);
				}
				if (!body->Dirty)
					continue;
				PushTemplate(rigidBody, body->Template);
				if (body->PendingCentralImpulse.HasValue())
					rigidBody.applyCentralImpulse(ToBullet(body->PendingCentralImpulse.TakeValue()));
				if (body->PendingImpulse.HasValue())
					rigidBody.applyImpulse(ToBullet(body->PendingImpulse.TakeValue()),
					                       ToBullet(body->PendingImpulsePosition.TakeValue()));
				if (body->PendingTorqueImpulse.HasValue())
					rigidBody.applyTorqueImpulse(ToBullet(body->PendingTorqueImpulse.TakeValue()));
				body->Dirty = false;
			}
			else if (collider->Template.Registered && GetEntityTransform(entity, isRootAligned, transform))
				collider->ImplData->CollisionObject->setWorldTransform(transform);
		}

		btDiscreteDynamicsWorld& dynamicsWorld = *physics.GetImplData().DynamicsWorld;
		// A step refreshes every object's bounds; without one, queries before the next step must still find the
		// objects where they were just put.
		if (physics.GetAccumulatedTime() < physics.GetTimeStep())
			dynamicsWorld.updateAabbs();
		while (physics.GetAccumulatedTime() >= physics.GetTimeStep())
		{
			physics.SetAccumulatedTime(physics.GetAccumulatedTime() - physics.GetTimeStep());
			// No sub-steps: exactly one internal step of TimeStep per call.
			dynamicsWorld.stepSimulation(physics.GetTimeStep(), 0, 1.0f / 60.0f);
		}

		for (auto [body] : world->IterateComponents<Rigidbody3DComponent>())
		{
			if (!body->Template.Registered || !body->ImplData)
				continue;
			btTransform transform;
			Rigidbody3DImpl& impl = *body->ImplData;
			impl.MotionState->getWorldTransform(transform);
			EntityTransform& entityTransform = body->GetTransform();
			const btQuaternion rotation = transform.getRotation();
			const Quaternion newRotation(rotation.x(), rotation.y(), rotation.z(), rotation.w());
			if (!isRootAligned)
			{
				entityTransform.SetGlobalTranslation(FromBullet(transform.getOrigin()));
				entityTransform.SetGlobalRotation(newRotation);
				impl.HasWrittenState = false;
				continue;
			}
			entityTransform.SetLocalTranslation(FromBullet(transform.getOrigin()));
			entityTransform.SetLocalRotation(newRotation);
			impl.HasWrittenState = true;
			impl.WrittenTranslation = entityTransform.GetLocalTranslation();
			impl.WrittenRotation = entityTransform.GetLocalRotation();
		}
	}

	void Physics3DSystem::SetCollisionGroup(World* world, Entity* entity, EnumFlags<eCollisionGroup> group)
	{
		CheckEntity(entity);
		Collider3DComponent* collider = entity->GetComponent<Collider3DComponent>();
		VORN_CHECK(collider != nullptr, "Entity doesn't contain collider.");
		if (collider->Template.CollisionGroup == group)
			return;
		collider->Template.CollisionGroup = group;
		ReRegisterWithNewFilter(world, entity, *collider);
	}

	void Physics3DSystem::SetCollisionMask(World* world, Entity* entity, EnumFlags<eCollisionGroup> mask)
	{
		CheckEntity(entity);
		Collider3DComponent* collider = entity->GetComponent<Collider3DComponent>();
		VORN_CHECK(collider != nullptr, "Entity doesn't contain collider.");
		if (collider->Template.CollisionMask == mask)
			return;
		collider->Template.CollisionMask = mask;
		ReRegisterWithNewFilter(world, entity, *collider);
	}

	RaycastResult Physics3DSystem::ClosestHitRaycast(World* world, const Vector& from, const Vector& to,
	                                                 EnumFlags<eCollisionGroup> collisionGroup,
	                                                 EnumFlags<eCollisionGroup> collisionMask)
	{
		btCollisionWorld::ClosestRayResultCallback callback(ToBullet(from), ToBullet(to));
		callback.m_collisionFilterGroup = static_cast<int>(collisionGroup.GetMask());
		callback.m_collisionFilterMask = static_cast<int>(collisionMask.GetMask());
		GetDynamicsWorld(world).rayTest(ToBullet(from), ToBullet(to), callback);
		RaycastResult result;
		if (callback.hasHit())
			result.Hits.PushBack(
			    RaycastResult::Hit{EntityOf(callback.m_collisionObject), FromBullet(callback.m_hitNormalWorld),
			                       FromBullet(callback.m_hitPointWorld), callback.m_closestHitFraction});
		return result;
	}

	RaycastResult Physics3DSystem::AllHitsRaycast(World* world, const Vector& from, const Vector& to,
	                                              EnumFlags<eCollisionGroup> collisionGroup,
	                                              EnumFlags<eCollisionGroup> collisionMask)
	{
		btCollisionWorld::AllHitsRayResultCallback callback(ToBullet(from), ToBullet(to));
		callback.m_collisionFilterGroup = static_cast<int>(collisionGroup.GetMask());
		callback.m_collisionFilterMask = static_cast<int>(collisionMask.GetMask());
		GetDynamicsWorld(world).rayTest(ToBullet(from), ToBullet(to), callback);
		RaycastResult result;
		for (int index = 0; index < callback.m_collisionObjects.size(); ++index)
			result.Hits.PushBack(RaycastResult::Hit{
			    EntityOf(callback.m_collisionObjects[index]), FromBullet(callback.m_hitNormalWorld[index]),
			    FromBullet(callback.m_hitPointWorld[index]), callback.m_hitFractions[index]});
		return result;
	}

	ContactPairResults Physics3DSystem::GetAllContactPairs(World* world)
	{
		btDispatcher& dispatcher = *GetDynamicsWorld(world).getDispatcher();
		ContactPairResults result;
		for (int index = 0; index < dispatcher.getNumManifolds(); ++index)
		{
			const btPersistentManifold& manifold = *dispatcher.getManifoldByIndexInternal(index);
			// The mean of the points' own normals (each from the second object towards the first). The difference of
			// the two points along it would vanish for bodies resting exactly in touch, and flip its sign between
			// touching and penetrating.
			btVector3 sum(0.0f, 0.0f, 0.0f);
			for (int point = 0; point < manifold.getNumContacts(); ++point)
				sum += manifold.getContactPoint(point).m_normalWorldOnB;
			Vector normal(0.0f, 0.0f, 0.0f);
			if (sum.length2() > 0.0f)
				normal = FromBullet(sum.normalized());
			result.ContactPairs.PushBack(
			    ContactPairResults::Pair{EntityOf(manifold.getBody0()), EntityOf(manifold.getBody1()), normal});
		}
		return result;
	}

	ContactResult Physics3DSystem::ContactPair(World* world, Entity* first, Entity* second)
	{
		CheckEntity(first);
		CheckEntity(second);
		btDispatcher& dispatcher = *GetDynamicsWorld(world).getDispatcher();
		ContactResult result;
		for (int index = 0; index < dispatcher.getNumManifolds(); ++index)
		{
			const btPersistentManifold& manifold = *dispatcher.getManifoldByIndexInternal(index);
			const Entity* entityA = EntityOf(manifold.getBody0());
			const Entity* entityB = EntityOf(manifold.getBody1());
			const bool isFirstA = entityA == first && entityB == second;
			if (!isFirstA && !(entityA == second && entityB == first))
				continue;
			for (int point = 0; point < manifold.getNumContacts(); ++point)
			{
				const btManifoldPoint& contact = manifold.getContactPoint(point);
				// Bullet's normal points from B towards A.
				const btVector3 normal = isFirstA ? contact.m_normalWorldOnB : -contact.m_normalWorldOnB;
				const btVector3& position = isFirstA ? contact.getPositionWorldOnA() : contact.getPositionWorldOnB();
				result.Contacts.PushBack(ContactResult::Contact{second->GetID(), FromBullet(position),
				                                                FromBullet(normal), contact.getDistance()});
			}
		}
		return result;
	}
} // namespace Vorn
