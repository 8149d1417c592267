#include "proxy/glparticledeviceproxy.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "glrenderingdevice.hpp"
#include "particles/particlecomponent.hpp"
#include "particles/particleemitter.hpp"
#include "particles/particleupdatesystem.hpp"
#include "support/enginedevicetest.hpp"
#include "support/globjectqueries.hpp"
#include "support/hiddenwindowdevicetest.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <memory>
#include <vector>

using namespace Vorn;
using namespace GLObjectQueries;

namespace
{
	GLuint VertexArrayOf(const IParticleDeviceProxy& particles)
	{
		return static_cast<const GLParticleDeviceProxy&>(particles).GetVAO();
	}

	GLuint InstanceBufferOf(const IParticleDeviceProxy& particles)
	{
		return QueryVertexAttribute(VertexArrayOf(particles), 3).Buffer;
	}

	using GLParticleDeviceProxyLayoutTest = HiddenWindowDeviceTest<64, 64>;

	struct AttributeCase
	{
		GLuint Location;
		GLint Components;
		GLint Stride;
		std::uintptr_t Offset;
		GLint Divisor;
	};

	TEST_F(GLParticleDeviceProxyLayoutTest, QuadVerticesAndPerInstanceMatrixColumnsFollowTheLayout)
	{
		const std::unique_ptr<IParticleDeviceProxy> particles = Device->CreateParticle();
		const GLuint vertexArray = VertexArrayOf(*particles);
		ASSERT_TRUE(glIsVertexArray(vertexArray));

		const AttributeCase cases[] = {
		    {0, 3, 20, 0, 0},  {1, 2, 20, 12, 0}, {3, 4, 64, 0, 1},
		    {4, 4, 64, 16, 1}, {5, 4, 64, 32, 1}, {6, 4, 64, 48, 1},
		};
		for (const AttributeCase& expected : cases)
		{
			SCOPED_TRACE(expected.Location);
			const VertexAttributeState attribute = QueryVertexAttribute(vertexArray, expected.Location);
			EXPECT_TRUE(attribute.IsEnabled);
			EXPECT_EQ(attribute.Components, expected.Components);
			EXPECT_EQ(attribute.Type, GL_FLOAT);
			EXPECT_FALSE(attribute.IsNormalized);
			EXPECT_EQ(attribute.Stride, expected.Stride);
			EXPECT_EQ(attribute.Offset, expected.Offset);
			EXPECT_EQ(attribute.Divisor, expected.Divisor);
			// The per-vertex attributes share the quad's buffer, the per-instance ones the matrices' buffer.
			const GLuint sharedBuffer = QueryVertexAttribute(vertexArray, expected.Divisor == 0 ? 0 : 3).Buffer;
			EXPECT_EQ(attribute.Buffer, sharedBuffer);
		}
		EXPECT_FALSE(QueryVertexAttribute(vertexArray, 2).IsEnabled);

		const GLuint quadBuffer = QueryVertexAttribute(vertexArray, 0).Buffer;
		EXPECT_NE(quadBuffer, InstanceBufferOf(*particles));
		const std::vector<float> quad = {
		    -1.0f, 1.0f,  0.0f, 0.0f, 1.0f, //
		    1.0f,  -1.0f, 0.0f, 1.0f, 0.0f, //
		    1.0f,  1.0f,  0.0f, 1.0f, 1.0f, //
		    -1.0f, 1.0f,  0.0f, 0.0f, 1.0f, //
		    -1.0f, -1.0f, 0.0f, 0.0f, 0.0f, //
		    1.0f,  -1.0f, 0.0f, 1.0f, 0.0f, //
		};
		EXPECT_EQ(ReadBuffer<float>(quadBuffer), quad);
		EXPECT_EQ(BufferParameter(quadBuffer, GL_BUFFER_USAGE), GL_STATIC_DRAW);
	}

