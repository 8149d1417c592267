#include "physics2d/rigidbody2dcomponent.hpp"

#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "math/quaternion.hpp"
#include "physics2d/box2dcollidercomponent.hpp"
#include "physics2d/circle2dcollidercomponent.hpp"
#include "physics2d/physics2dimpl.hpp"
#include "physics2d/physics2dworldcomponent.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <cmath>
#include <cstdint>

VORN_DEFINE_COMPONENT_TYPE(Vorn::RigidBody2DComponent);

namespace Vorn
{
	namespace
	{
		b2BodyType ToBox2DType(eRigidBody2DType type)
		{
			switch (type)
			{
			case eRigidBody2DType::STATIC:
				return b2_staticBody;
			case eRigidBody2DType::KINEMATIC:
				return b2_kinematicBody;
			case eRigidBody2DType::DYNAMIC:
				return b2_dynamicBody;
			default:
				VORN_FAIL("Invalid body type");
			}
		}

		b2World& GetBox2DWorld(World* world)
		{
			return world->GetWorldComponent<Physics2DWorldComponent>()->GetImplData().Box2DWorld;
		}
	} // namespace

	RigidBody2DComponent::RigidBody2DComponent(World* world, eRigidBody2DType type)
	    : OwnerWorld(world), BodyType(type), ImplData(new RigidBody2DData())
	{
		ImplData->BodyDef.type = ToBox2DType(type);
		ImplData->Body = GetBox2DWorld(world).CreateBody(&ImplData->BodyDef);
		VORN_CHECK(ImplData->Body != nullptr, "Body failed to create!");
		ImplData->FixtureDef.userData.pointer = reinterpret_cast<std::uintptr_t>(this);
	}

	RigidBody2DComponent::RigidBody2DComponent(World* world, eRigidBody2DType type, float density, float friction)
	    : RigidBody2DComponent(world, type)
	{
		ImplData->FixtureDef.density = density;
		ImplData->FixtureDef.friction = friction;
	}

	RigidBody2DComponent::RigidBody2DComponent(World* world, eRigidBody2DType type, RigidBody2DSensorTag)
	    : RigidBody2DComponent(world, type)
	{
		ImplData->FixtureDef.isSensor = true;
	}

	RigidBody2DComponent::~RigidBody2DComponent() { GetBox2DWorld(OwnerWorld).DestroyBody(ImplData->Body); }

	bool RigidBody2DComponent::IsFiniteInput(const char* what, float x, float y) const
	{
		if (std::isfinite(x) && std::isfinite(y))
			return true;
		gConsole.LogError("RigidBody2DComponent of entity {}: refused a non-finite {} ({}, {}); the body keeps its "
		                  "last valid state",
		                  GetOwner()->GetID().ToString(), what, x, y);
		return false;
	}

	void RigidBody2DComponent::ApplyForceToCenter(const Vector& force)
	{
		if (IsFiniteInput("force", force.x, force.y))
			ImplData->Body->ApplyForceToCenter(b2Vec2(force.x, force.y), true);
	}

	void RigidBody2DComponent::ApplyImpulseToCenter(const Vector& impulse)
	{
		if (IsFiniteInput("impulse", impulse.x, impulse.y))
			ImplData->Body->ApplyLinearImpulseToCenter(b2Vec2(impulse.x, impulse.y), true);
	}

	void RigidBody2DComponent::SetLinearDamping(float damping)
	{
		if (IsFiniteInput("linear damping", damping))
			ImplData->Body->SetLinearDamping(damping);
	}

	void RigidBody2DComponent::SetAngularDamping(float damping)
	{
		if (IsFiniteInput("angular damping", damping))
			ImplData->Body->SetAngularDamping(damping);
	}

	void RigidBody2DComponent::SetFixedRotation(bool isFixed) { ImplData->Body->SetFixedRotation(isFixed); }

	void RigidBody2DComponent::SetDensity(float density)
	{
		if (!IsFiniteInput("density", density))
			return;
		if (density < 0.0f)
		{
			gConsole.LogError("RigidBody2DComponent of entity {}: refused the negative density {}",
			                  GetOwner()->GetID().ToString(), density);
			return;
		}
		if (ImplData->Fixture)
			ImplData->Fixture->SetDensity(density);
		else
			ImplData->FixtureDef.density = density;
	}

	float RigidBody2DComponent::GetDensity() const
	{
		return ImplData->Fixture ? ImplData->Fixture->GetDensity() : ImplData->FixtureDef.density;
	}

	Vector RigidBody2DComponent::GetLinearVelocity() const
	{
		const b2Vec2& velocity = ImplData->Body->GetLinearVelocity();
		return Vector(velocity.x, velocity.y, 0.0f, 1.0f);
	}

	void RigidBody2DComponent::SetLinearVelocity(const Vector& velocity)
	{
		if (IsFiniteInput("linear velocity", velocity.x, velocity.y))
			ImplData->Body->SetLinearVelocity(b2Vec2(velocity.x, velocity.y));
	}

