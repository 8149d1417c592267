#pragma once

#include "defines.hpp"

namespace Vorn
{
	class AARect;
	class CameraComponent;
	class GLShaderProgram;
	class World;
	struct ScreenSize;

	// What every renderer draws over its finished, tone-mapped image of a viewport: the frame's debug lines and the
	// world's screen-space texts. Each step binds `framebuffer`, draws, and leaves it unbound with the default
	// blending and depth state, so a renderer calls them wherever its chain has the image in that framebuffer.
	namespace Overlays
	{
		// Draws the world's debug lines with `debugShader` (uniform uMVP) through `camera` and then empties the
		// lists: lines last one frame and show in the first viewport that draws them. A world without debug state
		// draws none.
		void DrawDebugLines(GLShaderProgram& debugShader, u32 framebuffer, World* world, CameraComponent const& camera);

		// Draws every ScreenSpaceTextComponent of the world with `textShader` (u_projection, u_textColor,
		// u_position, uFontAtlas), positions in screen pixels from the bottom-left corner; `viewportRect` is the
		// viewport in fractions of the screen. Texts without letters or without a usable font draw nothing.
		void DrawScreenTexts(GLShaderProgram& textShader, u32 framebuffer, World* world, AARect const& viewportRect,
		                     ScreenSize const& screen);
	} // namespace Overlays
} // namespace Vorn
