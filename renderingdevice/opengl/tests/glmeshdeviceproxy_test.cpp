#include "proxy/glmeshdeviceproxy.hpp"

#include "glrenderingdevice.hpp"
#include "resources/mesh.hpp"
#include "resources/meshresource.hpp"
#include "support/enginedevicetest.hpp"
#include "support/globjectqueries.hpp"
#include "support/hiddenwindowdevicetest.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace Vorn;
using namespace GLObjectQueries;

namespace
{
	// One quad with texture coordinates and normals: the importer adds tangents and bitangents.
	const char* const TEXTURED_QUAD_OBJ = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
	                                      "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
	                                      "vn 0 0 1\n"
	                                      "f 1/1/1 2/2/1 3/3/1 4/4/1\n";
	// Without texture coordinates there is no tangent space either.
	const char* const PLAIN_TRIANGLE_OBJ = "v 0 0 0\nv 2 0 0\nv 0 3 0\nvn 0 0 1\nf 1//1 2//1 3//1\n";

	template <typename T>
	std::vector<float> AsFloats(const Dynarray<T>& values)
	{
		const float* first = reinterpret_cast<const float*>(values.GetData());
		return std::vector<float>(first, first + values.GetSize() * sizeof(T) / sizeof(float));
	}

	std::vector<u32> AsVector(const Dynarray<u32>& values)
	{
		return std::vector<u32>(values.GetData(), values.GetData() + values.GetSize());
	}

	class GLMeshDeviceProxyTest : public EngineDeviceTest<64, 64>
	{
	protected:
		void TearDown() override
		{
			for (MeshResource* model : Models)
				ResourceManager<MeshResource>::Release(model);
			EngineDeviceTest::TearDown();
		}

		// The first sub-mesh of a model file written from `text`; the model stays loaded for the test.
		const MeshResource::SubMesh& LoadSubMesh(const std::string& fileName, const char* text)
		{
			// The working directory is the test's temporary folder.
			const std::string& path = fileName;
			std::ofstream(path) << text;
			MeshResource* model = ResourceManager<MeshResource>::Load(String(path.c_str()), eResourceSource::NONE);
			EXPECT_NE(model, nullptr) << path;
			Models.push_back(model);
			return *model->GetSubMeshes()[0];
		}

		std::vector<MeshResource*> Models;
	};

	struct StreamCase
	{
		const char* Name;
		GLuint Location;
		GLint Components;
		std::vector<float> (*Values)(const Mesh&);
	};

	const StreamCase STREAMS[] = {
	    {"position", 0, 3, [](const Mesh& mesh) { return AsFloats(mesh.GetPositions()); }},
	    {"texture coordinates", 1, 2, [](const Mesh& mesh) { return AsFloats(mesh.GetTextCoords()); }},
	    {"normal", 2, 3, [](const Mesh& mesh) { return AsFloats(mesh.GetNormals()); }},
	    {"tangent", 3, 3, [](const Mesh& mesh) { return AsFloats(mesh.GetTangents()); }},
	    {"bitangent", 4, 3, [](const Mesh& mesh) { return AsFloats(mesh.GetBitangents()); }},
	};

