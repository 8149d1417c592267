#pragma once

namespace Vorn
{
	class World;
}

namespace GameManagerSystem
{
	// Schedules the destruction of the game's entities that still exist.
	void Deinit(Vorn::World* world);
} // namespace GameManagerSystem
