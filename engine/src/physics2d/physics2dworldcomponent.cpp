#include "physics2d/physics2dworldcomponent.hpp"

#include "physics2d/physics2dimpl.hpp"
#include "physics2d/rigidbody2dcomponent.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::Physics2DWorldComponent);

namespace Vorn
{
	Physics2DWorldComponent::Physics2DWorldComponent(const Physics2DConfig& config)
	    : Config(config), ImplData(new Physics2DWorldData(b2Vec2(config.Gravity.x, config.Gravity.y)))
	{
		ImplData->ContactListener = std::make_unique<Physics2DContactListener>(this);
		ImplData->Box2DWorld.SetContactListener(ImplData->ContactListener.get());
	}

	Physics2DWorldComponent::~Physics2DWorldComponent()
	{
		CollidingBodies.clear();
		// The world's destructor frees its bodies without calling back.
		ImplData->Box2DWorld.SetContactListener(nullptr);
		ImplData->ContactListener.reset();
	}

	void Physics2DWorldComponent::SetGravity(const Vector& gravity) const
	{
		ImplData->Box2DWorld.SetGravity(b2Vec2(gravity.x, gravity.y));
	}

	const Dynarray<Physics2DWorldComponent::Collision>& Physics2DWorldComponent::GetCollidingBodies(
	    RigidBody2DComponent* body) const
	{
		static const Dynarray<Collision> noCollisions;
		const auto found = CollidingBodies.find(body);
		return found == CollidingBodies.end() ? noCollisions : found->second;
	}

	Dynarray<Physics2DWorldComponent::Collision>& Physics2DWorldComponent::GetOrCreateCollisions(
	    RigidBody2DComponent* body)
	{
		return CollidingBodies[body];
	}

	namespace
	{
		RigidBody2DComponent* GetBody(b2Fixture* fixture)
		{
			return reinterpret_cast<RigidBody2DComponent*>(fixture->GetUserData().pointer);
		}

		void RemoveCollisionsWith(Dynarray<Physics2DWorldComponent::Collision>& collisions,
		                          const RigidBody2DComponent* other)
		{
			for (u64 index = 0; index < collisions.GetSize();)
			{
				if (collisions[index].OtherBody == other)
					collisions.RemoveByIdx(index);
				else
					++index;
			}
		}
	} // namespace

	void Physics2DContactListener::BeginContact(b2Contact* contact)
	{
		b2Fixture* fixtureA = contact->GetFixtureA();
		b2Fixture* fixtureB = contact->GetFixtureB();
		RigidBody2DComponent* bodyA = GetBody(fixtureA);
		RigidBody2DComponent* bodyB = GetBody(fixtureB);

		// Sensor contacts carry no manifold points, so Box2D leaves their normal undefined.
		Vector normal(0.0f, 0.0f, 0.0f, 1.0f);
		if (!fixtureA->IsSensor() && !fixtureB->IsSensor() && contact->GetManifold()->pointCount > 0)
		{
			b2WorldManifold manifold;
			manifold.Initialize(contact->GetManifold(), fixtureA->GetBody()->GetTransform(),
			                    fixtureA->GetShape()->m_radius, fixtureB->GetBody()->GetTransform(),
			                    fixtureB->GetShape()->m_radius);
			normal = Vector(manifold.normal.x, manifold.normal.y, 0.0f, 1.0f);
		}

		WorldComponent->GetOrCreateCollisions(bodyA).PushBack(Physics2DWorldComponent::Collision{bodyB, normal});
		WorldComponent->GetOrCreateCollisions(bodyB).PushBack(Physics2DWorldComponent::Collision{bodyA, -normal});
	}

	void Physics2DContactListener::EndContact(b2Contact* contact)
	{
		RigidBody2DComponent* bodyA = GetBody(contact->GetFixtureA());
		RigidBody2DComponent* bodyB = GetBody(contact->GetFixtureB());
		RemoveCollisionsWith(WorldComponent->GetOrCreateCollisions(bodyA), bodyB);
		RemoveCollisionsWith(WorldComponent->GetOrCreateCollisions(bodyB), bodyA);
	}
} // namespace Vorn
