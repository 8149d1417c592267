#include "glrenderingdevice.hpp"
#include "support/hiddenwindowdevicetest.hpp"

#include "ecs/world.hpp"
#include "math/vector.hpp"
#include "rendering/viewportworldcomponent.hpp"

#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <dlfcn.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr ScreenSize WINDOW_SIZE = {1280, 720};

	using Pixel = std::array<u8, 4>;

	// What the device presented: the back buffer as it was at each swap.
	struct PresentedFrames
	{
		int SwapCount = 0;
		std::vector<u8> LastFrame; // RGBA rows, bottom row first
	} gPresented;

	Pixel PixelAt(const std::vector<u8>& frame, int x, int y)
	{
		const std::size_t offset = (static_cast<std::size_t>(y) * WINDOW_SIZE.Width + x) * 4;
		return {frame[offset], frame[offset + 1], frame[offset + 2], frame[offset + 3]};
	}

	u8 ToByte(float channel) { return static_cast<u8>(std::lround(channel * 255.0f)); }

	const Pixel CLEAR_PIXEL = {ToByte(GLRenderingDevice::VIEWPORT_CLEAR_COLOR.r),
	                           ToByte(GLRenderingDevice::VIEWPORT_CLEAR_COLOR.g),
	                           ToByte(GLRenderingDevice::VIEWPORT_CLEAR_COLOR.b), 255};
	const Pixel MARKER_PIXEL = {255, 0, 255, 255};

	testing::AssertionResult IsPixel(const Pixel& actual, const Pixel& expected)
	{
		for (std::size_t i = 0; i < actual.size(); ++i)
		{
			if (std::abs(int(actual[i]) - int(expected[i])) > 1)
				return testing::AssertionFailure()
				       << "pixel (" << int(actual[0]) << ", " << int(actual[1]) << ", " << int(actual[2]) << ", "
				       << int(actual[3]) << ") instead of (" << int(expected[0]) << ", " << int(expected[1]) << ", "
				       << int(expected[2]) << ", " << int(expected[3]) << ")";
		}
		return testing::AssertionSuccess();
	}
} // namespace

// The device is compiled into this program, so its call to SDL lands here first: the back buffer is read just
// before it is presented, and the call then goes on to SDL.
extern "C" void SDL_GL_SwapWindow(SDL_Window* window)
{
	++gPresented.SwapCount;
	gPresented.LastFrame.assign(static_cast<std::size_t>(WINDOW_SIZE.Width) * WINDOW_SIZE.Height * 4, 0);
	glReadBuffer(GL_BACK);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(0, 0, WINDOW_SIZE.Width, WINDOW_SIZE.Height, GL_RGBA, GL_UNSIGNED_BYTE, gPresented.LastFrame.data());

	using SwapFunction = void (*)(SDL_Window*);
	static const auto sdlSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
	sdlSwap(window);
}

namespace
{
	class GLRenderingDeviceTest : public HiddenWindowDeviceTest<WINDOW_SIZE.Width, WINDOW_SIZE.Height>
	{
	protected:
		void SetUp() override
		{
			HiddenWindowDeviceTest::SetUp();
			gPresented = PresentedFrames();
			TestWorld.reset(new World());
			Viewports = TestWorld->AddWorldComponent<ViewportWorldComponent>();
		}

		void TearDown() override
		{
			TestWorld.reset();
			HiddenWindowDeviceTest::TearDown();
		}

		// Paints the whole back buffer, so whatever a frame leaves untouched shows as the marker colour.
		static void FillBackBufferWithMarker()
		{
			glDisable(GL_SCISSOR_TEST);
			glViewport(0, 0, WINDOW_SIZE.Width, WINDOW_SIZE.Height);
			glClearColor(MARKER_PIXEL[0] / 255.0f, MARKER_PIXEL[1] / 255.0f, MARKER_PIXEL[2] / 255.0f, 1.0f);
			glClear(GL_COLOR_BUFFER_BIT);
		}

		static std::vector<u8> ReadTexture(u32 texture, GLenum format, int texelCount)
		{
			const int channels = format == GL_RGBA ? 4 : 3;
			std::vector<u8> texels(static_cast<std::size_t>(texelCount * channels));
			glBindTexture(GL_TEXTURE_2D, texture);
			glPixelStorei(GL_PACK_ALIGNMENT, 1);
			glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
			return texels;
		}

		static GLint TextureParameter(u32 texture, GLenum parameter)
		{
			GLint value = 0;
			glBindTexture(GL_TEXTURE_2D, texture);
			glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
			return value;
		}

