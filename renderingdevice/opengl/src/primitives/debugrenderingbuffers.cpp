#include "primitives/debugrenderingbuffers.hpp"

#include "utils/check.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	DebugRenderingBuffers::DebugRenderingBuffers()
	{
		glGenVertexArrays(1, &VAO);
		VORN_CHECK(VAO != 0, "DebugRenderingBuffers VAO creation failed!");
		glGenBuffers(1, &VBO);
		VORN_CHECK(VBO != 0, "DebugRenderingBuffers VBO creation failed!");
	}

	DebugRenderingBuffers::~DebugRenderingBuffers()
	{
		glDeleteBuffers(1, &VBO);
		glDeleteVertexArrays(1, &VAO);
	}
} // namespace Vorn
