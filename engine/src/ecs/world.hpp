#pragma once

#include "defines.hpp"
#include "ecs/componentbase.hpp"
#include "ecs/componentidgenerator.hpp"
#include "ecs/entity.hpp"
#include "memory/baseobject.hpp"
#include "memory/iterablepoolallocator.hpp"
#include "memory/poolallocator.hpp"
#include "memory/safeptr.hpp"
#include "utils/check.hpp"

#include <new>
#include <tuple>
#include <utility>

namespace Vorn
{
	class World;
	class DestroyEntityDeferredTask;

	namespace DeferredTaskSystem
	{
		Entity* SpawnEntityImmediate(World* world);
		void DestroyEntityImmediate(World* world, Entity* entity);
	} // namespace DeferredTaskSystem

	// Walks T1's pool in cell order and stops only at components whose owner also has every type of Ts;
	// yields a tuple of pointers (T1, Ts...) of that owner.
	template <typename T1, typename... Ts>
	class ComponentIterator
	{
		using PoolIterator = typename IterablePoolAllocator<T1>::Iterator;

	public:
		ComponentIterator(PoolIterator current, PoolIterator end, const u64 (&siblingIDs)[sizeof...(Ts) + 1])
		    : Current(current), End(end), Ahead(current)
		{
			for (u64 i = 0; i < sizeof...(Ts); ++i)
				SiblingIDs[i] = siblingIDs[i];
			if constexpr (sizeof...(Ts) > 0)
			{
				for (u64 i = 0; i < PREFETCH_DISTANCE && Ahead != End; ++i)
					AdvanceAhead();
			}
			SkipIncomplete();
		}

		std::tuple<T1*, Ts*...> operator*() const
		{
			T1* component = &*Current;
			const Entity* owner = component->ComponentBase::Owner;
			VORN_CHECK(owner != nullptr, "Component was not properly initialized.");
			return MakeTuple(component, owner, std::index_sequence_for<Ts...>());
		}

		ComponentIterator& operator++()
		{
			Step();
			SkipIncomplete();
			return *this;
		}

		bool operator==(const ComponentIterator& rhs) const { return Current == rhs.Current; }
		bool operator!=(const ComponentIterator& rhs) const { return Current != rhs.Current; }

	private:
		void SkipIncomplete()
		{
			if constexpr (sizeof...(Ts) > 0)
			{
				while (Current != End)
				{
					const Entity* owner = Current->ComponentBase::Owner;
					VORN_CHECK(owner != nullptr, "Component was not properly initialized.");
					if (HasSiblings(owner, std::index_sequence_for<Ts...>()))
						break;
					Step();
				}
			}
		}

		void Step()
		{
			++Current;
			if constexpr (sizeof...(Ts) > 0)
			{
				if (Ahead != End)
					AdvanceAhead();
			}
		}

		// The owners' slots are the only scattered reads of the walk; asking for them a number of cells
		// ahead keeps several misses in flight instead of one per step.
		void AdvanceAhead()
		{
			if (const Entity* owner = Ahead->ComponentBase::Owner)
				__builtin_prefetch(&owner->Components[SiblingIDs[0]]);
			++Ahead;
		}

		// Tests the slots instead of the possession bits (both change together): the tuple reads those
		// slots anyway, so a visited entity costs no extra cache line for its bit set.
		template <std::size_t... Indices>
		bool HasSiblings(const Entity* owner, std::index_sequence<Indices...>) const
		{
			return ((owner->Components[SiblingIDs[Indices]] != nullptr) && ...);
		}

		template <std::size_t... Indices>
		std::tuple<T1*, Ts*...> MakeTuple(T1* component, const Entity* owner, std::index_sequence<Indices...>) const
		{
			return std::tuple<T1*, Ts*...>(component, static_cast<Ts*>(owner->Components[SiblingIDs[Indices]])...);
		}

		static constexpr u64 PREFETCH_DISTANCE = 16;

		PoolIterator Current;
		PoolIterator End;
		PoolIterator Ahead;
		// One spare slot keeps the array legal when Ts is empty.
		u64 SiblingIDs[sizeof...(Ts) + 1] = {};
	};

	template <typename T1, typename... Ts>
	class IteratorProxy
	{
	public:
		using Iterator = ComponentIterator<T1, Ts...>;

		IteratorProxy(IterablePoolAllocator<T1>* pool, const u64 (&siblingIDs)[sizeof...(Ts) + 1]) : Pool(pool)
		{
			for (u64 i = 0; i < sizeof...(Ts) + 1; ++i)
				SiblingIDs[i] = siblingIDs[i];
		}

		Iterator begin() const { return Iterator(Pool->begin(), Pool->end(), SiblingIDs); }
		Iterator end() const { return Iterator(Pool->end(), Pool->end(), SiblingIDs); }

	private:
		IterablePoolAllocator<T1>* Pool;
		u64 SiblingIDs[sizeof...(Ts) + 1] = {};
	};

