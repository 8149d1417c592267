#include "ecs/deferredtasksystem.hpp"

namespace Vorn
{
	namespace DeferredTaskSystem
	{
		namespace
		{
			DeferredTaskWorldComponent* GetDeferredTasks(World* world)
			{
				DeferredTaskWorldComponent* deferred = world->GetWorldComponent<DeferredTaskWorldComponent>();
				VORN_CHECK(deferred != nullptr, "DeferredTaskWorldComponent is missing!");
				return deferred;
			}
		} // namespace

		Entity* SpawnEntityImmediate(World* world) { return world->SpawnEntity(); }

		void DestroyEntityImmediate(World* world, Entity* entity) { world->DestroyEntity(entity); }

		void DestroyEntity(World* world, Entity* entity)
		{
			GetDeferredTasks(world)->ScheduleTask(new DestroyEntityDeferredTask(entity));
		}

		void DeferredTaskPhase(World* world)
		{
			DeferredTaskWorldComponent* deferred = GetDeferredTasks(world);

			Dynarray<ComponentBase*>& newlyCreated = deferred->GetNewlyCreatedComponents();
			for (ComponentBase* component : newlyCreated)
				component->ResetFlags(eComponentBaseFlags::NEWLY_CREATED);
			newlyCreated.Clear();

			Queue<DeferredTaskBase*>& tasks = deferred->GetTasks();
			while (!tasks.IsEmpty())
			{
				DeferredTaskBase* task = tasks.Front();
				VORN_CHECK(task != nullptr, "The task doesn't exist!");
				task->Execute(world);
				tasks.PopFront();
				delete task;
			}
		}
	} // namespace DeferredTaskSystem
} // namespace Vorn
