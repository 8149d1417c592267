#pragma once

#include "math/vector.hpp"

// The floor of the pathfinding scene, shared with its tests so that they judge the agents by the layout the player
// sees rather than by the scene's own navigation graph.
namespace VornSamples::PathfindingLayout
{
	inline constexpr int WIDTH = 16;
	inline constexpr int DEPTH = 10;
	inline constexpr float CELL_SIZE = 1.0f;
	// The corner of cell (0, 0); the floor is centred on the world origin.
	inline constexpr Vorn::Vector ORIGIN = Vorn::Vector(-8.0f, 0.0f, -5.0f);

	// Row z = 0 first: the far side of the floor as the camera sees it, at -Z. '#' is a block. Every floor cell can
	// reach every other.
	inline constexpr const char* ROWS[DEPTH] = {
	    "................", //
	    "..###.....####..", //
	    "....#.........#.", //
	    "....#..##.....#.", //
	    ".####...#..##.#.", //
	    "........#...#...", //
	    "..#.....#####...", //
	    "..#..#..........", //
	    "..####....###...", //
	    "................", //
	};

	inline constexpr int AGENT_COUNT = 8;

	// Cells outside the floor count as blocked.
	inline bool IsBlocked(int x, int z) { return x < 0 || z < 0 || x >= WIDTH || z >= DEPTH || ROWS[z][x] == '#'; }
} // namespace VornSamples::PathfindingLayout
