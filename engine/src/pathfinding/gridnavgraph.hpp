#pragma once

#include "collections/dynarray.hpp"
#include "defines.hpp"
#include "math/vector.hpp"
#include "pathfinding/navgraph.hpp"

namespace Vorn
{
	// A navigation graph over a rectangular grid of square cells on the X/Z plane, ready for games whose agents
	// walk on a floor.
	//
	// - Cell (x, z), for 0 <= x < width and 0 <= z < depth, covers world X from origin.x + x * cellSize to
	//   origin.x + (x + 1) * cellSize, and Z likewise from origin.z; its node's position is the cell's centre at the
	//   origin's height. The world Y of a position is ignored when finding its cell.
	// - Every cell starts walkable. Blocked cells are no nodes: a position in one, or outside the grid, has none.
	// - Connections are 8-way, to the walkable neighbours; a diagonal step also needs both cells beside it to be
	//   walkable, so agents never cut a blocked corner.
	// - Travel cost between neighbours is the distance between their centres times the mean of the two cells' cost
	//   multipliers (1 by default; a multiplier below 1 is raised to 1, so the heuristic never overestimates).
	// - The heuristic is the octile distance: the cheapest 8-way walk over an empty grid, exact between neighbours.
	// - A direct connection exists when every cell that a straight line from anywhere in the first cell to anywhere
	//   in the second can pass through is walkable. Agents and destinations lie anywhere in their cells, so a
	//   straightened path never crosses a blocked cell whichever points of the cells it joins; it also means a
	//   diagonal shortcut needs a corridor as wide as a cell (it includes the centre-to-centre line's cells).
	//
	// Node pointers stay valid as long as the graph; its size is fixed at construction.
	class GridNavGraph : public NavGraph
	{
	public:
		// A size below 1 cell is raised to 1, and a cell size that is not positive becomes 1.
		GridNavGraph(i32 width, i32 depth, float cellSize, const Vector& origin);
		~GridNavGraph() override;
		GridNavGraph(const GridNavGraph&) = delete;
		GridNavGraph& operator=(const GridNavGraph&) = delete;

		i32 GetWidth() const { return Width; }
		i32 GetDepth() const { return Depth; }
		float GetCellSize() const { return CellSize; }

		// Cells outside the grid are ignored by the setters and read as blocked.
		void SetWalkable(i32 x, i32 z, bool isWalkable);
		bool IsWalkable(i32 x, i32 z) const;
		void SetCostMultiplier(i32 x, i32 z, float multiplier);
		float GetCostMultiplier(i32 x, i32 z) const;

		// The node of a walkable cell; null for a blocked cell or one outside the grid.
		const NavNode* GetNode(i32 x, i32 z) const;
		// The cell of one of this graph's nodes.
		void GetCell(const NavNode* node, i32& x, i32& z) const;

		float GetTravelCost(const NavNode* from, const NavNode* to) const override;
		float GetHeuristicCost(const NavNode* from, const NavNode* to) const override;
		Vector GetNodeWorldPosition(const NavNode* node) const override;
		const NavNode* GetNodeFromWorldPosition(const Vector& position) const override;
		void GetConnections(const NavNode* node, Dynarray<const NavNode*>& out) const override;
		bool IsDirectConnection(const NavNode* from, const NavNode* to) const override;

	private:
		class Cell : public NavNode
		{
		public:
			Cell(i32 x, i32 z) : X(x), Z(z) {}
			i32 X;
			i32 Z;
		};

		bool IsInside(i32 x, i32 z) const { return x >= 0 && z >= 0 && x < Width && z < Depth; }
		u64 IndexOf(i32 x, i32 z) const { return static_cast<u64>(z) * static_cast<u64>(Width) + static_cast<u64>(x); }
		const Cell& CellOf(const NavNode* node) const { return *static_cast<const Cell*>(node); }

		i32 Width;
		i32 Depth;
		float CellSize;
		Vector Origin;
		Dynarray<Cell> Cells;
		Dynarray<bool> Walkable;
		Dynarray<float> CostMultipliers;
	};
} // namespace Vorn
