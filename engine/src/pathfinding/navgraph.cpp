#include "pathfinding/navgraph.hpp"

namespace Vorn
{
	NavNode::~NavNode() = default;
	NavGraph::~NavGraph() = default;
} // namespace Vorn