	float RigidBody2DComponent::GetAngularVelocity() const { return ImplData->Body->GetAngularVelocity(); }

	void RigidBody2DComponent::SetAngularVelocity(float velocity)
	{
		if (IsFiniteInput("angular velocity", velocity))
			ImplData->Body->SetAngularVelocity(velocity);
	}

	void RigidBody2DComponent::UpdatePosition() { PushTransformToBody(false); }

	void RigidBody2DComponent::PushTransformToBody(bool isRootAligned)
	{
		VORN_CHECK(GetOwner()->IsChildOfRoot(), "Physics cannot be applied to child entity");
		const EntityTransform& transform = GetTransform();
		const Vector& translation = isRootAligned ? transform.GetLocalTranslation() : transform.GetGlobalTranslation();
		const Quaternion& rotation = isRootAligned ? transform.GetLocalRotation() : transform.GetGlobalRotation();
		// Untouched since the last write-back: the body is where the entity is.
		if (isRootAligned && ImplData->HasWrittenState &&
		    transform.HoldsExactly(ImplData->WrittenTranslation, ImplData->WrittenRotation))
			return;

		const float angle = rotation.ToEulerAngles().Z.AsRadians();
		if (!IsFiniteInput("position", translation.x, translation.y) || !IsFiniteInput("angle", angle))
			return;
		ImplData->Body->SetTransform(b2Vec2(translation.x, translation.y), angle);
	}

	void RigidBody2DComponent::PullTransformFromBody(bool isRootAligned)
	{
		const b2Body& body = *ImplData->Body;
		EntityTransform& transform = GetTransform();
		const Vector& translation = isRootAligned ? transform.GetLocalTranslation() : transform.GetGlobalTranslation();
		const Quaternion& rotation = isRootAligned ? transform.GetLocalRotation() : transform.GetGlobalRotation();

		float z = translation.z;
		EulerAngles angles(ImplData->WrittenAngleX, ImplData->WrittenAngleY, Angle());
		if (!isRootAligned || !ImplData->HasWrittenState ||
		    !transform.HoldsExactly(ImplData->WrittenTranslation, ImplData->WrittenRotation))
			angles = rotation.ToEulerAngles();
		// The global setters work from the current values, so a non-finite transform the body refused is cleared
		// first; the entity then takes the body's state.
		if (!std::isfinite(translation.x) || !std::isfinite(translation.y) || !std::isfinite(z))
		{
			transform.SetLocalTranslation(Vector(0.0f, 0.0f, 0.0f));
			z = std::isfinite(z) ? z : 0.0f;
		}
		if (!std::isfinite(angles.X.AsRadians()) || !std::isfinite(angles.Y.AsRadians()) ||
		    !std::isfinite(angles.Z.AsRadians()))
		{
			transform.SetLocalRotation(Quaternion());
			angles = EulerAngles();
		}

		// Only x, y and the Z angle are simulated; z and the other two angles stay as the entity had them.
		const Vector newTranslation(body.GetPosition().x, body.GetPosition().y, z);
		const Quaternion newRotation(EulerAngles(angles.X, angles.Y, Angle::FromRadians(body.GetAngle())));
		if (!isRootAligned)
		{
			transform.SetGlobalTranslation(newTranslation);
			transform.SetGlobalRotation(newRotation);
			ImplData->HasWrittenState = false;
			return;
		}
		transform.SetLocalTranslation(newTranslation);
		transform.SetLocalRotation(newRotation);
		ImplData->HasWrittenState = true;
		ImplData->WrittenTranslation = transform.GetLocalTranslation();
		ImplData->WrittenRotation = transform.GetLocalRotation();
		ImplData->WrittenAngleX = angles.X;
		ImplData->WrittenAngleY = angles.Y;
	}

	void RigidBody2DComponent::DebugPrintInfo() const
	{
		const b2Vec2& position = ImplData->Body->GetPosition();
		gConsole.LogInfo("{} {} {}", position.x, position.y, ImplData->Body->GetAngle());
	}

	void RigidBody2DComponent::EnsureInit()
	{
		if (ImplData->Fixture)
			return;

		const b2Shape* shape = nullptr;
		if (const Box2DColliderComponent* box = GetSibling<Box2DColliderComponent>())
			shape = box->GetShape();
		else if (const Circle2DColliderComponent* circle = GetSibling<Circle2DColliderComponent>())
			shape = circle->GetShape();
		if (!shape)
		{
			gConsole.LogError("There is no collider on rigidbody!");
			return;
		}

		ImplData->FixtureDef.shape = shape;
		ImplData->Fixture = ImplData->Body->CreateFixture(&ImplData->FixtureDef);
		VORN_CHECK(ImplData->Fixture != nullptr, "Fixture failed to create!");
	}
} // namespace Vorn
