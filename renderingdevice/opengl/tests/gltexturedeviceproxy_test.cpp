#include "proxy/gltexturedeviceproxy.hpp"

#include "glrenderingdevice.hpp"
#include "support/hiddenwindowdevicetest.hpp"

#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <memory>
#include <vector>

using namespace Vorn;

namespace
{
	class GLTextureDeviceProxyTest : public HiddenWindowDeviceTest<64, 64>
	{
	protected:
		static GLint LevelParameter(unsigned int texture, GLint level, GLenum parameter)
		{
			GLint value = 0;
			glBindTexture(GL_TEXTURE_2D, texture);
			glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
			glBindTexture(GL_TEXTURE_2D, 0);
			return value;
		}

		static GLint Parameter(unsigned int texture, GLenum parameter)
		{
			GLint value = 0;
			glBindTexture(GL_TEXTURE_2D, texture);
			glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
			glBindTexture(GL_TEXTURE_2D, 0);
			return value;
		}

		template <typename T>
		static std::vector<T> ReadLevelZero(unsigned int texture, GLenum format, GLenum type, std::size_t count)
		{
			std::vector<T> values(count);
			glBindTexture(GL_TEXTURE_2D, texture);
			glPixelStorei(GL_PACK_ALIGNMENT, 1);
			glGetTexImage(GL_TEXTURE_2D, 0, format, type, values.data());
			glBindTexture(GL_TEXTURE_2D, 0);
			return values;
		}
	};

	struct FormatCase
	{
		const char* Name;
		std::unique_ptr<ITextureDeviceProxy> (*Create)();
		GLint InternalFormat;
		GLint Wrap;
		GLint Filter;
	};

	template <std::size_t Channels, eTextureUsageType Usage>
	std::unique_ptr<ITextureDeviceProxy> CreateThroughDevice()
	{
		return gRenderingDevice->CreateTexture(8, 4, Channels, Usage);
	}

	template <eRenderTargetType Type>
	std::unique_ptr<ITextureDeviceProxy> CreateRenderTarget()
	{
		return std::make_unique<GLTextureDeviceProxy>(8, 4, Type);
	}

	TEST_F(GLTextureDeviceProxyTest, StorageAndSamplingFollowTheUsage)
	{
		using U = eTextureUsageType;
		const FormatCase cases[] = {
		    {"albedo 3", CreateThroughDevice<3, U::ALBEDO>, GL_SRGB8, GL_REPEAT, GL_LINEAR},
		    {"albedo 4", CreateThroughDevice<4, U::ALBEDO>, GL_SRGB8_ALPHA8, GL_REPEAT, GL_LINEAR},
		    {"emissive 3", CreateThroughDevice<3, U::EMISSIVE>, GL_SRGB8, GL_REPEAT, GL_LINEAR},
		    {"emissive 4", CreateThroughDevice<4, U::EMISSIVE>, GL_SRGB8_ALPHA8, GL_REPEAT, GL_LINEAR},
		    {"normal", CreateThroughDevice<3, U::NORMAL>, GL_RGB, GL_REPEAT, GL_LINEAR},
		    {"roughness 1", CreateThroughDevice<1, U::ROUGHNESS>, GL_R8, GL_REPEAT, GL_LINEAR},
		    {"metallic 3", CreateThroughDevice<3, U::METALLIC>, GL_RGB8, GL_REPEAT, GL_LINEAR},
		    {"ambient occlusion 4", CreateThroughDevice<4, U::AMBIENT_OCCLUSION>, GL_RGBA8, GL_REPEAT, GL_LINEAR},
		    {"font", CreateThroughDevice<1, U::FONT>, GL_R8, GL_CLAMP_TO_EDGE, GL_LINEAR},
		    {"hdr", CreateThroughDevice<3, U::HDR>, GL_RGB16F, GL_CLAMP_TO_EDGE, GL_LINEAR},
		    {"color target", CreateRenderTarget<eRenderTargetType::COLOR>, GL_RGB8, GL_CLAMP_TO_EDGE, GL_LINEAR},
		    {"depth target", CreateRenderTarget<eRenderTargetType::DEPTH>, GL_DEPTH_COMPONENT, GL_CLAMP_TO_EDGE,
		     GL_NEAREST},
		};
		for (const FormatCase& format : cases)
		{
			SCOPED_TRACE(format.Name);
			const std::unique_ptr<ITextureDeviceProxy> texture = format.Create();
			const unsigned int id = texture->GetResourceID();
			ASSERT_NE(id, 0u);
			EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
			EXPECT_EQ(LevelParameter(id, 0, GL_TEXTURE_INTERNAL_FORMAT), format.InternalFormat);
			EXPECT_EQ(LevelParameter(id, 0, GL_TEXTURE_WIDTH), 8);
			EXPECT_EQ(LevelParameter(id, 0, GL_TEXTURE_HEIGHT), 4);
			EXPECT_EQ(Parameter(id, GL_TEXTURE_WRAP_S), format.Wrap);
			EXPECT_EQ(Parameter(id, GL_TEXTURE_WRAP_T), format.Wrap);
			EXPECT_EQ(Parameter(id, GL_TEXTURE_MIN_FILTER), format.Filter);
			EXPECT_EQ(Parameter(id, GL_TEXTURE_MAG_FILTER), format.Filter);
		}
	}

