#include "renderingtargets/depthrenderingtarget.hpp"
#include "renderingtargets/renderingtargetbase.hpp"
#include "renderingtargets/texture2dinputtarget.hpp"
#include "renderingtargets/texture2drenderingtarget.hpp"

#include "glrenderingdevice.hpp"
#include "resources/textureresource.hpp"
#include "support/enginedevicetest.hpp"
#include "support/hiddenwindowdevicetest.hpp"
#include "support/offscreendrawing.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <functional>
#include <memory>
#include <string>

using namespace Vorn;
using namespace OffscreenDrawing;

namespace
{
	constexpr int SCREEN_WIDTH = 48;
	constexpr int SCREEN_HEIGHT = 24;

	class RenderingTargetsTest : public HiddenWindowDeviceTest<SCREEN_WIDTH, SCREEN_HEIGHT>
	{
	protected:
		static GLint AttachedTexture(GLenum attachment)
		{
			GLint texture = 0;
			glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
			                                      &texture);
			return texture;
		}
	};

	struct ScreenTargetCase
	{
		const char* Name;
		std::function<std::unique_ptr<Texture2DRenderingTarget>()> Create;
		eRenderingTargetType Type;
		eRenderTargetType RenderTargetType;
		bool IsDepth;
		GLint Filter;
	};

	const ScreenTargetCase SCREEN_TARGETS[] = {
	    {"colour", [] { return std::make_unique<Texture2DRenderingTarget>(GL_RGBA16F); },
	     eRenderingTargetType::TEXTURE_2D, eRenderTargetType::COLOR, false, GL_LINEAR},
	    {"depth", [] { return std::make_unique<DepthRenderingTarget>(); }, eRenderingTargetType::DEPTH,
	     eRenderTargetType::DEPTH, true, GL_NEAREST},
	    {"colour built as depth",
	     [] { return std::make_unique<Texture2DRenderingTarget>(GL_DEPTH_COMPONENT24, eRenderTargetType::DEPTH); },
	     eRenderingTargetType::TEXTURE_2D, eRenderTargetType::DEPTH, true, GL_NEAREST},
	};

	// The requested internal format is ignored: colour targets are always RGB8.
	TEST_F(RenderingTargetsTest, ScreenTargetsAreClampedTexturesAtTheScreenSize)
	{
		for (const ScreenTargetCase& testCase : SCREEN_TARGETS)
		{
			SCOPED_TRACE(testCase.Name);
			const auto target = testCase.Create();
			const GLuint texture = target->GetTextureID();

			ASSERT_TRUE(glIsTexture(texture));
			EXPECT_EQ(target->GetType(), testCase.Type);
			EXPECT_EQ(target->GetRenderTargetType(), testCase.RenderTargetType);
			EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_WIDTH), SCREEN_WIDTH);
			EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_HEIGHT), SCREEN_HEIGHT);
			if (testCase.IsDepth)
			{
				EXPECT_GT(TextureLevelParameter(texture, GL_TEXTURE_DEPTH_SIZE), 0);
				EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_RED_SIZE), 0);
			}
			else
				EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB8);
			EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
			EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
			EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_MIN_FILTER), testCase.Filter);
			EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_MAG_FILTER), testCase.Filter);
		}
	}

	TEST_F(RenderingTargetsTest, TargetsTakeTheDevicesCurrentScreenSize)
	{
		Device->Resize(ScreenSize{20, 10});

		const Texture2DRenderingTarget colour(GL_RGB8);
		const DepthRenderingTarget depth;

		for (GLuint texture : {colour.GetTextureID(), depth.GetTextureID()})
		{
			EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_WIDTH), 20);
			EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_HEIGHT), 10);
		}
	}

	TEST_F(RenderingTargetsTest, ResizedTargetsKeepTheirNamesSoTheirFramebufferStaysComplete)
	{
		Texture2DRenderingTarget colour(GL_RGB8);
		DepthRenderingTarget depth;
		const GLuint colourTexture = colour.GetTextureID();
		const GLuint depthTexture = depth.GetTextureID();
		GLuint framebuffer = 0;
		glGenFramebuffers(1, &framebuffer);
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
		ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

		colour.Resize(ScreenSize{64, 40});
		depth.Resize(ScreenSize{64, 40});

		EXPECT_EQ(colour.GetTextureID(), colourTexture);
		EXPECT_EQ(depth.GetTextureID(), depthTexture);
		EXPECT_EQ(TextureLevelParameter(colourTexture, GL_TEXTURE_WIDTH), 64);
		EXPECT_EQ(TextureLevelParameter(depthTexture, GL_TEXTURE_HEIGHT), 40);
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
		EXPECT_EQ(AttachedTexture(GL_COLOR_ATTACHMENT0), static_cast<GLint>(colourTexture));
		EXPECT_EQ(AttachedTexture(GL_DEPTH_ATTACHMENT), static_cast<GLint>(depthTexture));

		// The new size is usable to its far corner.
		glViewport(0, 0, 64, 40);
		glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glDeleteFramebuffers(1, &framebuffer);
		EXPECT_TRUE(IsPixel(ReadTexture(colourTexture).At(63, 39), {255, 0, 0, 255}));
	}

	TEST_F(RenderingTargetsTest, DestroyingATargetDeletesItsTexture)
	{
		auto target = std::make_unique<DepthRenderingTarget>();
		const GLuint texture = target->GetTextureID();

		target.reset();

		EXPECT_FALSE(glIsTexture(texture));
	}

	using RenderingTargetsDeathTest = RenderingTargetsTest;

	TEST_F(RenderingTargetsDeathTest, TargetOfAScreenWithoutAreaStops)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		Device->Resize(ScreenSize{0, 0});
		EXPECT_DEATH(Texture2DRenderingTarget(GL_RGB8), "Invalid arguments!");
	}

	class InputTargetTest : public EngineDeviceTest<16, 16>
	{
	protected:
		static bool IsRegistered(const char* path)
		{
			return Impl::gTextureResourcesMap.find(String(path)) != Impl::gTextureResourcesMap.end();
		}
	};

	// A binary PPM of 2 x 1 texels.
	const std::string TWO_TEXEL_IMAGE = std::string("P6\n2 1\n255\n") + std::string("\x0a\x14\x1e\xc8\x64\x32", 6);

	TEST_F(InputTargetTest, LoadsAnEngineImageAsAnAlbedoTexture)
	{
		Assets->WriteEngineAsset("Textures/lut.ppm", TWO_TEXEL_IMAGE);

		const Texture2DInputTarget target("Textures/lut.ppm");

		EXPECT_EQ(target.GetType(), eRenderingTargetType::TEXTURE_2D_INPUT);
		ASSERT_NE(target.GetTexture(), nullptr);
		const GLuint texture = target.GetTextureID();
		EXPECT_EQ(texture, target.GetTexture()->GetTextureProxy()->GetResourceID());
		EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_INTERNAL_FORMAT), GL_SRGB8_ALPHA8);
		const TexturePixels pixels = ReadTexture(texture);
		ASSERT_EQ(pixels.Width, 2);
		ASSERT_EQ(pixels.Height, 1);
		EXPECT_TRUE(IsPixel(pixels.At(0, 0), {10, 20, 30, 255}, 0));
		EXPECT_TRUE(IsPixel(pixels.At(1, 0), {200, 100, 50, 255}, 0));
	}

	TEST_F(InputTargetTest, ResizeLeavesTheImageAlone)
	{
		Assets->WriteEngineAsset("Textures/lut.ppm", TWO_TEXEL_IMAGE);
		Texture2DInputTarget target("Textures/lut.ppm");

		target.Resize(ScreenSize{64, 64});

		EXPECT_EQ(TextureLevelParameter(target.GetTextureID(), GL_TEXTURE_WIDTH), 2);
		EXPECT_EQ(TextureLevelParameter(target.GetTextureID(), GL_TEXTURE_HEIGHT), 1);
	}

	TEST_F(InputTargetTest, EachTargetHoldsOneReferenceUntilDestroyed)
	{
		Assets->WriteEngineAsset("Textures/lut.ppm", TWO_TEXEL_IMAGE);
		auto first = std::make_unique<Texture2DInputTarget>("Textures/lut.ppm");
		auto second = std::make_unique<Texture2DInputTarget>("Textures/lut.ppm");
		ASSERT_EQ(first->GetTexture(), second->GetTexture());
		const GLuint texture = first->GetTextureID();

		first.reset();
		EXPECT_TRUE(IsRegistered("Textures/lut.ppm"));
		EXPECT_TRUE(glIsTexture(texture));

		second.reset();
		EXPECT_FALSE(IsRegistered("Textures/lut.ppm"));
		EXPECT_FALSE(glIsTexture(texture));
	}

	TEST_F(InputTargetTest, MissingImageLeavesTheTargetWithoutTexture)
	{
		const Texture2DInputTarget target("Textures/missing.png");

		EXPECT_EQ(target.GetTexture(), nullptr);
		EXPECT_EQ(target.GetTextureID(), 0u);
		EXPECT_FALSE(IsRegistered("Textures/missing.png"));
	}
} // namespace
