#pragma once

#include "ecs/componentbase.hpp"
#include "math/vector.hpp"
#include "physics2d/physics2dsystem.hpp"

#include <memory>

namespace Vorn
{
	class World;
	// The body's Box2D records; defined in physics2dimpl.hpp, which only engine sources include.
	struct RigidBody2DData;

	enum class eRigidBody2DType : u32
	{
		STATIC = 0,
		KINEMATIC = 1,
		DYNAMIC = 2,
		_COUNT
	};

	// Selects the constructor of a body whose fixture only reports contacts and never collides.
	struct RigidBody2DSensorTag
	{
	};

	// Makes its entity a 2D body on the world's X/Y plane. It needs a Box2DColliderComponent or a
	// Circle2DColliderComponent beside it (the box wins when both are there), and the entity must be a direct child
	// of the world's root. The 2D physics phase teleports the body to the entity's transform every frame, steps the
	// simulation and writes x, y and the Z angle back.
	//
	// Non-finite values (NaN, infinity) from the entity or a setter are refused with an ERROR naming the entity, and
	// the body keeps its last valid state.
	class RigidBody2DComponent : public ComponentBase
	{
	public:
		RigidBody2DComponent(World* world, eRigidBody2DType type, float density, float friction);
		RigidBody2DComponent(World* world, eRigidBody2DType type, RigidBody2DSensorTag);
		~RigidBody2DComponent() override;
		RigidBody2DComponent(const RigidBody2DComponent&) = delete;
		RigidBody2DComponent& operator=(const RigidBody2DComponent&) = delete;

		eRigidBody2DType GetBodyType() const { return BodyType; }

		// Both use x and y, act on dynamic bodies only and wake them.
		void ApplyForceToCenter(const Vector& force);
		void ApplyImpulseToCenter(const Vector& impulse);

		void SetLinearDamping(float damping);
		void SetAngularDamping(float damping);
		void SetFixedRotation(bool isFixed);

		// The fixture's density once it exists, before that the density it will be created with. Setting it does not
		// recompute the body's mass. A negative or non-finite density is refused with an ERROR.
		void SetDensity(float density);
		float GetDensity() const;

		// (vx, vy, 0, 1). The setters are ignored by static bodies and wake the others when the value is not zero.
		Vector GetLinearVelocity() const;
		void SetLinearVelocity(const Vector& velocity);
		// Radians per second.
		float GetAngularVelocity() const;
		void SetAngularVelocity(float velocity);

		// Teleports the body to the owner's global translation (x, y) and the Z angle of its global rotation.
		void UpdatePosition();
		// Logs the body's position and angle (radians) at INFO.
		void DebugPrintInfo() const;

		// For the engine's own physics code.
		RigidBody2DData& GetImplData() const { return *ImplData; }

	private:
		RigidBody2DComponent(World* world, eRigidBody2DType type);
		// Creates the fixture from the owner's collider once there is one; logs an ERROR every call until then.
		void EnsureInit();
		// The two halves of the physics phase. Under a root that is not moved, rotated or scaled the entity's local
		// values are its global ones, and reading and writing them directly spares the transform's matrices.
		void PushTransformToBody(bool isRootAligned);
		void PullTransformFromBody(bool isRootAligned);
		// False, with an ERROR naming the owner, when a value handed to the body is not finite.
		bool IsFiniteInput(const char* what, float x, float y = 0.0f) const;

		World* OwnerWorld;
		eRigidBody2DType BodyType;
		std::unique_ptr<RigidBody2DData> ImplData;

		friend void Physics2DSystem::Physics2DUpdatePhase(World* world);
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::RigidBody2DComponent);