	TEST_F(GLTextureDeviceProxyTest, DestroyingTheProxyDeletesItsTexture)
	{
		unsigned int id = 0;
		{
			const std::unique_ptr<ITextureDeviceProxy> texture =
			    Device->CreateTexture(4, 4, 4, eTextureUsageType::ALBEDO);
			id = texture->GetResourceID();
			EXPECT_TRUE(glIsTexture(id));
		}
		EXPECT_FALSE(glIsTexture(id));
	}

	TEST_F(GLTextureDeviceProxyTest, FontTextureSetsByteUnpackAlignment)
	{
		GLint alignment = 0;
		glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
		ASSERT_EQ(alignment, 4);

		const auto font = Device->CreateTexture(512, 16, 1, eTextureUsageType::FONT);

		glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
		EXPECT_EQ(alignment, 1);
	}

	TEST_F(GLTextureDeviceProxyTest, SetContentUploadsTheWholeImageAndBuildsMipmaps)
	{
		const std::vector<u8> texels = {10,  20,  30,  40,  50,  60,  70,  80,  90,  100, 110, 120, 130, 140, 150, 160,
		                                161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 171, 172, 173, 174, 175, 176};
		const auto texture = Device->CreateTexture(4, 2, 4, eTextureUsageType::METALLIC);

		texture->SetContent(texels.data());

		const unsigned int id = texture->GetResourceID();
		EXPECT_EQ(ReadLevelZero<u8>(id, GL_RGBA, GL_UNSIGNED_BYTE, texels.size()), texels);
		EXPECT_EQ(LevelParameter(id, 1, GL_TEXTURE_WIDTH), 2);
		EXPECT_EQ(LevelParameter(id, 2, GL_TEXTURE_WIDTH), 1);
	}

	TEST_F(GLTextureDeviceProxyTest, FontContentGetsNoMipmaps)
	{
		// Seven-byte rows: only uploads with byte alignment read them right.
		std::vector<u8> texels(7 * 3);
		for (std::size_t i = 0; i < texels.size(); ++i)
			texels[i] = static_cast<u8>(i * 11);
		const auto font = Device->CreateTexture(7, 3, 1, eTextureUsageType::FONT);

		font->SetContent(texels.data());

		EXPECT_EQ(ReadLevelZero<u8>(font->GetResourceID(), GL_RED, GL_UNSIGNED_BYTE, texels.size()), texels);
		EXPECT_EQ(LevelParameter(font->GetResourceID(), 1, GL_TEXTURE_WIDTH), 0);
	}

	TEST_F(GLTextureDeviceProxyTest, SetContentHDRKeepsValuesAboveOne)
	{
		const std::vector<float> texels = {0.125f, 1.5f, 3.25f, 64.0f, 1000.0f, 0.0f,
		                                   2.0f,   0.5f, 7.75f, 12.0f, 0.25f,   100.25f};
		const auto hdr = Device->CreateTexture(2, 2, 3, eTextureUsageType::HDR);

		hdr->SetContentHDR(texels.data());

		EXPECT_EQ(ReadLevelZero<float>(hdr->GetResourceID(), GL_RGB, GL_FLOAT, texels.size()), texels);
		EXPECT_EQ(LevelParameter(hdr->GetResourceID(), 1, GL_TEXTURE_WIDTH), 1);
	}

