#pragma once

#include "math/color.hpp"
#include "math/vector.hpp"
#include "math/vector2i.hpp"
#include "utils/string.hpp"

#include <cstddef>

namespace Vorn
{
	class World;

	// Debug shapes and texts for one frame. Shapes become coloured world-space lines that the device draws over the
	// tone-mapped image and then removes; texts are shown through a pool of text entities. Everything here is active
	// only while a viewport's camera is in DEBUG_DRAW mode (F10): otherwise every call returns at once. The world
	// must have a DebugDrawStateWorldComponent (the engine gives one to its world).
	namespace DebugDrawSystem
	{
		// The font of every debug text, under the engine assets.
		inline constexpr const char* DEBUG_FONT_PATH = "Fonts/Raleway/Raleway-Regular.ttf";

		void DrawLine(World* world, const Vector& start, const Vector& end, const Color& color);
		// An axis-aligned box between two corners: 12 lines.
		void DrawBox(World* world, const Vector& mins, const Vector& maxs, const Color& color);
		// 24 segments in the plane through `center` normal to `normal`, and an arrow from the centre to where the
		// circle starts.
		void DrawCircle(World* world, const Vector& center, float radius, Vector normal, const Color& color);
		// Three circles, about X, Y and Z.
		void DrawSphere(World* world, const Vector& center, float radius, const Color& color);
		// A shaft of half the direction's length and a cone head of radius and length 0.5 beyond it.
		void DrawArrow(World* world, Vector start, Vector direction, const Color& color);
		void DrawText2D(World* world, const Vector2i& screenPosition, String text, std::size_t fontSize,
		                const Color& color);

		// Decides whether debug drawing is active this frame, shows the collected texts and adds the automatic
		// drawings of entities with a DebugDrawableComponent: mesh bounds, 2D body velocities and directional lights.
		// Leaving debug mode blanks the text entities, so no debug text stays on the screen.
		void DebugRenderingUpdatePhase(World* world);
	} // namespace DebugDrawSystem
} // namespace Vorn
