#include "proxy/glcubemapdeviceproxy.hpp"

#include "glrenderingdevice.hpp"
#include "support/hiddenwindowdevicetest.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <memory>
#include <vector>

using namespace Vorn;

namespace
{
	using GLCubemapDeviceProxyTest = HiddenWindowDeviceTest<64, 64>;

	struct Face
	{
		eCubemapSide Side;
		GLenum Target;
	};

	const Face FACES[] = {
	    {eCubemapSide::POSITIVE_X, GL_TEXTURE_CUBE_MAP_POSITIVE_X},
	    {eCubemapSide::NEGATIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X},
	    {eCubemapSide::POSITIVE_Y, GL_TEXTURE_CUBE_MAP_POSITIVE_Y},
	    {eCubemapSide::NEGATIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y},
	    {eCubemapSide::POSITIVE_Z, GL_TEXTURE_CUBE_MAP_POSITIVE_Z},
	    {eCubemapSide::NEGATIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z},
	};

	GLCubemapDeviceProxy& AsGL(const std::unique_ptr<ICubemapDeviceProxy>& cubemap)
	{
		return static_cast<GLCubemapDeviceProxy&>(*cubemap);
	}

	GLint FaceLevelParameter(GLuint texture, GLenum face, GLint level, GLenum parameter)
	{
		GLint value = 0;
		glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
		glGetTexLevelParameteriv(face, level, parameter, &value);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		return value;
	}

	GLint CubemapParameter(GLuint texture, GLenum parameter)
	{
		GLint value = 0;
		glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
		glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, parameter, &value);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		return value;
	}

	std::vector<float> ReadFace(GLuint texture, GLenum face, std::size_t texelCount)
	{
		std::vector<float> values(texelCount * 3);
		glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
		glPixelStorei(GL_PACK_ALIGNMENT, 1);
		glGetTexImage(face, 0, GL_RGB, GL_FLOAT, values.data());
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		return values;
	}

	TEST_F(GLCubemapDeviceProxyTest, EveryFaceHasRGBStorageFromCreation)
	{
		const std::unique_ptr<ICubemapDeviceProxy> cubemap = Device->CreateCubemap(8, 8);
		const GLuint texture = AsGL(cubemap).GetTextureID();
		ASSERT_TRUE(glIsTexture(texture));

		for (const Face& face : FACES)
		{
			SCOPED_TRACE(static_cast<int>(face.Side));
			EXPECT_EQ(FaceLevelParameter(texture, face.Target, 0, GL_TEXTURE_WIDTH), 8);
			EXPECT_EQ(FaceLevelParameter(texture, face.Target, 0, GL_TEXTURE_HEIGHT), 8);
			EXPECT_EQ(FaceLevelParameter(texture, face.Target, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
		}
		EXPECT_EQ(CubemapParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
		EXPECT_EQ(CubemapParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
		EXPECT_EQ(CubemapParameter(texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
		EXPECT_EQ(CubemapParameter(texture, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
		EXPECT_EQ(CubemapParameter(texture, GL_TEXTURE_WRAP_R), GL_CLAMP_TO_EDGE);
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	TEST_F(GLCubemapDeviceProxyTest, EachSideLandsOnItsOwnFaceAndRebuildsTheMipmaps)
	{
		constexpr std::size_t texelCount = 2 * 2;
		const std::unique_ptr<ICubemapDeviceProxy> cubemap = Device->CreateCubemap(2, 2);
		const GLuint texture = AsGL(cubemap).GetTextureID();

		// Values on the 8-bit grid survive whatever precision the driver stores RGB in. The faces go in last to
		// first: a face arriving before the others must not leave an error behind.
		std::vector<std::vector<float>> faceData;
		for (std::size_t face = 0; face < std::size(FACES); ++face)
		{
			std::vector<float> texels(texelCount * 3);
			for (std::size_t i = 0; i < texels.size(); ++i)
				texels[i] = static_cast<float>(face * 20 + i) / 255.0f;
			faceData.push_back(texels);
		}
		for (std::size_t face = std::size(FACES); face-- > 0;)
		{
			cubemap->SetContent(FACES[face].Side, faceData[face].data());
			EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "after face " << face;
		}

		for (std::size_t face = 0; face < std::size(FACES); ++face)
		{
			SCOPED_TRACE(face);
			const std::vector<float> texels = ReadFace(texture, FACES[face].Target, texelCount);
			for (std::size_t i = 0; i < texels.size(); ++i)
				EXPECT_NEAR(texels[i], faceData[face][i], 0.5f / 255.0f) << "value " << i;
			EXPECT_EQ(FaceLevelParameter(texture, FACES[face].Target, 1, GL_TEXTURE_WIDTH), 1);
		}
	}

	TEST_F(GLCubemapDeviceProxyTest, DestroyingTheProxyDeletesItsTexture)
	{
		std::unique_ptr<ICubemapDeviceProxy> cubemap = Device->CreateCubemap(4, 4);
		const GLuint texture = AsGL(cubemap).GetTextureID();
		ASSERT_TRUE(glIsTexture(texture));

		cubemap.reset();

		EXPECT_FALSE(glIsTexture(texture));
	}

	using GLCubemapDeviceProxyDeathTest = GLCubemapDeviceProxyTest;

	TEST_F(GLCubemapDeviceProxyDeathTest, SetContentRejectsInvalidArguments)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const std::vector<float> face(4 * 4 * 3, 0.0f);
		const std::unique_ptr<ICubemapDeviceProxy> cubemap = Device->CreateCubemap(4, 4);
		const std::unique_ptr<ICubemapDeviceProxy> empty = Device->CreateCubemap(0, 4);

		EXPECT_DEATH(cubemap->SetContent(eCubemapSide::POSITIVE_X, nullptr), "Data pointer is nullptr!");
		EXPECT_DEATH(cubemap->SetContent(eCubemapSide::_COUNT, face.data()), "Invalid type!");
		EXPECT_DEATH(empty->SetContent(eCubemapSide::POSITIVE_X, face.data()), "Invalid arguments!");
	}
} // namespace