	TEST_F(GLTextureDeviceProxyTest, SubContentTouchingTheRightAndTopEdgesReplacesOnlyThatRectangle)
	{
		const std::vector<u8> zeros(4 * 4, 0);
		const std::vector<u8> patch = {1, 2, 3, 4, 5, 6};
		const auto font = Device->CreateTexture(4, 4, 1, eTextureUsageType::FONT);
		font->SetContent(zeros.data());

		font->SetSubContent(3, 2, 1, 2, patch.data());

		const std::vector<u8> expected = {0, 0, 0, 0, //
		                                  0, 0, 0, 0, //
		                                  0, 1, 2, 3, //
		                                  0, 4, 5, 6};
		EXPECT_EQ(ReadLevelZero<u8>(font->GetResourceID(), GL_RED, GL_UNSIGNED_BYTE, expected.size()), expected);
	}

	TEST_F(GLTextureDeviceProxyTest, FullWidthGlyphRowFitsTheFontAtlas)
	{
		const std::vector<u8> row(512, 200);
		const auto font = Device->CreateTexture(512, 8, 1, eTextureUsageType::FONT);

		font->SetSubContent(512, 1, 0, 7, row.data());

		const std::vector<u8> texels = ReadLevelZero<u8>(font->GetResourceID(), GL_RED, GL_UNSIGNED_BYTE, 512 * 8);
		EXPECT_EQ(std::vector<u8>(texels.end() - 512, texels.end()), row);
	}

	using GLTextureDeviceProxyDeathTest = GLTextureDeviceProxyTest;

	TEST_F(GLTextureDeviceProxyDeathTest, CreationRejectsInvalidArguments)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		EXPECT_DEATH(Device->CreateTexture(0, 4, 4, eTextureUsageType::ALBEDO), "Invalid arguments!");
		EXPECT_DEATH(Device->CreateTexture(4, 0, 4, eTextureUsageType::ALBEDO), "Invalid arguments!");
		EXPECT_DEATH(Device->CreateTexture(4, 4, 2, eTextureUsageType::ROUGHNESS), "Invalid Channels!");
		EXPECT_DEATH(Device->CreateTexture(4, 4, 4, eTextureUsageType::_COUNT), "Uknown eTextureUsageType!");
		EXPECT_DEATH(GLTextureDeviceProxy(4, 4, eRenderTargetType::NONE), "Invalid RenderTargetType!");
	}

	TEST_F(GLTextureDeviceProxyDeathTest, SubContentPastTheEdgeIsRejected)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const std::vector<u8> row(512 * 2, 0);
		const auto font = Device->CreateTexture(512, 8, 1, eTextureUsageType::FONT);

		EXPECT_DEATH(font->SetSubContent(512, 1, 1, 0, row.data()), "Invalid arguments!");
		EXPECT_DEATH(font->SetSubContent(1, 2, 0, 7, row.data()), "Invalid arguments!");
		EXPECT_DEATH(font->SetSubContent(0, 1, 0, 0, row.data()), "Invalid arguments!");
		EXPECT_DEATH(font->SetSubContent(1, 1, 0, 0, nullptr), "Data pointer is nullptr!");
	}

	TEST_F(GLTextureDeviceProxyDeathTest, HDRTextureTakesOnlyFloatData)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const std::vector<u8> bytes(2 * 2 * 3, 0);
		const auto hdr = Device->CreateTexture(2, 2, 3, eTextureUsageType::HDR);

		EXPECT_DEATH(hdr->SetContent(bytes.data()),
		             "Invalid texture usage type, unsigned char\\* is for LDR image data");
		EXPECT_DEATH(hdr->SetSubContent(1, 1, 0, 0, bytes.data()),
		             "Invalid texture usage type, unsigned char\\* is for LDR image data");
		EXPECT_DEATH(hdr->SetContentHDR(nullptr), "Data pointer is nullptr!");
	}

	TEST_F(GLTextureDeviceProxyDeathTest, LDRTextureTakesOnlyByteData)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const std::vector<float> floats(2 * 2 * 4, 0.0f);
		const auto albedo = Device->CreateTexture(2, 2, 4, eTextureUsageType::ALBEDO);

		EXPECT_DEATH(albedo->SetContentHDR(floats.data()),
		             "Invalid texture usage type, float\\* is for HDR image data");
		EXPECT_DEATH(albedo->SetContent(nullptr), "Data pointer is nullptr!");
	}
} // namespace
