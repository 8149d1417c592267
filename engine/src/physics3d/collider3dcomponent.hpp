#pragma once

#include "ecs/componentbase.hpp"
#include "memory/baseobject.hpp"
#include "physics3d/physics3dshapes.hpp"
#include "physics3d/physics3dsystem.hpp"
#include "utils/enumutils.hpp"

#include <memory>

namespace Vorn
{
	class World;
	// The collider's Bullet record; defined in physics3dimpl.hpp, which only engine sources include.
	struct Trigger3DImpl;

	// The description of a collider: its shape (owned), whether it starts in the world, its collision filter.
	class Collider3DComponentTemplate : public BaseObject
	{
	public:
		std::unique_ptr<Physics3DShape> Shape;
		bool Registered = true; // before the collider is built: add it to the world then; afterwards: it is in
		EnumFlags<eCollisionGroup> CollisionGroup = EnumFlags<eCollisionGroup>::FromMask(1);
		EnumFlags<eCollisionGroup> CollisionMask = EnumFlags<eCollisionGroup>::FromMask(1);
	};

	// The shape and collision filter of an entity in the 3D world. With a Rigidbody3DComponent beside it the entity is
	// a body; alone it is a trigger: found by queries, moved with its entity, pushing nothing.
	class Collider3DComponent : public ComponentBase
	{
	public:
		// Takes the template's shape; the template is left without one.
		Collider3DComponent(World* world, Collider3DComponentTemplate&& colliderTemplate);
		~Collider3DComponent() override;
		Collider3DComponent(const Collider3DComponent&) = delete;
		Collider3DComponent& operator=(const Collider3DComponent&) = delete;

		const Physics3DShape& GetShape() const { return *Template.Shape; }
		EnumFlags<eCollisionGroup> GetCollisionGroup() const { return Template.CollisionGroup; }
		EnumFlags<eCollisionGroup> GetCollisionMask() const { return Template.CollisionMask; }
		const Collider3DComponentTemplate& GetTemplate() const { return Template; }
		bool IsInitialized() const { return Initialized; }
		bool IsRegistered() const { return Template.Registered; }

		// Gives the collider (which must be initialised) the Bullet shape of `shape`, shared with it.
		void SetShape(const Physics3DShape* shape);

		// For the engine's own physics code.
		Trigger3DImpl* GetImplData() const { return ImplData.get(); }
		// Called by the rigid body beside it as it goes: the Bullet objects are rebuilt as a trigger's.
		void DetachFromBody(bool isRegistered);

	private:
		bool Initialized = false;
		World* OwnerWorld;
		Collider3DComponentTemplate Template;
		std::unique_ptr<Trigger3DImpl> ImplData;

		friend void Physics3DSystem::Physics3DUpdatePhase(World* world);
		friend void Physics3DSystem::EnsureInit(World* world, Entity* entity);
		friend void Physics3DSystem::RegisterComponent(World* world, Entity* entity, bool withRigidbody);
		friend void Physics3DSystem::UnregisterComponent(World* world, Entity* entity);
		friend void Physics3DSystem::SetCollisionGroup(World* world, Entity* entity, EnumFlags<eCollisionGroup> group);
		friend void Physics3DSystem::SetCollisionMask(World* world, Entity* entity, EnumFlags<eCollisionGroup> mask);
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::Collider3DComponent);
