#include "gamemanagersystem.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "gamemanagerworldcomponent.hpp"
#include "utils/console.hpp"

using namespace Vorn;

void GameManagerSystem::Deinit(World* world)
{
	gConsole.LogInfo("GameManagerSystem::Deinit");
	GameManagerWorldComponent* gameManager = world->GetWorldComponent<GameManagerWorldComponent>();
	for (const SafePtr<Entity>& entity : gameManager->GameEntities)
		if (Entity* live = entity.Get())
			DeferredTaskSystem::DestroyEntity(world, live);
}
