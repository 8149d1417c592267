#include "renderers/overlays/overlays.hpp"

#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "ecs/world.hpp"
#include "glshaderprogram.hpp"
#include "math/aarect.hpp"
#include "math/matrix.hpp"
#include "math/vector.hpp"
#include "math/vector2f.hpp"
#include "primitives/debugrenderingbuffers.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/irenderingdevice.hpp"
#include "rendering/itexturedeviceproxy.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <epoxy/gl.h>

#include <cstdint>
#include <utility>

namespace Vorn
{
	namespace
	{
		constexpr GLsizei LINE_POINT_STRIDE = 3 * sizeof(float);
		constexpr GLsizei LINE_COLOR_STRIDE = 4 * sizeof(float);
		constexpr u64 LINE_POINTS_BYTES = 2 * LINE_POINT_STRIDE;
		constexpr u64 LINE_COLORS_BYTES = 2 * LINE_COLOR_STRIDE;
		constexpr GLsizei VERTICES_PER_LETTER = 6;

		// The whole upload for one frame's lines: every point first, then every colour.
		void UploadLines(DebugDrawStateWorldComponent const& state)
		{
			const u64 lineCount = state.DebugLines.GetSize();
			const u64 pointsBytes = lineCount * LINE_POINTS_BYTES;
			const u64 colorsBytes = state.DebugLinesColors.GetSize() * LINE_COLORS_BYTES;
			glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(pointsBytes + colorsBytes), nullptr, GL_STATIC_DRAW);
			glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(pointsBytes), state.DebugLines.GetData());
			glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(pointsBytes), static_cast<GLsizeiptr>(colorsBytes),
			                state.DebugLinesColors.GetData());
			glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, LINE_POINT_STRIDE, nullptr);
			glEnableVertexAttribArray(0);
			glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, LINE_COLOR_STRIDE,
			                      reinterpret_cast<const void*>(static_cast<std::uintptr_t>(pointsBytes)));
			glEnableVertexAttribArray(1);
		}
	} // namespace

	// The upload copies the arrays as they lie in memory.
	static_assert(sizeof(std::pair<Vector3f, Vector3f>) == LINE_POINTS_BYTES, "debug line points must be packed");
	static_assert(sizeof(std::pair<Color, Color>) == LINE_COLORS_BYTES, "debug line colours must be packed");

	void Overlays::DrawDebugLines(GLShaderProgram& debugShader, u32 framebuffer, World* world,
	                              CameraComponent const& camera)
	{
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		debugShader.BindProgram();
		debugShader.SetUniform("uMVP", camera.GetClipFromWorld());

		if (DebugDrawStateWorldComponent* state = world->GetWorldComponent<DebugDrawStateWorldComponent>())
		{
			if (!state->DebugLines.IsEmpty())
			{
				const DebugRenderingBuffers buffers;
				glBindVertexArray(buffers.GetVAO());
				glBindBuffer(GL_ARRAY_BUFFER, buffers.GetVBO());
				UploadLines(*state);
				glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(2 * state->DebugLines.GetSize()));
				glBindVertexArray(0);
				glBindBuffer(GL_ARRAY_BUFFER, 0);
			}
			state->DebugLines.Clear();
			state->DebugLinesColors.Clear();
		}
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void Overlays::DrawScreenTexts(GLShaderProgram& textShader, u32 framebuffer, World* world,
	                               AARect const& viewportRect, ScreenSize const& screen)
	{
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
		glDisable(GL_DEPTH_TEST);
		glEnable(GL_BLEND);
		glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

		const float width = static_cast<float>(screen.Width);
		const float height = static_cast<float>(screen.Height);
		const Vector2f& min = viewportRect.GetMin();
		const Vector2f& size = viewportRect.GetSize();
		Matrix projection;
		projection.SetOrthographic(height * min.y, height * (min.y + size.y), width * min.x, width * (min.x + size.x),
		                           -1.0f, 1.0f);

		textShader.BindProgram();
		textShader.SetUniform("u_projection", projection);
		for (auto [component] : world->IterateComponents<ScreenSpaceTextComponent>())
		{
			const Text2D& text = component->GetText();
			text.UpdateDeviceBuffers();
			// Only a text with letters has a buffer, and its face is built by then.
			const ITextFieldBufferDeviceProxy* buffer = text.GetTextFieldBuffer();
			if (!buffer)
				continue;
			const ITextureDeviceProxy* atlas = text.GetFontTextureProxy();
			if (!atlas)
				continue;

			textShader.SetUniform("u_textColor", text.GetFontColor());
			const Vector2i& position = component->GetScreenPosition();
			textShader.SetUniform("u_position",
			                      Vector(static_cast<float>(position.x), static_cast<float>(position.y), 0.0f, 1.0f));
			glBindVertexArray(buffer->GetResourceID());
			textShader.BindSampler("uFontAtlas", 0, static_cast<int>(atlas->GetResourceID()));
			glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(buffer->GetResourceSize()) * VERTICES_PER_LETTER);
			glBindVertexArray(0);
		}
		glBindTexture(GL_TEXTURE_2D, 0);

		glDisable(GL_BLEND);
		glEnable(GL_DEPTH_TEST);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}
} // namespace Vorn