	TEST_F(GLParticleDeviceProxyLayoutTest, DestroyingTheProxyDeletesItsVertexArrayAndBuffers)
	{
		std::unique_ptr<IParticleDeviceProxy> particles = Device->CreateParticle();
		const GLuint vertexArray = VertexArrayOf(*particles);
		const GLuint quadBuffer = QueryVertexAttribute(vertexArray, 0).Buffer;
		const GLuint instanceBuffer = InstanceBufferOf(*particles);

		particles.reset();

		EXPECT_FALSE(glIsVertexArray(vertexArray));
		EXPECT_FALSE(glIsBuffer(quadBuffer));
		EXPECT_FALSE(glIsBuffer(instanceBuffer));
	}

	class GLParticleDeviceProxyUpdateTest : public EngineDeviceTest<64, 64>
	{
	protected:
		// An emitter whose particles spawn at (1, 2, 3), (2, 4, 6), ... with scales (0.5, 1.5, 2.5), (1, 2, 3), ...
		// in spawn order, and never burst.
		ParticleEmitter& AddEmitter(int particleCount)
		{
			ParticleEmitter::Settings settings;
			settings.InitialSize = particleCount;
			auto spawned = std::make_shared<int>(0);
			settings.ParticleInitFunc = [spawned](ParticleEmitter::Particle* particle)
			{
				const float k = static_cast<float>(++*spawned);
				particle->Position = Vector(k, 2.0f * k, 3.0f * k);
				particle->Scale = Vector(0.5f * k, k + 0.5f, k + 1.5f);
			};
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			ParticleComponent* component =
			    DeferredTaskSystem::AddComponentImmediate<ParticleComponent>(GetWorld(), entity, settings);
			component->GetEmitter()->SetBurstEnabled(false);
			return *component->GetEmitter();
		}
	};

	// Column-major: the scale on the diagonal, the translation in the last column.
	std::vector<float> ScaleThenTranslate(float scaleX, float scaleY, float scaleZ, float x, float y, float z)
	{
		return {scaleX, 0.0f, 0.0f, 0.0f, 0.0f, scaleY, 0.0f, 0.0f, 0.0f, 0.0f, scaleZ, 0.0f, x, y, z, 1.0f};
	}

	TEST_F(GLParticleDeviceProxyUpdateTest, EveryLiveParticleGetsAScaleAndTranslationMatrix)
	{
		ParticleEmitter& emitter = AddEmitter(3);

		// The particle phase spawns the particles and hands the emitter to its proxy.
		ParticleUpdateSystem::ParticleUpdatePhase(GetWorld());

		ASSERT_EQ(emitter.GetInstancesCount(), 3u);
		std::vector<float> expected;
		for (int k = 1; k <= 3; ++k)
		{
			const float f = static_cast<float>(k);
			const std::vector<float> matrix = ScaleThenTranslate(0.5f * f, f + 0.5f, f + 1.5f, f, 2.0f * f, 3.0f * f);
			expected.insert(expected.end(), matrix.begin(), matrix.end());
		}
		const GLuint instanceBuffer = InstanceBufferOf(*emitter.GetParticleProxy());
		EXPECT_EQ(ReadBuffer<float>(instanceBuffer), expected);
		EXPECT_EQ(BufferParameter(instanceBuffer, GL_BUFFER_USAGE), GL_STATIC_DRAW);
	}

	TEST_F(GLParticleDeviceProxyUpdateTest, EmitterWithoutLiveParticlesEmptiesTheInstanceBuffer)
	{
		const ParticleEmitter& busy = AddEmitter(2);
		const ParticleEmitter& idle = AddEmitter(0);
		ParticleUpdateSystem::ParticleUpdatePhase(GetWorld());
		ASSERT_EQ(busy.GetInstancesCount(), 2u);
		ASSERT_EQ(idle.GetInstancesCount(), 0u);
		const std::unique_ptr<IParticleDeviceProxy> proxy = gRenderingDevice->CreateParticle();
		const GLuint instanceBuffer = InstanceBufferOf(*proxy);

		proxy->Update(busy);
		EXPECT_EQ(BufferParameter(instanceBuffer, GL_BUFFER_SIZE), 2 * 64);

		proxy->Update(idle);
		EXPECT_EQ(BufferParameter(instanceBuffer, GL_BUFFER_SIZE), 0);
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}
} // namespace
