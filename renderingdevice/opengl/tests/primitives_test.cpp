#include "primitives/debugrenderingbuffers.hpp"
#include "primitives/primitivecube.hpp"
#include "primitives/primitivequad.hpp"

#include "glrenderingdevice.hpp"
#include "glshaderprogram.hpp"
#include "renderingtargets/texture2drenderingtarget.hpp"
#include "support/globjectqueries.hpp"
#include "support/hiddenwindowdevicetest.hpp"
#include "support/offscreendrawing.hpp"
#include "support/tempengineassets.hpp"

#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <vector>

using namespace Vorn;
using namespace GLObjectQueries;
using namespace OffscreenDrawing;

namespace
{
	constexpr int TARGET_WIDTH = 32;
	constexpr int TARGET_HEIGHT = 16;

	const char* const QUAD_VERTEX_SOURCE = R"(#version 430 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;
out vec2 vTexCoord;
void main()
{
	vTexCoord = aTexCoord;
	gl_Position = vec4(aPosition, 1.0);
}
)";

	const char* const TEXCOORD_FRAGMENT_SOURCE = R"(#version 430 core
in vec2 vTexCoord;
out vec4 color;
void main()
{
	color = vec4(vTexCoord, 0.0, 1.0);
}
)";

	// Seen from the centre of the cube, looking down -z with a 90 degree vertical field of view, stretched to the
	// 2:1 target.
	const char* const CUBE_VERTEX_SOURCE = R"(#version 430 core
layout(location = 0) in vec3 aPosition;
out vec3 vPosition;
void main()
{
	vPosition = aPosition;
	const float near = 0.1;
	const float far = 10.0;
	gl_Position = vec4(aPosition.x * 0.5, aPosition.y, -aPosition.z * (far + near) / (far - near) - 2.0 * far * near / (far - near), -aPosition.z);
}
)";

	// Red on the x faces, green on the y faces, blue on the z faces.
	const char* const FACE_FRAGMENT_SOURCE = R"(#version 430 core
