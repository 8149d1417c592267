#include "proxy/gltextfieldbufferdeviceproxy.hpp"

#include "collections/dynarray.hpp"
#include "rendering/irenderingdevice.hpp"
#include "utils/check.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	namespace
	{
		constexpr u64 VERTICES_PER_LETTER = 6;
		constexpr u64 FLOATS_PER_VERTEX = 6;
		constexpr GLsizei VERTEX_STRIDE = FLOATS_PER_VERTEX * sizeof(float);

		void AppendVertex(Dynarray<float>& vertices, float x, float y, float u, float v)
		{
			for (float value : {x, y, 0.0f, 1.0f, u, v})
				vertices.PushBack(value);
		}
	} // namespace

	GLTextFieldBufferDeviceProxy::GLTextFieldBufferDeviceProxy()
	{
		glGenVertexArrays(1, &VAO);
		glGenBuffers(1, &VBO);
		if (VAO == 0 || VBO == 0)
		{
			DeleteObjects();
			throw RenderingDeviceProxyCreationFailedException();
		}

		glBindVertexArray(VAO);
		glBindBuffer(GL_ARRAY_BUFFER, VBO);
		glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, VERTEX_STRIDE, nullptr);
		glEnableVertexAttribArray(0);
		glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, VERTEX_STRIDE,
		                      reinterpret_cast<const void*>(4 * sizeof(float)));
		glEnableVertexAttribArray(1);
		glBindVertexArray(0);
		glBindBuffer(GL_ARRAY_BUFFER, 0);
	}

	GLTextFieldBufferDeviceProxy::~GLTextFieldBufferDeviceProxy() { DeleteObjects(); }

	void GLTextFieldBufferDeviceProxy::DeleteObjects()
	{
		if (VBO)
			glDeleteBuffers(1, &VBO);
		if (VAO)
			glDeleteVertexArrays(1, &VAO);
		VBO = 0;
		VAO = 0;
	}

	void GLTextFieldBufferDeviceProxy::SetText(std::size_t count, const TextFieldLetter* letters)
	{
		VORN_CHECK(count > 0 && letters != nullptr, "Invalid arguments");
		Size = count;

		Dynarray<float> vertices;
		vertices.Reserve(count * VERTICES_PER_LETTER * FLOATS_PER_VERTEX);
		for (std::size_t i = 0; i < count; ++i)
		{
			const TextFieldLetter& letter = letters[i];
			const float left = letter.PosX;
			const float right = letter.PosX + letter.SizeX;
			const float bottom = letter.PosY;
			const float top = letter.PosY + letter.SizeY;
			// MinV belongs to the top edge, MaxV to the bottom one.
			AppendVertex(vertices, left, top, letter.MinU, letter.MinV);
			AppendVertex(vertices, left, bottom, letter.MinU, letter.MaxV);
			AppendVertex(vertices, right, bottom, letter.MaxU, letter.MaxV);
			AppendVertex(vertices, left, top, letter.MinU, letter.MinV);
			AppendVertex(vertices, right, bottom, letter.MaxU, letter.MaxV);
			AppendVertex(vertices, right, top, letter.MaxU, letter.MinV);
		}

		glBindBuffer(GL_ARRAY_BUFFER, VBO);
		glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.GetSize() * sizeof(float)), vertices.GetData(),
		             GL_DYNAMIC_DRAW);
		glBindBuffer(GL_ARRAY_BUFFER, 0);
	}
} // namespace Vorn
