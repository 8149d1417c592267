#include "ecs/world.hpp"

#include "ecs/deferredtaskworldcomponent.hpp"

namespace Vorn
{
	World::World() : EntitiesAllocator(ENTITY_POOL_CAPACITY), ComponentAllocators(), WorldComponents()
	{
		Root = SafePtr<Entity>(SpawnEntityInternal());
	}

	World::~World()
	{
		if (Entity* root = Root.Get())
			DestroyEntity(root);
		for (IterablePoolAllocatorBase*& pool : ComponentAllocators)
		{
			delete pool;
			pool = nullptr;
		}
		for (ComponentBase*& component : WorldComponents)
		{
			delete component;
			component = nullptr;
		}
		// The entity pool releases its blocks as the last member to go.
	}

	Entity* World::SpawnEntity() { return ::new (EntitiesAllocator.Alloc()) Entity(this, GetRoot()); }

	Entity* World::SpawnEntityInternal() { return ::new (EntitiesAllocator.Alloc()) Entity(this, nullptr); }

	void World::DestroyEntity(Entity* entity)
	{
		VORN_CHECK(entity != nullptr, "Invalid entity ID");
		DestroyEntityTree(entity);
	}

	void World::DestroyEntityTree(Entity* entity)
	{
		// The children are let go up front: their parent goes too, so there is no list to keep tidy.
		Dynarray<Entity*> children = std::move(entity->Children);
		entity->ChildHoleCount = 0;
		for (Entity* child : children)
		{
			if (child == nullptr)
				continue;
			child->Parent = nullptr;
			DestroyEntityTree(child);
		}

		// Walks the possession bits in ascending type order rather than all 64 slots, which span
		// several cache lines of the entity.
		for (u64 remaining = entity->ComponentsMask; remaining != 0; remaining &= remaining - 1)
			DestroyComponent(entity, static_cast<u64>(__builtin_ctzll(remaining)));

		entity->~Entity();
		EntitiesAllocator.Free(entity);
	}

	void World::RemoveComponentById(Entity* entity, u64 id)
	{
		VORN_CHECK(entity != nullptr, "Invalid entity ID");
		VORN_CHECK(id < MAX_COMPONENTS_COUNT, "Invalid component ID");
		VORN_CHECK(entity->Components[id] != nullptr, "Removing not present component");
		DestroyComponent(entity, id);
	}

	void World::DestroyComponent(Entity* entity, u64 id)
	{
		ComponentBase* component = entity->Components[id];

		// A component created this frame is still listed for the deferred task phase, which would
		// otherwise touch it after it is gone.
		if (component->CheckFlags(eComponentBaseFlags::NEWLY_CREATED))
		{
			if (auto* deferred = GetWorldComponent<DeferredTaskWorldComponent>())
			{
				Dynarray<ComponentBase*>& newlyCreated = deferred->GetNewlyCreatedComponents();
				const u64 index = newlyCreated.FindIdx(component);
				if (index < newlyCreated.GetSize())
					newlyCreated.RemoveByIdx(index);
			}
		}

		// The pool works with the cell's address, which is that of the most derived object.
		void* cell = dynamic_cast<void*>(component);
		component->~ComponentBase();
		ComponentAllocators[id]->Free(cell);
		entity->Components[id] = nullptr;
		entity->ComponentsMask &= ~(u64(1) << id);
	}
} // namespace Vorn
