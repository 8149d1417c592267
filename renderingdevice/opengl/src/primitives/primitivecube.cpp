#include "primitives/primitivecube.hpp"

#include "utils/check.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	namespace
	{
		// Two triangles per face, three positions per vertex.
		constexpr float CUBE_VERTICES[PrimitiveCube::VERTEX_COUNT * 3] = {
		    -1.0f, 1.0f,  -1.0f, -1.0f, -1.0f, -1.0f, 1.0f,  -1.0f, -1.0f, //
		    1.0f,  -1.0f, -1.0f, 1.0f,  1.0f,  -1.0f, -1.0f, 1.0f,  -1.0f, //
		    -1.0f, -1.0f, 1.0f,  -1.0f, -1.0f, -1.0f, -1.0f, 1.0f,  -1.0f, //
		    -1.0f, 1.0f,  -1.0f, -1.0f, 1.0f,  1.0f,  -1.0f, -1.0f, 1.0f,  //
		    1.0f,  -1.0f, -1.0f, 1.0f,  -1.0f, 1.0f,  1.0f,  1.0f,  1.0f,  //
		    1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  -1.0f, 1.0f,  -1.0f, -1.0f, //
		    -1.0f, -1.0f, 1.0f,  -1.0f, 1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  //
		    1.0f,  1.0f,  1.0f,  1.0f,  -1.0f, 1.0f,  -1.0f, -1.0f, 1.0f,  //
		    -1.0f, 1.0f,  -1.0f, 1.0f,  1.0f,  -1.0f, 1.0f,  1.0f,  1.0f,  //
		    1.0f,  1.0f,  1.0f,  -1.0f, 1.0f,  1.0f,  -1.0f, 1.0f,  -1.0f, //
		    -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, 1.0f,  1.0f,  -1.0f, -1.0f, //
		    1.0f,  -1.0f, -1.0f, -1.0f, -1.0f, 1.0f,  1.0f,  -1.0f, 1.0f,  //
		};
	} // namespace

	PrimitiveCube::PrimitiveCube()
	{
		glGenVertexArrays(1, &VAO);
		VORN_CHECK(VAO != 0, "PrimitiveCube VAO creation failed!");
		glBindVertexArray(VAO);

		glGenBuffers(1, &VBO);
		VORN_CHECK(VBO != 0, "PrimitiveCube VBO creation failed!");
		glBindBuffer(GL_ARRAY_BUFFER, VBO);
		glBufferData(GL_ARRAY_BUFFER, sizeof(CUBE_VERTICES), CUBE_VERTICES, GL_STATIC_DRAW);

		glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
		glEnableVertexAttribArray(0);

		glBindBuffer(GL_ARRAY_BUFFER, 0);
		glBindVertexArray(0);
	}

	PrimitiveCube::~PrimitiveCube()
	{
		glDeleteBuffers(1, &VBO);
		glDeleteVertexArrays(1, &VAO);
	}

	void PrimitiveCube::Draw() const
	{
		glBindVertexArray(VAO);
		glDrawArrays(GL_TRIANGLES, 0, VERTEX_COUNT);
		glBindVertexArray(0);
	}
} // namespace Vorn