in vec3 vPosition;
out vec4 color;
void main()
{
	vec3 onFace = step(vec3(0.999), abs(vPosition));
	color = vec4(onFace, 1.0);
}
)";

	class PrimitivesTest : public HiddenWindowDeviceTest<TARGET_WIDTH, TARGET_HEIGHT>
	{
	protected:
		void SetUp() override
		{
			HiddenWindowDeviceTest::SetUp();
			Assets = std::make_unique<TempEngineAssets>();
		}

		void TearDown() override
		{
			Assets.reset();
			HiddenWindowDeviceTest::TearDown();
		}

		std::unique_ptr<GLShaderProgram> BuildProgram(const char* vertexSource, const char* fragmentSource)
		{
			Assets->WriteEngineAsset("Shaders/primitive.vert.glsl", vertexSource);
			Assets->WriteEngineAsset("Shaders/primitive.frag.glsl", fragmentSource);
			return std::make_unique<GLShaderProgram>("Shaders/primitive.vert.glsl", "Shaders/primitive.frag.glsl");
		}

		// Draws with `program` into a fresh colour target cleared to black and returns what landed there.
		template <typename Primitive>
		TexturePixels DrawIntoTarget(const Primitive& primitive, GLShaderProgram& program)
		{
			Texture2DRenderingTarget target(GL_RGB8);
			const GLuint framebuffer = BindColorTexture(target.GetTextureID(), {0.0f, 0.0f, 0.0f, 1.0f});
			program.BindProgram();
			primitive.Draw();
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
			glDeleteFramebuffers(1, &framebuffer);
			return ReadTexture(target.GetTextureID());
		}

		static GLint GetInteger(GLenum parameter)
		{
			GLint value = 0;
			glGetIntegerv(parameter, &value);
			return value;
		}

		std::unique_ptr<TempEngineAssets> Assets;
	};

	struct AttributeCase
	{
		GLuint Location;
		GLint Components;
		std::uintptr_t Offset;
	};

	TEST_F(PrimitivesTest, QuadHoldsSixInterleavedPositionAndTexCoordVertices)
	{
		const PrimitiveQuad quad;

		ASSERT_TRUE(glIsVertexArray(quad.GetVAO()));
		ASSERT_TRUE(glIsBuffer(quad.GetVBO()));
		for (const AttributeCase& expected : {AttributeCase{0, 3, 0}, AttributeCase{1, 2, 12}})
		{
			SCOPED_TRACE(expected.Location);
			const VertexAttributeState attribute = QueryVertexAttribute(quad.GetVAO(), expected.Location);
			EXPECT_TRUE(attribute.IsEnabled);
			EXPECT_EQ(attribute.Components, expected.Components);
			EXPECT_EQ(attribute.Type, GL_FLOAT);
			EXPECT_FALSE(attribute.IsNormalized);
			EXPECT_EQ(attribute.Stride, 20);
			EXPECT_EQ(attribute.Offset, expected.Offset);
			EXPECT_EQ(attribute.Buffer, quad.GetVBO());
		}
		EXPECT_FALSE(QueryVertexAttribute(quad.GetVAO(), 2).IsEnabled);

		EXPECT_EQ(BufferParameter(quad.GetVBO(), GL_BUFFER_USAGE), GL_STATIC_DRAW);
		const std::vector<float> expectedVertices = {
		    -1, 1, 0, 0, 1, 1, -1, 0, 1, 0, 1, 1, 0, 1, 1, -1, 1, 0, 0, 1, -1, -1, 0, 0, 0, 1, -1, 0, 1, 0,
		};
		EXPECT_EQ(ReadBuffer<float>(quad.GetVBO()), expectedVertices);
	}

	TEST_F(PrimitivesTest, CubeHoldsThirtySixPositionVertices)
	{
		const PrimitiveCube cube;

		ASSERT_TRUE(glIsVertexArray(cube.GetVAO()));
		const VertexAttributeState attribute = QueryVertexAttribute(cube.GetVAO(), 0);
		EXPECT_TRUE(attribute.IsEnabled);
		EXPECT_EQ(attribute.Components, 3);
		EXPECT_EQ(attribute.Type, GL_FLOAT);
		EXPECT_EQ(attribute.Stride, 12);
		EXPECT_EQ(attribute.Offset, 0u);
		EXPECT_EQ(attribute.Buffer, cube.GetVBO());
		EXPECT_FALSE(QueryVertexAttribute(cube.GetVAO(), 1).IsEnabled);
		EXPECT_EQ(BufferParameter(cube.GetVBO(), GL_BUFFER_USAGE), GL_STATIC_DRAW);
		EXPECT_EQ(BufferParameter(cube.GetVBO(), GL_BUFFER_SIZE), 432);
	}

	// Each face of the cube is covered by exactly two triangles, and every triangle is wound counter-clockwise
	// as seen from the centre, so back-face culling keeps the whole cube for a camera inside it.
	TEST_F(PrimitivesTest, CubeTrianglesCoverEveryFaceAndFaceInward)
	{
		const PrimitiveCube cube;
		const std::vector<float> positions = ReadBuffer<float>(cube.GetVBO());
		ASSERT_EQ(positions.size(), 108u);

		using Vertex = std::array<float, 3>;
		std::map<std::pair<int, float>, std::set<Vertex>> cornersByFace;
		std::map<std::pair<int, float>, int> trianglesByFace;
		for (std::size_t triangle = 0; triangle < 12; ++triangle)
		{
			SCOPED_TRACE(triangle);
			Vertex v[3];
			for (std::size_t corner = 0; corner < 3; ++corner)
				for (std::size_t axis = 0; axis < 3; ++axis)
					v[corner][axis] = positions[triangle * 9 + corner * 3 + axis];

			int faceAxis = -1;
			for (int axis = 0; axis < 3; ++axis)
			{
				if (std::abs(v[0][axis]) == 1.0f && v[0][axis] == v[1][axis] && v[0][axis] == v[2][axis])
					faceAxis = axis;
			}
			ASSERT_NE(faceAxis, -1) << "triangle does not lie on a face";
			const float faceSide = v[0][faceAxis];

			const Vertex e1 = {v[1][0] - v[0][0], v[1][1] - v[0][1], v[1][2] - v[0][2]};
			const Vertex e2 = {v[2][0] - v[0][0], v[2][1] - v[0][1], v[2][2] - v[0][2]};
			const Vertex normal = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
			                       e1[0] * e2[1] - e1[1] * e2[0]};
			EXPECT_LT(normal[faceAxis] * faceSide, 0.0f) << "faces outward";
			EXPECT_FLOAT_EQ(std::abs(normal[faceAxis]), 4.0f) << "not half of a face";

			const auto face = std::make_pair(faceAxis, faceSide);
			++trianglesByFace[face];
			cornersByFace[face].insert(v, v + 3);
		}
		ASSERT_EQ(trianglesByFace.size(), 6u);
		for (const auto& [face, count] : trianglesByFace)
		{
			EXPECT_EQ(count, 2) << "axis " << face.first << " side " << face.second;
			EXPECT_EQ(cornersByFace[face].size(), 4u) << "axis " << face.first << " side " << face.second;
		}
	}

	TEST_F(PrimitivesTest, ConstructionLeavesNothingBound)
	{
		const PrimitiveQuad quad;
		const PrimitiveCube cube;

		EXPECT_EQ(GetInteger(GL_VERTEX_ARRAY_BINDING), 0);
		EXPECT_EQ(GetInteger(GL_ARRAY_BUFFER_BINDING), 0);
	}

	TEST_F(PrimitivesTest, QuadCoversTheTargetWithTexCoordsFromZeroToOne)
	{
		const PrimitiveQuad quad;
		const auto program = BuildProgram(QUAD_VERTEX_SOURCE, TEXCOORD_FRAGMENT_SOURCE);

		const TexturePixels pixels = DrawIntoTarget(quad, *program);

		ASSERT_EQ(pixels.Width, TARGET_WIDTH);
		ASSERT_EQ(pixels.Height, TARGET_HEIGHT);
		for (int y = 0; y < TARGET_HEIGHT; ++y)
		{
			for (int x = 0; x < TARGET_WIDTH; ++x)
			{
				const auto u = static_cast<u8>(std::lround((x + 0.5f) / TARGET_WIDTH * 255.0f));
				const auto v = static_cast<u8>(std::lround((y + 0.5f) / TARGET_HEIGHT * 255.0f));
				ASSERT_TRUE(IsPixel(pixels.At(x, y), {u, v, 0, 255}, 2)) << x << ", " << y;
			}
		}
		EXPECT_EQ(GetInteger(GL_VERTEX_ARRAY_BINDING), 0);
	}

	TEST_F(PrimitivesTest, CubeSeenFromInsideSurvivesBackFaceCulling)
	{
		const PrimitiveCube cube;
		const auto program = BuildProgram(CUBE_VERTEX_SOURCE, FACE_FRAGMENT_SOURCE);
		glEnable(GL_CULL_FACE);
		glCullFace(GL_BACK);

		const TexturePixels pixels = DrawIntoTarget(cube, *program);
		glDisable(GL_CULL_FACE);

		// The far face fills the middle half, the two side faces the outer quarters.
		const Pixel red = {255, 0, 0, 255};
		const Pixel blue = {0, 0, 255, 255};
		EXPECT_TRUE(IsPixel(pixels.At(16, 8), blue));
		EXPECT_TRUE(IsPixel(pixels.At(10, 2), blue));
		EXPECT_TRUE(IsPixel(pixels.At(2, 8), red));
		EXPECT_TRUE(IsPixel(pixels.At(29, 8), red));
		for (int y = 0; y < TARGET_HEIGHT; ++y)
		{
			for (int x = 0; x < TARGET_WIDTH; ++x)
				ASSERT_FALSE(IsPixel(pixels.At(x, y), {0, 0, 0, 255}, 0)) << "not covered at " << x << ", " << y;
		}
	}

	TEST_F(PrimitivesTest, DestroyingAPrimitiveDeletesItsObjects)
	{
		auto quad = std::make_unique<PrimitiveQuad>();
		auto cube = std::make_unique<PrimitiveCube>();
		const GLuint names[] = {quad->GetVAO(), quad->GetVBO(), cube->GetVAO(), cube->GetVBO()};

		quad.reset();
		cube.reset();

		EXPECT_FALSE(glIsVertexArray(names[0]));
		EXPECT_FALSE(glIsBuffer(names[1]));
		EXPECT_FALSE(glIsVertexArray(names[2]));
		EXPECT_FALSE(glIsBuffer(names[3]));
	}

	TEST_F(PrimitivesTest, DebugBuffersOnlyReserveNamesUntilUsed)
	{
		auto buffers = std::make_unique<DebugRenderingBuffers>();
		const GLuint vertexArray = buffers->GetVAO();
		const GLuint buffer = buffers->GetVBO();
		ASSERT_NE(vertexArray, 0u);
		ASSERT_NE(buffer, 0u);
		// Generated names become objects on their first binding; the user does that when filling them.
		EXPECT_FALSE(glIsVertexArray(vertexArray));
		EXPECT_FALSE(glIsBuffer(buffer));

		glBindVertexArray(vertexArray);
		glBindBuffer(GL_ARRAY_BUFFER, buffer);
		const float line[] = {0, 0, 0, 1, 1, 1};
		glBufferData(GL_ARRAY_BUFFER, sizeof(line), line, GL_STREAM_DRAW);
		glBindBuffer(GL_ARRAY_BUFFER, 0);
		glBindVertexArray(0);
		ASSERT_TRUE(glIsVertexArray(vertexArray));
		ASSERT_TRUE(glIsBuffer(buffer));

		buffers.reset();

		EXPECT_FALSE(glIsVertexArray(vertexArray));
		EXPECT_FALSE(glIsBuffer(buffer));
	}

	using PrimitivesDeathTest = PrimitivesTest;

	// Without a current context the driver hands out no names.
	TEST_F(PrimitivesDeathTest, CreationWithoutVertexArrayStops)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		struct CreationCase
		{
			void (*Create)();
			const char* Message;
		};
		const CreationCase cases[] = {
		    {[] { PrimitiveQuad quad; }, "PrimitiveQuad VAO creation failed!"},
		    {[] { PrimitiveCube cube; }, "PrimitiveCube VAO creation failed!"},
		    {[] { DebugRenderingBuffers buffers; }, "DebugRenderingBuffers VAO creation failed!"},
		};
		for (const CreationCase& creation : cases)
		{
			SCOPED_TRACE(creation.Message);
			EXPECT_DEATH(
			    {
				    // Resolves the entry points while a context is current.
				    creation.Create();
				    SDL_GL_MakeCurrent(TestWindow, nullptr);
				    creation.Create();
			    },
			    creation.Message);
		}
	}
} // namespace
