#include "proxy/gltextfieldbufferdeviceproxy.hpp"

#include "glrenderingdevice.hpp"
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
	using GLTextFieldBufferDeviceProxyTest = HiddenWindowDeviceTest<64, 64>;

	// At (10, 20), 8 by 12 pixels, atlas u 0.1 to 0.2 and v 0.3 (top) to 0.4 (bottom).
	const TextFieldLetter LETTER = {10.0f, 8.0f, 20.0f, 12.0f, 0.1f, 0.2f, 0.3f, 0.4f};
	// Two triangles, each vertex x, y, 0, 1, u, v.
	const std::vector<float> LETTER_VERTICES = {
	    10.0f, 32.0f, 0.0f, 1.0f, 0.1f, 0.3f, //
	    10.0f, 20.0f, 0.0f, 1.0f, 0.1f, 0.4f, //
	    18.0f, 20.0f, 0.0f, 1.0f, 0.2f, 0.4f, //
	    10.0f, 32.0f, 0.0f, 1.0f, 0.1f, 0.3f, //
	    18.0f, 20.0f, 0.0f, 1.0f, 0.2f, 0.4f, //
	    18.0f, 32.0f, 0.0f, 1.0f, 0.2f, 0.3f, //
	};

	GLuint VertexBufferOf(const ITextFieldBufferDeviceProxy& text)
	{
		return QueryVertexAttribute(text.GetResourceID(), 0).Buffer;
	}

	TEST_F(GLTextFieldBufferDeviceProxyTest, VerticesArePositionThenAtlasCoordinatesInOneBuffer)
	{
		const std::unique_ptr<ITextFieldBufferDeviceProxy> text = Device->CreateTextFieldBuffer();
		const GLuint vertexArray = text->GetResourceID();
		ASSERT_TRUE(glIsVertexArray(vertexArray));

		const VertexAttributeState position = QueryVertexAttribute(vertexArray, 0);
		const VertexAttributeState atlas = QueryVertexAttribute(vertexArray, 1);
		EXPECT_TRUE(position.IsEnabled);
		EXPECT_EQ(position.Components, 4);
		EXPECT_EQ(position.Offset, 0u);
		EXPECT_TRUE(atlas.IsEnabled);
		EXPECT_EQ(atlas.Components, 2);
		EXPECT_EQ(atlas.Offset, 16u);
		for (const VertexAttributeState& attribute : {position, atlas})
		{
			EXPECT_EQ(attribute.Type, GL_FLOAT);
			EXPECT_FALSE(attribute.IsNormalized);
			EXPECT_EQ(attribute.Stride, 24);
		}
		EXPECT_NE(position.Buffer, 0u);
		EXPECT_EQ(atlas.Buffer, position.Buffer);
		EXPECT_FALSE(QueryVertexAttribute(vertexArray, 2).IsEnabled);
	}

	TEST_F(GLTextFieldBufferDeviceProxyTest, LetterBecomesTwoTrianglesWithMinVAtTheTopEdge)
	{
		const std::unique_ptr<ITextFieldBufferDeviceProxy> text = Device->CreateTextFieldBuffer();

		text->SetText(1, &LETTER);

		EXPECT_EQ(text->GetResourceSize(), 1u);
		EXPECT_EQ(ReadBuffer<float>(VertexBufferOf(*text)), LETTER_VERTICES);
		EXPECT_EQ(BufferParameter(VertexBufferOf(*text), GL_BUFFER_USAGE), GL_DYNAMIC_DRAW);
	}

	TEST_F(GLTextFieldBufferDeviceProxyTest, SetTextReplacesTheWholeBuffer)
	{
		const TextFieldLetter second = {100.0f, 4.0f, 50.0f, 6.0f, 0.5f, 0.75f, 0.0f, 0.25f};
		const TextFieldLetter letters[] = {LETTER, second};
		const std::unique_ptr<ITextFieldBufferDeviceProxy> text = Device->CreateTextFieldBuffer();

		text->SetText(2, letters);

		EXPECT_EQ(text->GetResourceSize(), 2u);
		const std::vector<float> twoLetters = ReadBuffer<float>(VertexBufferOf(*text));
		ASSERT_EQ(twoLetters.size(), 2 * 36u);
		EXPECT_EQ(std::vector<float>(twoLetters.begin(), twoLetters.begin() + 36), LETTER_VERTICES);
		const std::vector<float> secondFirstVertex = {100.0f, 56.0f, 0.0f, 1.0f, 0.5f, 0.0f};
		EXPECT_EQ(std::vector<float>(twoLetters.begin() + 36, twoLetters.begin() + 42), secondFirstVertex);

		text->SetText(1, &LETTER);

		EXPECT_EQ(text->GetResourceSize(), 1u);
		EXPECT_EQ(ReadBuffer<float>(VertexBufferOf(*text)), LETTER_VERTICES);
	}

	TEST_F(GLTextFieldBufferDeviceProxyTest, DestroyingTheProxyDeletesItsVertexArrayAndBuffer)
	{
		std::unique_ptr<ITextFieldBufferDeviceProxy> text = Device->CreateTextFieldBuffer();
		const GLuint vertexArray = text->GetResourceID();
		const GLuint buffer = VertexBufferOf(*text);

		text.reset();

		EXPECT_FALSE(glIsVertexArray(vertexArray));
		EXPECT_FALSE(glIsBuffer(buffer));
	}

	using GLTextFieldBufferDeviceProxyDeathTest = GLTextFieldBufferDeviceProxyTest;

	TEST_F(GLTextFieldBufferDeviceProxyDeathTest, EmptyTextIsRejected)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const std::unique_ptr<ITextFieldBufferDeviceProxy> text = Device->CreateTextFieldBuffer();

		EXPECT_DEATH(text->SetText(0, &LETTER), "Invalid arguments");
		EXPECT_DEATH(text->SetText(1, nullptr), "Invalid arguments");
	}
} // namespace
