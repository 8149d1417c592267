#include "pathfinding/gridnavgraph.hpp"

#include "utils/check.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Vorn
{
	namespace
	{
		constexpr float DIAGONAL = 1.41421356f;

		i64 FloorDivide(i64 numerator, i64 denominator)
		{
			const i64 quotient = numerator / denominator;
			return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? quotient - 1 : quotient;
		}

		// The eight neighbours: the four sides first, then the diagonals.
		constexpr i32 STEPS[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
	} // namespace

	GridNavGraph::GridNavGraph(i32 width, i32 depth, float cellSize, const Vector& origin)
	    : Width(std::max(width, 1)), Depth(std::max(depth, 1)), CellSize(cellSize > 0.0f ? cellSize : 1.0f),
	      Origin(origin)
	{
		const u64 count = static_cast<u64>(Width) * static_cast<u64>(Depth);
		Cells.Reserve(count);
		Walkable.Reserve(count);
		CostMultipliers.Reserve(count);
		for (i32 z = 0; z < Depth; ++z)
			for (i32 x = 0; x < Width; ++x)
			{
				Cells.PushBack(Cell(x, z));
				Walkable.PushBack(true);
				CostMultipliers.PushBack(1.0f);
			}
	}

	GridNavGraph::~GridNavGraph() = default;

	void GridNavGraph::SetWalkable(i32 x, i32 z, bool isWalkable)
	{
		if (IsInside(x, z))
			Walkable[IndexOf(x, z)] = isWalkable;
	}

	bool GridNavGraph::IsWalkable(i32 x, i32 z) const { return IsInside(x, z) && Walkable[IndexOf(x, z)]; }

	void GridNavGraph::SetCostMultiplier(i32 x, i32 z, float multiplier)
	{
		if (IsInside(x, z))
			CostMultipliers[IndexOf(x, z)] = multiplier >= 1.0f ? multiplier : 1.0f;
	}

	float GridNavGraph::GetCostMultiplier(i32 x, i32 z) const
	{
		return IsInside(x, z) ? CostMultipliers[IndexOf(x, z)] : 1.0f;
	}

	const NavNode* GridNavGraph::GetNode(i32 x, i32 z) const
	{
		return IsWalkable(x, z) ? &Cells[IndexOf(x, z)] : nullptr;
	}

	void GridNavGraph::GetCell(const NavNode* node, i32& x, i32& z) const
	{
		const Cell& cell = CellOf(node);
		x = cell.X;
		z = cell.Z;
	}

	float GridNavGraph::GetTravelCost(const NavNode* from, const NavNode* to) const
	{
		const Cell& a = CellOf(from);
		const Cell& b = CellOf(to);
		const bool isDiagonal = a.X != b.X && a.Z != b.Z;
		const float multiplier = 0.5f * (CostMultipliers[IndexOf(a.X, a.Z)] + CostMultipliers[IndexOf(b.X, b.Z)]);
		return (isDiagonal ? DIAGONAL : 1.0f) * CellSize * multiplier;
	}

	float GridNavGraph::GetHeuristicCost(const NavNode* from, const NavNode* to) const
	{
		const Cell& a = CellOf(from);
		const Cell& b = CellOf(to);
		const float dx = static_cast<float>(std::abs(a.X - b.X));
		const float dz = static_cast<float>(std::abs(a.Z - b.Z));
		return (std::max(dx, dz) + (DIAGONAL - 1.0f) * std::min(dx, dz)) * CellSize;
	}

	Vector GridNavGraph::GetNodeWorldPosition(const NavNode* node) const
	{
		const Cell& cell = CellOf(node);
		return Vector(Origin.x + (static_cast<float>(cell.X) + 0.5f) * CellSize, Origin.y,
		              Origin.z + (static_cast<float>(cell.Z) + 0.5f) * CellSize);
	}

	const NavNode* GridNavGraph::GetNodeFromWorldPosition(const Vector& position) const
	{
		const float x = std::floor((position.x - Origin.x) / CellSize);
		const float z = std::floor((position.z - Origin.z) / CellSize);
		// Also refuses NaN and positions too far away for an i32.
		if (!(x >= 0.0f && z >= 0.0f && x < static_cast<float>(Width) && z < static_cast<float>(Depth)))
			return nullptr;
		return GetNode(static_cast<i32>(x), static_cast<i32>(z));
	}

	void GridNavGraph::GetConnections(const NavNode* node, Dynarray<const NavNode*>& out) const
	{
		const Cell& cell = CellOf(node);
		for (const auto& step : STEPS)
		{
			const i32 x = cell.X + step[0];
			const i32 z = cell.Z + step[1];
			if (!IsWalkable(x, z))
				continue;
			if (step[0] != 0 && step[1] != 0 && (!IsWalkable(cell.X + step[0], cell.Z) || !IsWalkable(cell.X, z)))
				continue;
			out.PushBack(&Cells[IndexOf(x, z)]);
		}
	}

	bool GridNavGraph::IsDirectConnection(const NavNode* from, const NavNode* to) const
	{
		// The cells a straight line from anywhere in one cell to anywhere in the other can pass through are those
		// the unit square swept along the segment between the cells' corners overlaps. Row by row, in cell units
		// scaled by the rows crossed so that everything stays an exact integer: the sweep's squares overlapping row
		// r are those at sweep times t * rows in (a, b), which puts their left edges between ax * rows +
		// columns * t.
		const Cell& a = CellOf(from);
		const Cell& b = CellOf(to);
		const i64 columns = b.X - a.X;
		const i64 rows = b.Z - a.Z;
		if (rows == 0)
		{
			for (i32 x = std::min(a.X, b.X); x <= std::max(a.X, b.X); ++x)
				if (!IsWalkable(x, a.Z))
					return false;
			return true;
		}
		const i64 scale = std::abs(rows);
		const i64 sign = rows > 0 ? 1 : -1;
		for (i32 r = std::min(a.Z, b.Z); r <= std::max(a.Z, b.Z); ++r)
		{
			const i64 enter = (r - 1 - a.Z) * sign;
			const i64 leave = (r + 1 - a.Z) * sign;
			const i64 first = std::max<i64>(0, std::min(enter, leave));
			const i64 last = std::min<i64>(scale, std::max(enter, leave));
			const i64 left = a.X * scale + std::min(columns * first, columns * last);
			const i64 right = a.X * scale + std::max(columns * first, columns * last) + scale;
			// Columns c with c * scale < right and (c + 1) * scale > left.
			const i64 firstColumn = FloorDivide(left, scale);
			const i64 lastColumn = -FloorDivide(-right, scale) - 1;
			for (i64 c = firstColumn; c <= lastColumn; ++c)
				if (!IsWalkable(static_cast<i32>(c), r))
					return false;
		}
		return true;
	}
} // namespace Vorn
