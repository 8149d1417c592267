#include "ecs/deferredtaskworldcomponent.hpp"

#include "ecs/world.hpp"

VORN_DEFINE_WORLD_COMPONENT_TYPE(Vorn::DeferredTaskWorldComponent);

namespace Vorn
{
	void DestroyEntityDeferredTask::Execute(World* world)
	{
		if (Entity* entity = Target.Get())
			world->DestroyEntity(entity);
	}

	DeferredTaskWorldComponent::~DeferredTaskWorldComponent()
	{
		while (!Tasks.IsEmpty())
		{
			delete Tasks.Front();
			Tasks.PopFront();
		}
	}
} // namespace Vorn
