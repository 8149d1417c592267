#pragma once

#include "collections/dynarray.hpp"
#include "ecs/componentbase.hpp"
#include "ecs/entity.hpp"
#include "memory/safeptr.hpp"

namespace Vorn
{
	class PostprocessSettingsComponent;
}

// The game's own bookkeeping in the world: its camera and the entities it must destroy when it ends.
class GameManagerWorldComponent : public Vorn::ComponentBase
{
public:
	// Empty until DravSystem::CreateCamera makes the camera.
	Vorn::SafePtr<Vorn::Entity> Camera;
	// The camera entity's settings; not owned.
	Vorn::PostprocessSettingsComponent* PostprocessSettings = nullptr;
	// Destroyed by GameManagerSystem::Deinit.
	Vorn::Dynarray<Vorn::SafePtr<Vorn::Entity>> GameEntities;
};
