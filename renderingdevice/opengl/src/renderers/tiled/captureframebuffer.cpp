#include "renderers/tiled/captureframebuffer.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	CaptureFramebuffer::CaptureFramebuffer(i32 size)
	{
		glGenFramebuffers(1, &FBO);
		glGenRenderbuffers(1, &DepthRenderbuffer);
		glBindFramebuffer(GL_FRAMEBUFFER, FBO);
		glBindRenderbuffer(GL_RENDERBUFFER, DepthRenderbuffer);
		glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size, size);
		glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, DepthRenderbuffer);
	}

	CaptureFramebuffer::~CaptureFramebuffer()
	{
		glDeleteRenderbuffers(1, &DepthRenderbuffer);
		glDeleteFramebuffers(1, &FBO);
	}

	void CaptureFramebuffer::Bind() const { glBindFramebuffer(GL_FRAMEBUFFER, FBO); }

	void CaptureFramebuffer::ResizeDepth(i32 size) const
	{
		glBindRenderbuffer(GL_RENDERBUFFER, DepthRenderbuffer);
		glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size, size);
	}

	void CaptureFramebuffer::AttachTexture(u32 texture, i32 level) const
	{
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level);
	}

	void CaptureFramebuffer::AttachCubemapFace(u32 cubemap, u32 face, i32 level) const
	{
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, cubemap,
		                       level);
	}
} // namespace Vorn
