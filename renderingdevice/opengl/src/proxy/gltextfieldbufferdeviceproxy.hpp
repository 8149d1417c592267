#pragma once

#include "defines.hpp"
#include "rendering/itextfieldbufferdeviceproxy.hpp"

#include <cstddef>

namespace Vorn
{
	// The glyph quads of one screen-space text as two triangles per letter. Vertices are (x, y, 0, 1, u, v) in
	// screen pixels; the buffer is rewritten in full by every SetText.
	class GLTextFieldBufferDeviceProxy : public ITextFieldBufferDeviceProxy
	{
	public:
		// Throws RenderingDeviceProxyCreationFailedException when the vertex array or buffer cannot be created.
		GLTextFieldBufferDeviceProxy();
		~GLTextFieldBufferDeviceProxy() override;
		GLTextFieldBufferDeviceProxy(const GLTextFieldBufferDeviceProxy&) = delete;
		GLTextFieldBufferDeviceProxy& operator=(const GLTextFieldBufferDeviceProxy&) = delete;

		void SetText(std::size_t count, const TextFieldLetter* letters) override;
		unsigned int GetResourceID() const override { return VAO; }
		unsigned int GetResourceSize() const override { return static_cast<unsigned int>(Size); }

	private:
		void DeleteObjects();

		u32 VAO = 0;
		u32 VBO = 0;
		u64 Size = 0;
	};
} // namespace Vorn
