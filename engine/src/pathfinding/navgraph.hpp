#pragma once

#include "collections/dynarray.hpp"
#include "math/vector.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	// A place an agent can be in, as a navigation graph sees it. Graphs derive their own nodes from it; the search
	// only compares nodes by address.
	class NavNode : public BaseObject
	{
	public:
		~NavNode() override;
	};

	// What the pathfinding search asks of a game's world: nodes, their connections, costs and positions. Every
	// operation is read-only; the graph must outlive the components that use it.
	class NavGraph : public BaseObject
	{
	public:
		~NavGraph() override;

		// Cost of moving from `from` to `to` along a connection.
		virtual float GetTravelCost(const NavNode* from, const NavNode* to) const = 0;
		// Estimated remaining cost from `from` to `to`. Paths are the cheapest only while it never overestimates.
		virtual float GetHeuristicCost(const NavNode* from, const NavNode* to) const = 0;
		virtual Vector GetNodeWorldPosition(const NavNode* node) const = 0;
		// The node containing the position, or null when there is none.
		virtual const NavNode* GetNodeFromWorldPosition(const Vector& position) const = 0;
		// Appends the nodes reachable from `node` to `out`.
		virtual void GetConnections(const NavNode* node, Dynarray<const NavNode*>& out) const = 0;
		// Whether an agent can go in a straight line from `from` to `to`; used to straighten paths.
		virtual bool IsDirectConnection(const NavNode* from, const NavNode* to) const = 0;
	};
} // namespace Vorn
