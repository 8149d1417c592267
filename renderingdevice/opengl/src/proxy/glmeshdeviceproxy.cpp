#include "proxy/glmeshdeviceproxy.hpp"

#include "rendering/irenderingdevice.hpp"
#include "resources/mesh.hpp"
#include "utils/check.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	GLMeshDeviceProxy::~GLMeshDeviceProxy()
	{
		glDeleteBuffers(static_cast<GLsizei>(VBO.GetSize()), VBO.begin());
		if (VAO)
			glDeleteVertexArrays(1, &VAO);
	}

	void GLMeshDeviceProxy::SetContent(Mesh const& mesh)
	{
		if (VAO == 0)
		{
			glGenVertexArrays(1, &VAO);
			if (VAO == 0)
				throw RenderingDeviceProxyCreationFailedException();
		}
		glBindVertexArray(VAO);

		VORN_CHECK(mesh.HasVertices() && mesh.HasIndicies(),
		           "Meshes that does not contain vertices and faces are not supported yet!");

		const auto& positions = mesh.GetPositions();
		const auto& textCoords = mesh.GetTextCoords();
		const auto& normals = mesh.GetNormals();
		const auto& tangents = mesh.GetTangents();
		const auto& bitangents = mesh.GetBitangents();
		UploadStream(eBufferType::POSITION, positions.GetData(), positions.GetSize() * sizeof(Vector3f), 3);
		UploadStream(eBufferType::TEXCOORD, textCoords.GetData(), textCoords.GetSize() * sizeof(Mesh::TextCoord), 2);
		UploadStream(eBufferType::NORMAL, normals.GetData(), normals.GetSize() * sizeof(Vector3f), 3);
		UploadStream(eBufferType::TANGENT, tangents.GetData(), tangents.GetSize() * sizeof(Vector3f), 3);
		UploadStream(eBufferType::BITANGENT, bitangents.GetData(), bitangents.GetSize() * sizeof(Vector3f), 3);

		// The element buffer binding is part of the vertex array's state, so it stays bound.
		const auto& indices = mesh.GetIndicies();
		BindBuffer(eBufferType::INDEX, GL_ELEMENT_ARRAY_BUFFER);
		glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.GetSize() * sizeof(u32)),
		             indices.GetData(), GL_STATIC_DRAW);

		glBindBuffer(GL_ARRAY_BUFFER, 0);
		glBindVertexArray(0);
	}

	void GLMeshDeviceProxy::BindBuffer(eBufferType type, u32 target)
	{
		u32& buffer = VBO[type];
		if (buffer == 0)
		{
			glGenBuffers(1, &buffer);
			if (buffer == 0)
			{
				glBindVertexArray(0);
				throw RenderingDeviceProxyCreationFailedException();
			}
		}
		glBindBuffer(target, buffer);
	}

	// Expects the vertex array to be bound. A stream the mesh lacks leaves its attribute disabled, so a mesh that
	// is uploaded again without it does not keep reading the previous mesh's data.
	void GLMeshDeviceProxy::UploadStream(eBufferType type, const void* data, u64 byteCount, i32 componentCount)
	{
		const GLuint location = static_cast<GLuint>(type);
		if (byteCount == 0)
		{
			glDisableVertexAttribArray(location);
			return;
		}

		BindBuffer(type, GL_ARRAY_BUFFER);
		glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(byteCount), data, GL_STATIC_DRAW);
		glVertexAttribPointer(location, componentCount, GL_FLOAT, GL_FALSE,
		                      static_cast<GLsizei>(componentCount * sizeof(float)), nullptr);
		glEnableVertexAttribArray(location);
	}
} // namespace Vorn
