#pragma once

#include "ecs/componentbase.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"
#include "ecs/entity.hpp"
#include "ecs/world.hpp"
#include "utils/check.hpp"

#include <utility>

namespace Vorn
{
	// Structural changes of the world. The immediate forms act at once; DestroyEntity waits for
	// DeferredTaskPhase, so systems still walking pools this frame never see freed cells.
	namespace DeferredTaskSystem
	{
		// A new child of the root.
		Entity* SpawnEntityImmediate(World* world);
		void DestroyEntityImmediate(World* world, Entity* entity);
		// Destroys the entity and its subtree in this frame's deferred task phase.
		void DestroyEntity(World* world, Entity* entity);

		// The new component carries NEWLY_CREATED until the next deferred task phase. The world must
		// have a DeferredTaskWorldComponent.
		template <typename T, typename... Args>
		T* AddComponentImmediate(World* world, Entity* entity, Args&&... args)
		{
			T* component = world->AddComponent<T>(entity, std::forward<Args>(args)...);
			DeferredTaskWorldComponent* deferred = world->GetWorldComponent<DeferredTaskWorldComponent>();
			VORN_CHECK(deferred != nullptr, "DeferredTaskWorldComponent is missing!");
			deferred->GetNewlyCreatedComponents().PushBack(component);
			component->SetFlags(eComponentBaseFlags::NEWLY_CREATED);
			return component;
		}

		// Clears NEWLY_CREATED of this frame's new components, then runs the queued tasks in order,
		// including those scheduled while it runs.
		void DeferredTaskPhase(World* world);
	} // namespace DeferredTaskSystem
} // namespace Vorn
