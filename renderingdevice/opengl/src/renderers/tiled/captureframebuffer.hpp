#pragma once

#include "defines.hpp"

namespace Vorn
{
	// A framebuffer with a square 24-bit depth renderbuffer, made for one capture and deleted with it; the
	// colour target is attached per face or level. Leaves the framebuffer and the renderbuffer bound.
	class CaptureFramebuffer
	{
	public:
		explicit CaptureFramebuffer(i32 size);
		~CaptureFramebuffer();
		CaptureFramebuffer(const CaptureFramebuffer&) = delete;
		CaptureFramebuffer& operator=(const CaptureFramebuffer&) = delete;

		void Bind() const;
		// Reallocates the depth to size x size; the framebuffer must be bound.
		void ResizeDepth(i32 size) const;
		// Attaches `level` of a 2D texture, or of cubemap face `face` (0 = +X ... 5 = -Z), as colour 0; the
		// framebuffer must be bound.
		void AttachTexture(u32 texture, i32 level = 0) const;
		void AttachCubemapFace(u32 cubemap, u32 face, i32 level = 0) const;

	private:
		u32 FBO = 0;
		u32 DepthRenderbuffer = 0;
	};
} // namespace Vorn
