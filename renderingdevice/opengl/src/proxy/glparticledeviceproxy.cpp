#include "proxy/glparticledeviceproxy.hpp"

#include "particles/particleemitter.hpp"
#include "primitives/primitivequad.hpp"
#include "utils/check.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	namespace
	{
		constexpr GLsizei QUAD_VERTEX_STRIDE = PrimitiveQuad::FLOATS_PER_VERTEX * sizeof(float);

		constexpr GLuint FIRST_INSTANCE_ATTRIBUTE = 3;
		constexpr u64 FLOATS_PER_INSTANCE = 16;
		constexpr GLsizei INSTANCE_STRIDE = FLOATS_PER_INSTANCE * sizeof(float);

		const void* ByteOffset(std::size_t offset) { return reinterpret_cast<const void*>(offset); }
	} // namespace

	GLParticleDeviceProxy::GLParticleDeviceProxy()
	{
		glGenVertexArrays(1, &VAO);
		VORN_CHECK(VAO > 0, "Particle vertex array could not be created!");
		glBindVertexArray(VAO);

		glGenBuffers(1, &VBO);
		VORN_CHECK(VBO > 0, "Particle vertex buffer could not be created!");
		glBindBuffer(GL_ARRAY_BUFFER, VBO);
		glBufferData(GL_ARRAY_BUFFER, sizeof(PrimitiveQuad::VERTICES), PrimitiveQuad::VERTICES, GL_STATIC_DRAW);
		glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, QUAD_VERTEX_STRIDE, ByteOffset(0));
		glEnableVertexAttribArray(0);
		glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, QUAD_VERTEX_STRIDE, ByteOffset(3 * sizeof(float)));
		glEnableVertexAttribArray(1);

		glGenBuffers(1, &InstancesVBO);
		glBindBuffer(GL_ARRAY_BUFFER, InstancesVBO);
		for (GLuint column = 0; column < 4; ++column)
		{
			const GLuint location = FIRST_INSTANCE_ATTRIBUTE + column;
			glVertexAttribPointer(location, 4, GL_FLOAT, GL_FALSE, INSTANCE_STRIDE,
			                      ByteOffset(column * 4 * sizeof(float)));
			glEnableVertexAttribArray(location);
			glVertexAttribDivisor(location, 1);
		}

		glBindVertexArray(0);
		glBindBuffer(GL_ARRAY_BUFFER, 0);
	}

	GLParticleDeviceProxy::~GLParticleDeviceProxy()
	{
		const GLuint buffers[] = {VBO, InstancesVBO};
		glDeleteBuffers(2, buffers);
		glDeleteVertexArrays(1, &VAO);
	}

	void GLParticleDeviceProxy::Update(ParticleEmitter const& emitter)
	{
		InstancesTransform.Clear();
		InstancesTransform.Resize(FLOATS_PER_INSTANCE * emitter.GetInstancesCount());

		// Column-major scale followed by translation; particles never rotate.
		u64 first = 0;
		for (const ParticleEmitter::Particle& particle : emitter.GetParticlesPool())
		{
			float* matrix = InstancesTransform.GetData() + first;
			matrix[0] = particle.Scale.x;
			matrix[5] = particle.Scale.y;
			matrix[10] = particle.Scale.z;
			matrix[12] = particle.Position.x;
			matrix[13] = particle.Position.y;
			matrix[14] = particle.Position.z;
			matrix[15] = 1.0f;
			first += FLOATS_PER_INSTANCE;
		}

		glBindBuffer(GL_ARRAY_BUFFER, InstancesVBO);
		glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(InstancesTransform.GetSize() * sizeof(float)),
		             InstancesTransform.GetData(), GL_STATIC_DRAW);
		glBindBuffer(GL_ARRAY_BUFFER, 0);
	}
} // namespace Vorn
