#pragma once

// The 2D physics scene's layout and limits, shared with its tests so that both speak of the same container.
namespace VornSamples::Physics2DSceneLayout
{
	// The inside of the container on the X/Y plane: the floor's top and the walls' inner faces.
	inline constexpr float INNER_LEFT = -5.0f;
	inline constexpr float INNER_RIGHT = 5.0f;
	inline constexpr float FLOOR_TOP = -4.0f;
	inline constexpr float WALL_TOP = 3.0f;

	// Poured from above the container when the scene starts.
	inline constexpr int POURED_AT_START = 60;
	// Poured by one press of space.
	inline constexpr int POURED_BY_SPACE = 10;
	// Past this many bodies a drop lifts the oldest body instead of making a new one; the container holds them all.
	inline constexpr int MAX_BODIES = 100;
} // namespace VornSamples::Physics2DSceneLayout
