#pragma once

#include "ecs/componentbase.hpp"
#include "math/vector.hpp"
#include "memory/baseobject.hpp"
#include "physics3d/physics3dsystem.hpp"
#include "utils/optional.hpp"

#include <memory>

namespace Vorn
{
	class World;
	// The body's Bullet records; defined in physics3dimpl.hpp, which only engine sources include.
	struct Rigidbody3DImpl;

	enum class eRigidBody3DType : u32
	{
		STATIC = 0,
		DYNAMIC = 1,
		_COUNT
	};

	// The description of a 3D body. The velocities are imposed once, at the first push after they were set.
	class Rigidbody3DComponentTemplate : public BaseObject
	{
	public:
		float Mass = 0.0f;        // zero for static bodies, non-zero for dynamic ones
		Optional<Vector> Inertia; // computed from the shape when empty
		Optional<Vector> Gravity; // the world's when empty
		float Restitution = 0.5f;
		float Friction = 0.5f;
		float RollingFriction = 0.5f;
		float LinearDamping = 0.5f;
		float AngularDamping = 0.5f;
		Vector LinearFactor = Vector(1.0f, 1.0f, 1.0f);
		Vector AngularFactor = Vector(1.0f, 1.0f, 1.0f);
		Optional<Vector> LinearVelocity = Vector(0.0f, 0.0f, 0.0f);
		Optional<Vector> AngularVelocity = Vector(0.0f, 0.0f, 0.0f);
		bool AllowDeactivation = false; // when false the body never sleeps
		bool Registered = true;         // before the body is built: add it to the world then; afterwards: it is in
		eRigidBody3DType BodyType = eRigidBody3DType::DYNAMIC;
	};

	// Mass and material of a 3D body; it needs a Collider3DComponent beside it for its shape. Setters take effect at
	// the next physics phase; a second call before then replaces the first (impulses are not summed). Non-finite
	// values are refused with an ERROR naming the entity.
	class Rigidbody3DComponent : public ComponentBase
	{
	public:
		Rigidbody3DComponent(World* world, const Rigidbody3DComponentTemplate& bodyTemplate);
		~Rigidbody3DComponent() override;
		Rigidbody3DComponent(const Rigidbody3DComponent&) = delete;
		Rigidbody3DComponent& operator=(const Rigidbody3DComponent&) = delete;

		float GetMass() const { return Template.Mass; }
		const Vector& GetInertia() const { return Template.Inertia.Value(); }
		float GetRestitution() const { return Template.Restitution; }
		float GetFriction() const { return Template.Friction; }
		float GetRollingFriction() const { return Template.RollingFriction; }
		float GetLinearDamping() const { return Template.LinearDamping; }
		float GetAngularDamping() const { return Template.AngularDamping; }
		const Vector& GetLinearFactor() const { return Template.LinearFactor; }
		const Vector& GetAngularFactor() const { return Template.AngularFactor; }
		eRigidBody3DType GetBodyType() const { return Template.BodyType; }
		bool IsInitialized() const { return Initialized; }
		bool IsRegistered() const { return Template.Registered; }
		const Rigidbody3DComponentTemplate& GetTemplate() const { return Template; }

		// Read from Bullet: valid once the body is built.
		Vector GetLinearVelocity() const;
		Vector GetAngularVelocity() const;
		Vector GetGravity() const;

		void SetMassProps(float mass, const Vector& inertia);
		void SetRestitution(float restitution);
		void SetFriction(float friction);
		void SetRollingFriction(float friction);
		void SetDamping(float linear, float angular);
		void SetLinearFactor(const Vector& factor);
		void SetAngularFactor(const Vector& factor);
		void SetLinearVelocity(const Vector& velocity);
		void SetAngularVelocity(const Vector& velocity);
		void SetGravity(const Vector& gravity);
		void ApplyImpulseToCenter(const Vector& impulse);
		void ApplyImpulse(const Vector& impulse, const Vector& relativePosition);
		void ApplyTorqueImpulse(const Vector& impulse);

		// For the engine's own physics code.
		Rigidbody3DImpl* GetImplData() const { return ImplData.get(); }

	private:
		// False, with an ERROR naming the owner, when a value is not finite.
		bool IsFiniteInput(const char* what, const Vector& value) const;
		bool IsFiniteInput(const char* what, float value) const;

		bool Initialized = false;
		World* OwnerWorld;
		std::unique_ptr<Rigidbody3DImpl> ImplData;
		bool Dirty = true;
		Rigidbody3DComponentTemplate Template;
		Optional<Vector> PendingCentralImpulse;
		Optional<Vector> PendingImpulse;
		Optional<Vector> PendingImpulsePosition;
		Optional<Vector> PendingTorqueImpulse;

		friend void Physics3DSystem::Physics3DUpdatePhase(World* world);
		friend void Physics3DSystem::EnsureInit(World* world, Entity* entity);
		friend void Physics3DSystem::RegisterComponent(World* world, Entity* entity, bool withRigidbody);
		friend void Physics3DSystem::UnregisterComponent(World* world, Entity* entity);
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::Rigidbody3DComponent);
