#include "primitives/primitivequad.hpp"

#include "utils/check.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	PrimitiveQuad::PrimitiveQuad()
	{
		glGenVertexArrays(1, &VAO);
		VORN_CHECK(VAO != 0, "PrimitiveQuad VAO creation failed!");
		glBindVertexArray(VAO);

		glGenBuffers(1, &VBO);
		VORN_CHECK(VBO != 0, "PrimitiveQuad VBO creation failed!");
		glBindBuffer(GL_ARRAY_BUFFER, VBO);
		glBufferData(GL_ARRAY_BUFFER, sizeof(VERTICES), VERTICES, GL_STATIC_DRAW);

		constexpr GLsizei stride = FLOATS_PER_VERTEX * sizeof(float);
		glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
		glEnableVertexAttribArray(0);
		glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
		glEnableVertexAttribArray(1);

		glBindBuffer(GL_ARRAY_BUFFER, 0);
		glBindVertexArray(0);
	}

	PrimitiveQuad::~PrimitiveQuad()
	{
		glDeleteBuffers(1, &VBO);
		glDeleteVertexArrays(1, &VAO);
	}

	void PrimitiveQuad::Draw() const
	{
		glBindVertexArray(VAO);
		glDrawArrays(GL_TRIANGLES, 0, VERTEX_COUNT);
		glBindVertexArray(0);
	}
} // namespace Vorn
