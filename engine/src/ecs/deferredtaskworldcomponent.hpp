#pragma once

#include "collections/dynarray.hpp"
#include "collections/queue.hpp"
#include "ecs/componentbase.hpp"
#include "ecs/componentidgenerator.hpp"
#include "memory/baseobject.hpp"
#include "memory/safeptr.hpp"

namespace Vorn
{
	class World;

	// Structural change that must wait for the deferred task phase near the end of the frame.
	class DeferredTaskBase : public BaseObject
	{
	public:
		~DeferredTaskBase() override = default;
		virtual void Execute(World* world) = 0;
		virtual const char* GetDescription() const = 0;
	};

	// Holds a handle rather than the entity, so destroying an entity twice in a frame is harmless.
	class DestroyEntityDeferredTask : public DeferredTaskBase
	{
	public:
		explicit DestroyEntityDeferredTask(Entity* entity) : Target(entity) {}

		void Execute(World* world) override;
		const char* GetDescription() const override { return "Destroy entity"; }

	private:
		SafePtr<Entity> Target;
	};

	class DeferredTaskWorldComponent : public ComponentBase
	{
	public:
		DeferredTaskWorldComponent() = default;
		~DeferredTaskWorldComponent() override;
		DeferredTaskWorldComponent(const DeferredTaskWorldComponent&) = delete;
		DeferredTaskWorldComponent& operator=(const DeferredTaskWorldComponent&) = delete;

		// Takes ownership of the task.
		void ScheduleTask(DeferredTaskBase* task) { Tasks.PushBack(task); }

		Queue<DeferredTaskBase*>& GetTasks() { return Tasks; }
		Dynarray<ComponentBase*>& GetNewlyCreatedComponents() { return NewlyCreatedComponents; }

	private:
		Queue<DeferredTaskBase*> Tasks;
		Dynarray<ComponentBase*> NewlyCreatedComponents;
	};
} // namespace Vorn

VORN_DECLARE_WORLD_COMPONENT_TYPE(Vorn::DeferredTaskWorldComponent);
