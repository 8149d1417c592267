#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"

namespace Vorn
{
	// A vertex array and buffer pair for one frame's debug lines. Only the names are created: the user fills
	// the buffer and describes its attributes.
	class DebugRenderingBuffers : public BaseObject
	{
	public:
		DebugRenderingBuffers();
		~DebugRenderingBuffers() override;
		DebugRenderingBuffers(const DebugRenderingBuffers&) = delete;
		DebugRenderingBuffers& operator=(const DebugRenderingBuffers&) = delete;

		u32 GetVAO() const { return VAO; }
		u32 GetVBO() const { return VBO; }

	private:
		u32 VAO = 0;
		u32 VBO = 0;
	};
} // namespace Vorn