	TEST_F(GLMeshDeviceProxyTest, EveryStreamFillsItsOwnTightlyPackedAttribute)
	{
		const MeshResource::SubMesh& subMesh = LoadSubMesh("quad.obj", TEXTURED_QUAD_OBJ);
		const Mesh& mesh = subMesh.GetMeshData();
		ASSERT_TRUE(mesh.HasTextCoords() && mesh.HasNormals() && mesh.HasTangents() && mesh.HasBitangents());
		const GLuint vertexArray = subMesh.GetMeshProxy()->GetResourceID();
		ASSERT_TRUE(glIsVertexArray(vertexArray));

		std::vector<GLuint> buffers;
		for (const StreamCase& stream : STREAMS)
		{
			SCOPED_TRACE(stream.Name);
			const VertexAttributeState attribute = QueryVertexAttribute(vertexArray, stream.Location);
			EXPECT_TRUE(attribute.IsEnabled);
			EXPECT_EQ(attribute.Components, stream.Components);
			EXPECT_EQ(attribute.Type, GL_FLOAT);
			EXPECT_FALSE(attribute.IsNormalized);
			EXPECT_EQ(attribute.Stride, stream.Components * static_cast<GLint>(sizeof(float)));
			EXPECT_EQ(attribute.Offset, 0u);
			EXPECT_EQ(attribute.Divisor, 0);
			EXPECT_EQ(BufferParameter(attribute.Buffer, GL_BUFFER_USAGE), GL_STATIC_DRAW);
			EXPECT_EQ(ReadBuffer<float>(attribute.Buffer), stream.Values(mesh));
			buffers.push_back(attribute.Buffer);
		}
		for (std::size_t i = 1; i < buffers.size(); ++i)
			EXPECT_NE(buffers[i], buffers[i - 1]) << "streams share a buffer";

		const GLuint elementBuffer = ElementBufferOf(vertexArray);
		ASSERT_NE(elementBuffer, 0u);
		EXPECT_EQ(BufferParameter(elementBuffer, GL_BUFFER_USAGE), GL_STATIC_DRAW);
		EXPECT_EQ(ReadBuffer<u32>(elementBuffer), AsVector(mesh.GetIndicies()));
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	TEST_F(GLMeshDeviceProxyTest, MissingStreamsLeaveTheirAttributesDisabled)
	{
		const MeshResource::SubMesh& subMesh = LoadSubMesh("triangle.obj", PLAIN_TRIANGLE_OBJ);
		ASSERT_FALSE(subMesh.GetMeshData().HasTextCoords());
		ASSERT_FALSE(subMesh.GetMeshData().HasTangents());
		const GLuint vertexArray = subMesh.GetMeshProxy()->GetResourceID();

		EXPECT_TRUE(QueryVertexAttribute(vertexArray, 0).IsEnabled);
		EXPECT_FALSE(QueryVertexAttribute(vertexArray, 1).IsEnabled);
		EXPECT_TRUE(QueryVertexAttribute(vertexArray, 2).IsEnabled);
		EXPECT_FALSE(QueryVertexAttribute(vertexArray, 3).IsEnabled);
		EXPECT_FALSE(QueryVertexAttribute(vertexArray, 4).IsEnabled);
		EXPECT_EQ(ReadBuffer<u32>(ElementBufferOf(vertexArray)), (std::vector<u32>{0, 1, 2}));
	}

	TEST_F(GLMeshDeviceProxyTest, UploadingAgainReusesTheObjectsAndReplacesTheirContent)
	{
		const Mesh& quad = LoadSubMesh("quad.obj", TEXTURED_QUAD_OBJ).GetMeshData();
		const Mesh& triangle = LoadSubMesh("triangle.obj", PLAIN_TRIANGLE_OBJ).GetMeshData();
		const std::unique_ptr<IMeshDeviceProxy> proxy = gRenderingDevice->CreateMesh();
		ASSERT_EQ(proxy->GetResourceID(), 0u) << "objects exist before the first upload";

		proxy->SetContent(quad);
		const GLuint vertexArray = proxy->GetResourceID();
		const GLuint positionBuffer = QueryVertexAttribute(vertexArray, 0).Buffer;
		const GLuint elementBuffer = ElementBufferOf(vertexArray);
		proxy->SetContent(triangle);

		EXPECT_EQ(proxy->GetResourceID(), vertexArray);
		EXPECT_EQ(QueryVertexAttribute(vertexArray, 0).Buffer, positionBuffer);
		EXPECT_EQ(ElementBufferOf(vertexArray), elementBuffer);
		EXPECT_EQ(ReadBuffer<float>(positionBuffer), AsFloats(triangle.GetPositions()));
		EXPECT_EQ(ReadBuffer<u32>(elementBuffer), AsVector(triangle.GetIndicies()));
		EXPECT_FALSE(QueryVertexAttribute(vertexArray, 1).IsEnabled) << "still reads the quad's coordinates";
		EXPECT_FALSE(QueryVertexAttribute(vertexArray, 3).IsEnabled) << "still reads the quad's tangents";
	}

	TEST_F(GLMeshDeviceProxyTest, DestroyingTheProxyDeletesItsVertexArrayAndBuffers)
	{
		const Mesh& quad = LoadSubMesh("quad.obj", TEXTURED_QUAD_OBJ).GetMeshData();
		std::unique_ptr<IMeshDeviceProxy> proxy = gRenderingDevice->CreateMesh();
		proxy->SetContent(quad);
		const GLuint vertexArray = proxy->GetResourceID();
		std::vector<GLuint> buffers = {ElementBufferOf(vertexArray)};
		for (const StreamCase& stream : STREAMS)
			buffers.push_back(QueryVertexAttribute(vertexArray, stream.Location).Buffer);

		proxy.reset();

		EXPECT_FALSE(glIsVertexArray(vertexArray));
		for (GLuint buffer : buffers)
			EXPECT_FALSE(glIsBuffer(buffer)) << "buffer " << buffer;
	}

	using GLMeshDeviceProxyDeathTest = HiddenWindowDeviceTest<64, 64>;

	TEST_F(GLMeshDeviceProxyDeathTest, MeshWithoutVerticesAndIndicesIsRejected)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const Mesh empty;
		const std::unique_ptr<IMeshDeviceProxy> proxy = Device->CreateMesh();

		EXPECT_DEATH(proxy->SetContent(empty),
		             "Meshes that does not contain vertices and faces are not supported yet!");
	}
} // namespace
