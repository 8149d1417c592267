#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "ecs/componentidgenerator.hpp"
#include "ecs/entitytransform.hpp"
#include "memory/safeptr.hpp"
#include "rtti/rttibase.hpp"
#include "utils/check.hpp"
#include "utils/uniqueid.hpp"

namespace Vorn
{
	class ComponentBase;
	class World;

	// A node of the world's tree. Entities are made and destroyed by the world only (spawned and
	// destroyed through DeferredTaskSystem).
	class Entity : public SafePtrRoot, public RTTIBase
	{
	public:
		~Entity() override;
		Entity(const Entity&) = delete;
		Entity& operator=(const Entity&) = delete;

		TypeInfo GetTypeInfo() const override;
		PropertyManagerBase* GetPropertyManager() override;

		UniqueID GetID() const
		{
			VORN_CHECK(!EntityID.IsEmpty(), "Entity was not properly initialized");
			return EntityID;
		}
		World* GetWorld() const
		{
			VORN_CHECK(!EntityID.IsEmpty(), "Entity was not properly initialized");
			return OwnerWorld;
		}

		EntityTransform& GetTransform() { return Transform; }
		const EntityTransform& GetTransform() const { return Transform; }
		Entity* GetParent() const { return Parent; }
		// In order of attachment.
		const Dynarray<Entity*>& GetChildren() const
		{
			if (ChildHoleCount > 0)
				CompactChildren();
			return Children;
		}

		// Moves the entity under `parent`, keeping its world placement as the transform rules allow;
		// the entity goes to the end of the parent's children.
		void SetParent(Entity* parent);
		void AddChild(Entity* child);
		// True for children and deeper descendants.
		bool ContainsChildRecursive(const Entity* entity) const;

		bool IsRoot() const { return Parent == nullptr; }
		bool IsChildOfRoot() const { return Parent != nullptr && Parent->Parent == nullptr; }

		bool HasComponent(u64 id) const
		{
			VORN_CHECK(id < MAX_COMPONENTS_COUNT, "Invalid component ID - greater than MAX_COMPONENTS_COUNT.");
			return (ComponentsMask >> id) & 1u;
		}
		// `mask` holds component type IDs as bits, so only types 0 to 31 can be asked this way.
		bool HasComponents(u32 mask) const { return (ComponentsMask & mask) == mask; }

		template <typename T>
		T* GetComponent() const
		{
			const u64 id = GetComponentTypeID<T>();
			VORN_CHECK(id < MAX_COMPONENTS_COUNT, "Invalid component ID");
			return static_cast<T*>(Components[id]);
		}

	private:
		Entity(World* world, Entity* parent);

		// A child leaving its parent leaves a null hole instead of shifting the rest of the list, and the
		// holes are squeezed out on the next read of the list or once they make up half of it. Without
		// this, taking the oldest of many children (the root easily has thousands) costs a shift of all
		// the others every time.
		void DetachFromParent();
		void CompactChildren() const;

		Entity* Parent = nullptr;
		mutable Dynarray<Entity*> Children;
		mutable u64 ChildHoleCount = 0;
		// Position in the parent's Children, holes included.
		mutable u64 IndexInParent = 0;
		UniqueID EntityID;
		EntityTransform Transform;
		World* OwnerWorld;
		u64 ComponentsMask = 0;
		ComponentBase* Components[MAX_COMPONENTS_COUNT] = {};

		friend class World;
		template <typename T1, typename... Ts>
		friend class ComponentIterator;
	};
} // namespace Vorn
