#pragma once

#include "collections/dynarray.hpp"
#include "ecs/componentbase.hpp"
#include "math/vector.hpp"
#include "utils/optional.hpp"

namespace Vorn
{
	class NavGraph;
	class World;

	namespace PathfindingSystem
	{
		void UpdatePhase(World* world);
	}

	// Finds its entity's way over a navigation graph. After SetDestination changed the destination, the next
	// pathfinding phase searches from the entity's global translation and stores the straightened path as world
	// positions: the entity's position first, the destination last. The engine does not move the entity; games
	// follow GetPath() themselves.
	class PathfindingComponent : public ComponentBase
	{
	public:
		// `graph` is not owned and must outlive the component.
		explicit PathfindingComponent(const NavGraph* graph) : NavigationGraph(graph) {}

		// Searches again only when the destination is new or differs from the current one.
		void SetDestination(const Vector& destination);
		// Forgets the destination and the path; a later SetDestination searches again, even to the old place.
		void ResetDestination();
		// The last path found; a search that finds none leaves it as it was.
		const Dynarray<Vector>& GetPath() const { return CalculatedPath; }
		const NavGraph* GetNavigationGraph() const { return NavigationGraph; }

	private:
		const NavGraph* NavigationGraph;
		Dynarray<Vector> CalculatedPath;
		Optional<Vector> CurrentDestination;
		bool RecalculateRequested = false;

		friend void PathfindingSystem::UpdatePhase(World* world);
	};
} // namespace Vorn

VORN_DECLARE_COMPONENT_TYPE(Vorn::PathfindingComponent);