		static GLint TextureLevelParameter(u32 texture, GLenum parameter)
		{
			GLint value = 0;
			glBindTexture(GL_TEXTURE_2D, texture);
			glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
			return value;
		}

		std::unique_ptr<World> TestWorld;
		ViewportWorldComponent* Viewports = nullptr;
	};

	TEST_F(GLRenderingDeviceTest, ConstructionCreatesACurrentHighEndContext)
	{
		EXPECT_EQ(gRenderingDevice, Device.get());
		EXPECT_EQ(Device->GetRendererType(), eRendererType::HIGHEND);
		EXPECT_NE(SDL_GL_GetCurrentContext(), nullptr);

		GLint major = 0;
		GLint minor = 0;
		glGetIntegerv(GL_MAJOR_VERSION, &major);
		glGetIntegerv(GL_MINOR_VERSION, &minor);
		EXPECT_GE(major * 10 + minor, 43);
		GLint profile = 0;
		glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
		EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
		GLint samples = 0;
		glGetIntegerv(GL_SAMPLES, &samples);
		EXPECT_EQ(samples, 4);
		GLint depthBits = 0;
		glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE,
		                                      &depthBits);
		EXPECT_GE(depthBits, 24);

		Device.reset();
		EXPECT_EQ(gRenderingDevice, nullptr);
	}

	TEST_F(GLRenderingDeviceTest, InitListsTheDriverExtensions)
	{
		Device->Init();

		GLint extensionCount = 0;
		glGetIntegerv(GL_NUM_EXTENSIONS, &extensionCount);
		ASSERT_GT(extensionCount, 0);
		ASSERT_EQ(Device->GetOpenGLExtensions().GetSize(), static_cast<u64>(extensionCount));
		EXPECT_EQ(Device->GetOpenGLExtensions()[0],
		          String(reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, 0))));
	}

	TEST_F(GLRenderingDeviceTest, FallbackTexturesHoldOneTexelEach)
	{
		Device->Init();

		struct FallbackCase
		{
			const char* Name;
			u32 Texture;
			GLenum Format;
			std::vector<u8> Texel;
		};
		const FallbackCase cases[] = {
		    {"white", Device->GetFallbackWhiteTexture(), GL_RGBA, {255, 255, 255, 255}},
		    {"black", Device->GetFallbackBlackTexture(), GL_RGBA, {0, 0, 0, 0}},
		    {"flat normal", Device->GetFallbackNormalMap(), GL_RGB, {128, 128, 255}},
		};
		for (const FallbackCase& fallback : cases)
		{
			SCOPED_TRACE(fallback.Name);
			ASSERT_NE(fallback.Texture, 0u);
			EXPECT_EQ(TextureLevelParameter(fallback.Texture, GL_TEXTURE_WIDTH), 1);
			EXPECT_EQ(TextureLevelParameter(fallback.Texture, GL_TEXTURE_HEIGHT), 1);
			EXPECT_EQ(ReadTexture(fallback.Texture, fallback.Format, 1), fallback.Texel);
			EXPECT_EQ(TextureParameter(fallback.Texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
			EXPECT_EQ(TextureParameter(fallback.Texture, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
			EXPECT_EQ(TextureParameter(fallback.Texture, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
			EXPECT_EQ(TextureParameter(fallback.Texture, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
		}
	}

	TEST_F(GLRenderingDeviceTest, NoiseTextureHoldsSixteenRandomDirectionsInTheXYPlane)
	{
		// The same seed replays the device's draws: two per texel, the first for y and the second for x, each the
		// fractional part of rand() / 32767 mapped to -1..1.
		std::srand(20180);
		std::vector<u8> expected;
		for (int texel = 0; texel < 16; ++texel)
		{
			const double first = std::rand() / 32767.0;
			const double second = std::rand() / 32767.0;
			const float y = static_cast<float>(2.0 * (first - std::floor(first)) - 1.0);
			const float x = static_cast<float>(2.0 * (second - std::floor(second)) - 1.0);
			const float length = std::sqrt(x * x + y * y);
			for (float component : {x / length, y / length, 0.0f})
				expected.push_back(static_cast<u8>((component * 0.5f + 0.5f) * 255.0f));
		}
		std::srand(20180);

		Device->Init();

		const u32 noise = Device->GetNoiseTexture();
		ASSERT_NE(noise, 0u);
		EXPECT_EQ(TextureLevelParameter(noise, GL_TEXTURE_WIDTH), 4);
		EXPECT_EQ(TextureLevelParameter(noise, GL_TEXTURE_HEIGHT), 4);
		EXPECT_EQ(TextureParameter(noise, GL_TEXTURE_WRAP_S), GL_REPEAT);
		EXPECT_EQ(TextureParameter(noise, GL_TEXTURE_WRAP_T), GL_REPEAT);
		EXPECT_EQ(TextureParameter(noise, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
		EXPECT_EQ(TextureParameter(noise, GL_TEXTURE_MAG_FILTER), GL_NEAREST);

		const std::vector<u8> texels = ReadTexture(noise, GL_RGB, 16);
		ASSERT_EQ(texels.size(), expected.size());
		for (std::size_t i = 0; i < texels.size(); ++i)
			EXPECT_NEAR(texels[i], expected[i], 1) << "byte " << i;
		for (std::size_t texel = 0; texel < 16; ++texel)
		{
			const float x = texels[texel * 3] / 255.0f * 2.0f - 1.0f;
			const float y = texels[texel * 3 + 1] / 255.0f * 2.0f - 1.0f;
			EXPECT_NEAR(std::sqrt(x * x + y * y), 1.0f, 0.02f) << "texel " << texel;
			EXPECT_EQ(texels[texel * 3 + 2], 127) << "texel " << texel;
		}
	}

	TEST_F(GLRenderingDeviceTest, RenderWorldClearsEveryViewportRectangleAndSwapsOnce)
	{
		Device->Init();
		// Viewport 0 covers the right half; a second one the upper half of the left quarter.
		Viewports->ResizeViewport(0, AARect(Vector2f(0.5f, 0.0f), Vector2f(0.5f, 1.0f)));
		Viewports->AddViewport(AARect(Vector2f(0.0f, 0.5f), Vector2f(0.25f, 0.5f)));
		FillBackBufferWithMarker();

		Device->RenderWorld(TestWorld.get());

		ASSERT_EQ(gPresented.SwapCount, 1);
		const std::vector<u8>& frame = gPresented.LastFrame;
		EXPECT_TRUE(IsPixel(PixelAt(frame, 960, 360), CLEAR_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(frame, 640, 0), CLEAR_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(frame, 1279, 719), CLEAR_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(frame, 100, 600), CLEAR_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(frame, 0, 360), CLEAR_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(frame, 639, 360), MARKER_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(frame, 100, 200), MARKER_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(frame, 320, 600), MARKER_PIXEL));
	}

	TEST_F(GLRenderingDeviceTest, RenderWorldWithoutViewportsDrawsNothingButStillSwaps)
	{
		Device->Init();
		Viewports->RemoveViewport(0);
		FillBackBufferWithMarker();

		Device->RenderWorld(TestWorld.get());

		ASSERT_EQ(gPresented.SwapCount, 1);
		EXPECT_TRUE(IsPixel(PixelAt(gPresented.LastFrame, 640, 360), MARKER_PIXEL));
	}

	TEST_F(GLRenderingDeviceTest, ResizeScalesViewportsToTheNewScreenSize)
	{
		Device->Init();
		Device->Resize(ScreenSize{640, 360});
		FillBackBufferWithMarker();

		Device->RenderWorld(TestWorld.get());

		EXPECT_EQ(Device->GetScreenSize().Width, 640);
		EXPECT_EQ(Device->GetScreenSize().Height, 360);
		ASSERT_EQ(gPresented.SwapCount, 1);
		EXPECT_TRUE(IsPixel(PixelAt(gPresented.LastFrame, 639, 359), CLEAR_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(gPresented.LastFrame, 640, 200), MARKER_PIXEL));
		EXPECT_TRUE(IsPixel(PixelAt(gPresented.LastFrame, 200, 360), MARKER_PIXEL));
	}

	TEST_F(GLRenderingDeviceTest, EachFrameSwapsOnce)
	{
		Device->Init();
		Viewports->AddViewport(AARect(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 0.5f)));

		for (int frame = 0; frame < 3; ++frame)
			Device->RenderWorld(TestWorld.get());

		EXPECT_EQ(gPresented.SwapCount, 3);
	}

	using GLRenderingDeviceDeathTest = GLRenderingDeviceTest;

	TEST_F(GLRenderingDeviceDeathTest, SecondDeviceIsRefused)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		EXPECT_DEATH(GLRenderingDevice(TestWindow, WINDOW_SIZE), "Creating device twice\\?");
	}

	TEST_F(GLRenderingDeviceDeathTest, NullWindowIsRefused)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		Device.reset();
		EXPECT_DEATH(GLRenderingDevice(nullptr, WINDOW_SIZE), "Invalid window passed to rendering device\\.");
	}
} // namespace
