#include "physics3d/rigidbody3dcomponent.hpp"

#include "physics3d/collider3dcomponent.hpp"
#include "physics3d/physics3dimpl.hpp"
#include "utils/console.hpp"

#include <cmath>

VORN_DEFINE_COMPONENT_TYPE(Vorn::Rigidbody3DComponent);

namespace Vorn
{
	Rigidbody3DComponent::Rigidbody3DComponent(World* world, const Rigidbody3DComponentTemplate& bodyTemplate)
	    : OwnerWorld(world), Template(bodyTemplate)
	{
	}

	Rigidbody3DComponent::~Rigidbody3DComponent()
	{
		// Registered before the body was built means "add it then": it is not in the world yet.
		const bool wasRegistered = Template.Registered && Initialized;
		if (wasRegistered)
			Physics3DSystem::UnregisterComponent(OwnerWorld, GetOwner());
		// A collider that stays behind stood on this body; it becomes a trigger at the next phase, in the world when
		// the body was.
		if (Collider3DComponent* collider = GetSibling<Collider3DComponent>(); collider && ImplData)
			collider->DetachFromBody(wasRegistered);
	}

	Vector Rigidbody3DComponent::GetLinearVelocity() const
	{
		return FromBullet(ImplData->RigidBody->getLinearVelocity());
	}

	Vector Rigidbody3DComponent::GetAngularVelocity() const
	{
		return FromBullet(ImplData->RigidBody->getAngularVelocity());
	}

	Vector Rigidbody3DComponent::GetGravity() const { return FromBullet(ImplData->RigidBody->getGravity()); }

	bool Rigidbody3DComponent::IsFiniteInput(const char* what, const Vector& value) const
	{
		if (std::isfinite(value.x) && std::isfinite(value.y) && std::isfinite(value.z))
			return true;
		gConsole.LogError("Rigidbody3DComponent of entity {}: refused a non-finite {} ({}, {}, {}); the body keeps its "
		                  "last valid state",
		                  GetOwner()->GetID().ToString(), what, value.x, value.y, value.z);
		return false;
	}

	bool Rigidbody3DComponent::IsFiniteInput(const char* what, float value) const
	{
		return IsFiniteInput(what, Vector(value, 0.0f, 0.0f));
	}

	void Rigidbody3DComponent::SetMassProps(float mass, const Vector& inertia)
	{
		if (!IsFiniteInput("mass", mass) || !IsFiniteInput("inertia", inertia))
			return;
		Template.Mass = mass;
		Template.Inertia = inertia;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetRestitution(float restitution)
	{
		if (!IsFiniteInput("restitution", restitution))
			return;
		Template.Restitution = restitution;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetFriction(float friction)
	{
		if (!IsFiniteInput("friction", friction))
			return;
		Template.Friction = friction;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetRollingFriction(float friction)
	{
		if (!IsFiniteInput("rolling friction", friction))
			return;
		Template.RollingFriction = friction;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetDamping(float linear, float angular)
	{
		if (!IsFiniteInput("damping", Vector(linear, angular, 0.0f)))
			return;
		Template.LinearDamping = linear;
		Template.AngularDamping = angular;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetLinearFactor(const Vector& factor)
	{
		if (!IsFiniteInput("linear factor", factor))
			return;
		Template.LinearFactor = factor;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetAngularFactor(const Vector& factor)
	{
		if (!IsFiniteInput("angular factor", factor))
			return;
		Template.AngularFactor = factor;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetLinearVelocity(const Vector& velocity)
	{
		if (!IsFiniteInput("linear velocity", velocity))
			return;
		Template.LinearVelocity = velocity;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetAngularVelocity(const Vector& velocity)
	{
		if (!IsFiniteInput("angular velocity", velocity))
			return;
		Template.AngularVelocity = velocity;
		Dirty = true;
	}

	void Rigidbody3DComponent::SetGravity(const Vector& gravity)
	{
		if (!IsFiniteInput("gravity", gravity))
			return;
		Template.Gravity = gravity;
		Dirty = true;
	}

	void Rigidbody3DComponent::ApplyImpulseToCenter(const Vector& impulse)
	{
		if (!IsFiniteInput("impulse", impulse))
			return;
		PendingCentralImpulse = impulse;
		Dirty = true;
	}

	void Rigidbody3DComponent::ApplyImpulse(const Vector& impulse, const Vector& relativePosition)
	{
		if (!IsFiniteInput("impulse", impulse) || !IsFiniteInput("impulse position", relativePosition))
			return;
		PendingImpulse = impulse;
		PendingImpulsePosition = relativePosition;
		Dirty = true;
	}

	void Rigidbody3DComponent::ApplyTorqueImpulse(const Vector& impulse)
	{
		if (!IsFiniteInput("torque impulse", impulse))
			return;
		PendingTorqueImpulse = impulse;
		Dirty = true;
	}
} // namespace Vorn
