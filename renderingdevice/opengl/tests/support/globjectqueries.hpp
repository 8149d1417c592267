#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

// Read-back helpers for the state of vertex arrays and buffers, through bind-and-query so they work on a 4.3 context.
namespace GLObjectQueries
{
	// The current context's version (major * 10 + minor), profile and multisampling.
	struct ContextAttributes
	{
		GLint Version = 0;
		bool IsCoreProfile = false;
		GLint Samples = 0;
	};

	inline ContextAttributes ReadContextAttributes()
	{
		GLint major = 0;
		GLint minor = 0;
		glGetIntegerv(GL_MAJOR_VERSION, &major);
		glGetIntegerv(GL_MINOR_VERSION, &minor);
		GLint profile = 0;
		glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
		GLint samples = 0;
		glGetIntegerv(GL_SAMPLES, &samples);
		return {major * 10 + minor, (profile & GL_CONTEXT_CORE_PROFILE_BIT) != 0, samples};
	}

	struct VertexAttributeState
	{
		bool IsEnabled = false;
		GLint Components = 0;
		GLint Type = 0;
		bool IsNormalized = false;
		GLint Stride = 0;
		GLuint Buffer = 0;
		std::uintptr_t Offset = 0;
		GLint Divisor = 0;
	};

	inline VertexAttributeState QueryVertexAttribute(GLuint vertexArray, GLuint location)
	{
		VertexAttributeState state;
		GLint value = 0;
		glBindVertexArray(vertexArray);
		glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
		state.IsEnabled = value != 0;
		glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &state.Components);
		glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_TYPE, &state.Type);
		glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &value);
		state.IsNormalized = value != 0;
		glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &state.Stride);
		glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &value);
		state.Buffer = static_cast<GLuint>(value);
		glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_DIVISOR, &state.Divisor);
		void* pointer = nullptr;
		glGetVertexAttribPointerv(location, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
		state.Offset = reinterpret_cast<std::uintptr_t>(pointer);
		glBindVertexArray(0);
		return state;
	}

	inline GLuint ElementBufferOf(GLuint vertexArray)
	{
		GLint buffer = 0;
		glBindVertexArray(vertexArray);
		glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &buffer);
		glBindVertexArray(0);
		return static_cast<GLuint>(buffer);
	}

	inline GLint BufferParameter(GLuint buffer, GLenum parameter)
	{
		GLint value = 0;
		glBindBuffer(GL_COPY_READ_BUFFER, buffer);
		glGetBufferParameteriv(GL_COPY_READ_BUFFER, parameter, &value);
		glBindBuffer(GL_COPY_READ_BUFFER, 0);
		return value;
	}

	// The whole content of a buffer as values of T.
	template <typename T>
	std::vector<T> ReadBuffer(GLuint buffer)
	{
		const GLint byteCount = BufferParameter(buffer, GL_BUFFER_SIZE);
		std::vector<T> values(static_cast<std::size_t>(byteCount) / sizeof(T));
		glBindBuffer(GL_COPY_READ_BUFFER, buffer);
		glGetBufferSubData(GL_COPY_READ_BUFFER, 0, byteCount, values.data());
		glBindBuffer(GL_COPY_READ_BUFFER, 0);
		return values;
	}
} // namespace GLObjectQueries
