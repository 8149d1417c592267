#pragma once

#include "math/color.hpp"
#include "math/vector.hpp"

// The 3D physics scene's layout and limits, shared with its tests so that both speak of the same pyramid and trigger.
namespace VornSamples::Physics3DSceneLayout
{
	// A square pyramid of unit boxes standing on the ground (y = 0) around the origin: 4x4, 3x3, 2x2, 1.
	inline constexpr int PYRAMID_LAYERS = 4;
	inline constexpr float BOX_SIZE = 1.0f;

	// Where the camera starts: in front of the pyramid, looking at it a little from above.
	inline constexpr Vorn::Vector CAMERA_START = Vorn::Vector(0.0f, 4.0f, 14.0f);
	inline constexpr float CAMERA_PITCH_DEGREES = -10.0f;

	// Past this many shot balls the oldest one is fired again instead of a new one.
	inline constexpr int MAX_BALLS = 10;

	// The trigger: a box volume on the ground beside the pyramid, drawn as a pad whose colour tells whether a body
	// is inside.
	inline constexpr Vorn::Vector TRIGGER_CENTRE = Vorn::Vector(5.5f, 0.0f, 1.5f);
	inline constexpr Vorn::Vector TRIGGER_HALF_EXTENTS = Vorn::Vector(1.5f, 1.0f, 1.5f);
	inline constexpr Vorn::Color TRIGGER_EMPTY_COLOR = Vorn::Color(0.2f, 0.7f, 0.3f);
	inline constexpr Vorn::Color TRIGGER_OCCUPIED_COLOR = Vorn::Color(0.95f, 0.2f, 0.15f);
} // namespace VornSamples::Physics3DSceneLayout
