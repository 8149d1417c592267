#pragma once

#include "defines.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	// Free an OpenGL object the caller holds by name and forget the name, so freeing twice is harmless and a
	// rebuild starts from zero. A name of 0 frees nothing.
	inline void DeleteTexture(u32& texture)
	{
		if (texture != 0)
			glDeleteTextures(1, &texture);
		texture = 0;
	}

	inline void DeleteFramebuffer(u32& framebuffer)
	{
		if (framebuffer != 0)
			glDeleteFramebuffers(1, &framebuffer);
		framebuffer = 0;
	}

	inline void DeleteRenderbuffer(u32& renderbuffer)
	{
		if (renderbuffer != 0)
			glDeleteRenderbuffers(1, &renderbuffer);
		renderbuffer = 0;
	}

	inline void DeleteBuffer(u32& buffer)
	{
		if (buffer != 0)
			glDeleteBuffers(1, &buffer);
		buffer = 0;
	}
} // namespace Vorn
