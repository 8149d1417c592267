#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

// Helpers for tests that draw into textures and read the result back.
namespace OffscreenDrawing
{
	using Pixel = std::array<std::uint8_t, 4>;

	struct TexturePixels
	{
		GLint Width = 0;
		GLint Height = 0;
		std::vector<std::uint8_t> Bytes; // RGBA rows, bottom row first

		Pixel At(int x, int y) const
		{
			const std::size_t offset = (static_cast<std::size_t>(y) * Width + x) * 4;
			return {Bytes[offset], Bytes[offset + 1], Bytes[offset + 2], Bytes[offset + 3]};
		}

		// Of the colour channels of every pixel.
		long Sum() const
		{
			long sum = 0;
			for (std::size_t i = 0; i < Bytes.size(); ++i)
				sum += (i % 4 == 3) ? 0 : Bytes[i];
			return sum;
		}
	};

	inline int Brightness(const Pixel& pixel) { return pixel[0] + pixel[1] + pixel[2]; }

	inline GLint TextureLevelParameter(GLuint texture, GLenum parameter)
	{
		GLint value = 0;
		glBindTexture(GL_TEXTURE_2D, texture);
		glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
		glBindTexture(GL_TEXTURE_2D, 0);
		return value;
	}

	inline GLint TextureParameter(GLuint texture, GLenum parameter)
	{
		GLint value = 0;
		glBindTexture(GL_TEXTURE_2D, texture);
		glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
		glBindTexture(GL_TEXTURE_2D, 0);
		return value;
	}

	// Level 0 of a colour texture as RGBA bytes.
	inline TexturePixels ReadTexture(GLuint texture)
	{
		TexturePixels pixels;
		pixels.Width = TextureLevelParameter(texture, GL_TEXTURE_WIDTH);
		pixels.Height = TextureLevelParameter(texture, GL_TEXTURE_HEIGHT);
		pixels.Bytes.assign(static_cast<std::size_t>(pixels.Width) * pixels.Height * 4, 0);
		glBindTexture(GL_TEXTURE_2D, texture);
		glPixelStorei(GL_PACK_ALIGNMENT, 1);
		glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.Bytes.data());
		glBindTexture(GL_TEXTURE_2D, 0);
		return pixels;
	}

	// What the framebuffer bound for reading holds, from its bottom-left corner.
	inline TexturePixels ReadFramebuffer(GLint width, GLint height)
	{
		TexturePixels pixels;
		pixels.Width = width;
		pixels.Height = height;
		pixels.Bytes.assign(static_cast<std::size_t>(width) * height * 4, 0);
		glPixelStorei(GL_PACK_ALIGNMENT, 1);
		glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.Bytes.data());
		return pixels;
	}

	// A 2D texture with nearest filtering and edge clamping, level 0 from `data` (floats in `format`; none leaves
	// it undefined). Delete it with glDeleteTextures.
	inline GLuint CreateFloatTexture(int width, int height, GLenum internalFormat, GLenum format, const float* data)
	{
		GLuint texture = 0;
		glGenTextures(1, &texture);
		glBindTexture(GL_TEXTURE_2D, texture);
		glTexImage2D(GL_TEXTURE_2D, 0, GLint(internalFormat), width, height, 0, format, GL_FLOAT, data);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
		glBindTexture(GL_TEXTURE_2D, 0);
		return texture;
	}

	// A framebuffer around one colour texture, cleared to `clear`, left bound for drawing with a viewport
	// covering the texture. Delete it with glDeleteFramebuffers.
	inline GLuint BindColorTexture(GLuint texture, const std::array<float, 4>& clear)
	{
		GLuint framebuffer = 0;
		glGenFramebuffers(1, &framebuffer);
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
		glViewport(0, 0, TextureLevelParameter(texture, GL_TEXTURE_WIDTH),
		           TextureLevelParameter(texture, GL_TEXTURE_HEIGHT));
		glClearColor(clear[0], clear[1], clear[2], clear[3]);
		glClear(GL_COLOR_BUFFER_BIT);
		return framebuffer;
	}

	// Clears `texture` to zero and runs `draw` with it as the colour target of a framebuffer made for the purpose.
	template <typename Draw>
	void DrawInto(GLuint texture, Draw draw)
	{
		const GLuint framebuffer = BindColorTexture(texture, {0.0f, 0.0f, 0.0f, 0.0f});
		draw();
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glDeleteFramebuffers(1, &framebuffer);
	}

	// Channels within `tolerance` of each other; alpha is compared only when `compareAlpha`.
	inline testing::AssertionResult IsPixel(const Pixel& actual, const Pixel& expected, int tolerance = 1,
	                                        bool compareAlpha = true)
	{
		for (std::size_t i = 0; i < (compareAlpha ? 4u : 3u); ++i)
		{
			if (std::abs(int(actual[i]) - int(expected[i])) > tolerance)
				return testing::AssertionFailure()
				       << "pixel (" << int(actual[0]) << ", " << int(actual[1]) << ", " << int(actual[2]) << ", "
				       << int(actual[3]) << ") instead of (" << int(expected[0]) << ", " << int(expected[1]) << ", "
				       << int(expected[2]) << ", " << int(expected[3]) << ")";
		}
		return testing::AssertionSuccess();
	}
} // namespace OffscreenDrawing