	// Holds the entity tree, one pool per component type and the world components. Nothing is
	// allocated after a type's first use: pools are fixed at 65,536 objects.
	class World : public BaseObject
	{
	public:
		static constexpr u64 ENTITY_POOL_CAPACITY = 0x10000;
		static constexpr u64 COMPONENT_POOL_CAPACITY = 0x10000;

		World();
		~World() override;
		World(const World&) = delete;
		World& operator=(const World&) = delete;

		template <typename T, typename... Args>
		T* AddComponent(Entity* entity, Args&&... args)
		{
			const u64 id = GetComponentTypeID<T>();
			IterablePoolAllocator<T>* pool = GetComponentAllocator<T>();
			void* cell = pool->Alloc();
			T* component = nullptr;
			try
			{
				component = ::new (cell) T(std::forward<Args>(args)...);
			}
			catch (...)
			{
				// The cell is already on the live list; an empty one there would be walked as a component.
				pool->Free(cell);
				throw;
			}

			VORN_CHECK(entity != nullptr, "Invalid entity ID");
			VORN_CHECK(!entity->HasComponent(id),
			           "Failed at AddComponent() - a component of a given UniqueID already exists!");
			entity->ComponentsMask |= u64(1) << id;
			entity->Components[id] = component;
			component->ComponentBase::Owner = entity;
			VORN_CHECK(entity->HasComponent(id), "Failed at AddComponent() - the component was not added!");
			return component;
		}

		template <typename T>
		T* GetComponent(Entity* entity) const
		{
			VORN_CHECK(entity != nullptr, "Invalid entity - entity with that ID does not exist!");
			return entity->GetComponent<T>();
		}

		template <typename T>
		void RemoveComponent(Entity* entity)
		{
			RemoveComponentById(entity, GetComponentTypeID<T>());
		}

		template <typename T, typename... Args>
		T* AddWorldComponent(Args&&... args)
		{
			const u64 id = GetWorldComponentTypeID<T>();
			VORN_CHECK(!HasWorldComponent(id),
			           "Failed at AddWorldComponent() - a world component of a given type already exists!");
			T* component = new T(std::forward<Args>(args)...);
			WorldComponents[id] = component;
			return component;
		}

		// Null when the world has no component of that type.
		template <typename T>
		T* GetWorldComponent() const
		{
			const u64 id = GetWorldComponentTypeID<T>();
			return HasWorldComponent(id) ? static_cast<T*>(WorldComponents[id]) : nullptr;
		}

		bool HasWorldComponent(u64 id) const
		{
			VORN_CHECK(id < MAX_WORLD_COMPONENTS_COUNT,
			           "Invalid component ID - greater than MAX_WORLD_COMPONENTS_COUNT.");
			return WorldComponents[id] != nullptr;
		}

		// The pool of T's components, created on first call.
		template <typename T>
		IterablePoolAllocator<T>* GetComponentAllocator()
		{
			const u64 id = GetComponentTypeID<T>();
			VORN_CHECK(id < MAX_COMPONENTS_COUNT, "Invalid component ID");
			if (ComponentAllocators[id] == nullptr)
				ComponentAllocators[id] = new IterablePoolAllocator<T>(COMPONENT_POOL_CAPACITY);
			return static_cast<IterablePoolAllocator<T>*>(ComponentAllocators[id]);
		}

		// Every T1 in cell order whose owner also has all of Ts, as tuples of pointers:
		// for (auto [mesh, light] : world->IterateComponents<MeshComponent, LightComponent>())
		template <typename T1, typename... Ts>
		IteratorProxy<T1, Ts...> IterateComponents()
		{
			const u64 siblingIDs[sizeof...(Ts) + 1] = {GetCheckedComponentTypeID<Ts>()...};
			return IteratorProxy<T1, Ts...>(GetComponentAllocator<T1>(), siblingIDs);
		}

		Entity* GetRoot() const { return Root.Get(); }

	private:
		template <typename T>
		static u64 GetCheckedComponentTypeID()
		{
			const u64 id = GetComponentTypeID<T>();
			VORN_CHECK(id < MAX_COMPONENTS_COUNT, "Invalid component ID");
			return id;
		}

		// A new entity under the root.
		Entity* SpawnEntity();
		// A new entity without a parent; only the root is made this way.
		Entity* SpawnEntityInternal();
		// The entity, its whole subtree (children first) and all their components.
		void DestroyEntity(Entity* entity);
		void DestroyEntityTree(Entity* entity);
		void RemoveComponentById(Entity* entity, u64 id);
		void DestroyComponent(Entity* entity, u64 id);

		SafePtr<Entity> Root;
		PoolAllocator<Entity> EntitiesAllocator;
		IterablePoolAllocatorBase* ComponentAllocators[MAX_COMPONENTS_COUNT];
		ComponentBase* WorldComponents[MAX_WORLD_COMPONENTS_COUNT];

		friend Entity* DeferredTaskSystem::SpawnEntityImmediate(World* world);
		friend void DeferredTaskSystem::DestroyEntityImmediate(World* world, Entity* entity);
		friend class DestroyEntityDeferredTask;
	};
} // namespace Vorn
