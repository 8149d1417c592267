#include "pathfinding/pathfindingcomponent.hpp"

VORN_DEFINE_COMPONENT_TYPE(Vorn::PathfindingComponent);

namespace Vorn
{
	void PathfindingComponent::SetDestination(const Vector& destination)
	{
		if (!CurrentDestination.HasValue() || CurrentDestination.Value() != destination)
			RecalculateRequested = true;
		CurrentDestination = destination;
	}

	void PathfindingComponent::ResetDestination()
	{
		CurrentDestination.Reset();
		CalculatedPath.Clear();
		RecalculateRequested = false;
	}
} // namespace Vorn
