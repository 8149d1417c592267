#include "glrenderingdevice.hpp"
#include "support/builtshaders.hpp"
#include "support/enginedevicetest.hpp"
#include "support/fallbackshaders.hpp"
#include "support/globjectqueries.hpp"
#include "support/hiddenwindowdevicetest.hpp"
#include "support/missingshadertest.hpp"
#include "support/tempengineassets.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "math/angle.hpp"
#include "math/vector.hpp"
#include "primitives/primitivecube.hpp"
#include "primitives/primitivequad.hpp"
#include "renderers/irendererinterface.hpp"
#include "renderers/sceneview.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/lights/spotlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"

#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
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
	// What a renderer was asked to do. The test keeps it, so it outlives the renderer.
	struct RendererLog
	{
		struct ViewRecord
		{
			World* WorldData = nullptr;
			const Viewport* ViewportData = nullptr;
			AARect Rect;
			CameraComponent* Camera = nullptr;
			std::vector<MeshRenderingComponent*> OpaqueQueue;
			std::vector<MeshRenderingComponent*> TranslucentQueue;
			std::vector<DirectionalLightComponent*> DirectionalLights;
			std::vector<PointLightComponent*> PointLights;
			int SwapsBefore = 0;
		};

		std::vector<std::string> Events;
		std::vector<ViewRecord> Views;
		std::vector<ScreenSize> Resizes;

		// The device's state when Deinit ran, and when the renderer was destroyed.
		bool WasDeviceRegisteredAtDeinit = false;
		bool HadContextAtDeinit = false;
		bool HadPrimitivesAtDeinit = false;
		bool WasDeviceRegisteredAtDestruction = true;
		bool HadContextAtDestruction = true;
	};

	template <typename T>
	std::vector<T> ToVector(const Dynarray<T>& values)
	{
		return std::vector<T>(values.GetData(), values.GetData() + values.GetSize());
	}

	class RecordingRenderer : public IRendererInterface
	{
	public:
		RecordingRenderer(GLRenderingDevice* device, RendererLog* log) : IRendererInterface(device), Log(log) {}

		~RecordingRenderer() override
		{
			Log->Events.push_back("destroyed");
			Log->WasDeviceRegisteredAtDestruction = gRenderingDevice != nullptr;
			Log->HadContextAtDestruction = SDL_GL_GetCurrentContext() != nullptr;
		}

		void Init() override { Log->Events.push_back("Init"); }

		void Resize(ScreenSize const& size) override
		{
			Log->Events.push_back("Resize");
			Log->Resizes.push_back(size);
		}

		void Render(SceneView const& view) override
		{
			Log->Events.push_back("Render");
			RendererLog::ViewRecord record;
			record.WorldData = view.WorldData;
			record.ViewportData = &view.ViewportData;
			record.Rect = view.Rect;
			record.Camera = view.CameraCmp;
			record.OpaqueQueue = ToVector(view.OpaqueQueue);
			record.TranslucentQueue = ToVector(view.TranslucentQueue);
			record.DirectionalLights = ToVector(view.DirectionalLights);
			record.PointLights = ToVector(view.PointLights);
			record.SwapsBefore = gPresented.SwapCount;
			Log->Views.push_back(record);
		}

		void Deinit() override
		{
			Log->Events.push_back("Deinit");
			Log->WasDeviceRegisteredAtDeinit = gRenderingDevice == RenderingDeviceInterface;
			Log->HadContextAtDeinit = SDL_GL_GetCurrentContext() != nullptr;
			const PrimitiveQuad* quad = RenderingDeviceInterface->GetQuadPrimitive();
			const PrimitiveCube* cube = RenderingDeviceInterface->GetCubePrimitive();
			Log->HadPrimitivesAtDeinit =
			    quad && cube && glIsVertexArray(quad->GetVAO()) && glIsVertexArray(cube->GetVAO());
		}

	private:
		RendererLog* Log;
	};

	class GLRenderingDeviceTest : public HiddenWindowDeviceTest<WINDOW_SIZE.Width, WINDOW_SIZE.Height>
	{
	protected:
		void SetUp() override
		{
			HiddenWindowDeviceTest::SetUp();
			// Init builds the renderer's programs from the engine assets.
			Assets = std::make_unique<TempEngineAssets>();
			CopyBuiltShaders();
			gPresented = PresentedFrames();
			TestWorld.reset(new World());
			Viewports = TestWorld->AddWorldComponent<ViewportWorldComponent>();
		}

		void TearDown() override
		{
			TestWorld.reset();
			HiddenWindowDeviceTest::TearDown();
			Assets.reset();
		}

		// Without a renderer RenderWorld only clears the viewports.
		void InitWithoutRenderer()
		{
			Device->Init();
			Device->SetRenderer(nullptr);
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

		// Installs a recording renderer on the device, which owns it from then on.
		void UseRecordingRenderer(RendererLog* log)
		{
			Device->SetRenderer(std::make_unique<RecordingRenderer>(Device.get(), log));
		}

		std::unique_ptr<TempEngineAssets> Assets;
		std::unique_ptr<World> TestWorld;
		ViewportWorldComponent* Viewports = nullptr;
		// Members, so they outlive the device and the renderers it destroys in TearDown.
		RendererLog Log;
		RendererLog OtherLog;
	};

	TEST_F(GLRenderingDeviceTest, ConstructionCreatesACurrentHighEndContext)
	{
		EXPECT_EQ(gRenderingDevice, Device.get());
		EXPECT_EQ(Device->GetRendererType(), eRendererType::HIGHEND);
		EXPECT_NE(SDL_GL_GetCurrentContext(), nullptr);

		const GLObjectQueries::ContextAttributes context = GLObjectQueries::ReadContextAttributes();
		EXPECT_GE(context.Version, 43);
		EXPECT_TRUE(context.IsCoreProfile);
		EXPECT_EQ(context.Samples, 4);
		GLint depthBits = 0;
		glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE,
		                                      &depthBits);
		EXPECT_GE(depthBits, 24);

		Device.reset();
		EXPECT_EQ(gRenderingDevice, nullptr);
	}

	TEST_F(GLRenderingDeviceTest, A43ContextIsLoggedWithTheDriverAndTheTiledRenderer)
	{
		Device.reset();
		VornTests::ConsoleCapture console;
		Device.reset(new GLRenderingDevice(TestWindow, WINDOW_SIZE));

		std::vector<std::string> lines;
		std::istringstream stream(console.GetText());
		for (std::string line; std::getline(stream, line);)
			if (line.rfind("[INFO] ", 0) == 0)
				lines.push_back(line);
		ASSERT_GE(lines.size(), 6u) << console.GetText();
		EXPECT_EQ(lines[0], "[INFO] HighEnd context created");
		EXPECT_EQ(lines[1], "[INFO] OpenGL context set up successfully");
		EXPECT_EQ(lines[2].rfind("[INFO] GL Renderer: ", 0), 0u) << lines[2];
		EXPECT_EQ(lines[3].rfind("[INFO] GL Version: 4.", 0), 0u) << lines[3];
		EXPECT_EQ(lines[4].rfind("[INFO] GLSL Version: ", 0), 0u) << lines[4];
		EXPECT_EQ(lines[5], "[INFO] Fitting renderer (0 - Fallback, 1 - Highend): 1");
	}

	TEST_F(GLRenderingDeviceTest, InitCreatesTheSharedPrimitives)
	{
		EXPECT_EQ(Device->GetQuadPrimitive(), nullptr);
		EXPECT_EQ(Device->GetCubePrimitive(), nullptr);

		Device->Init();

		ASSERT_NE(Device->GetQuadPrimitive(), nullptr);
		ASSERT_NE(Device->GetCubePrimitive(), nullptr);
		EXPECT_TRUE(glIsVertexArray(Device->GetQuadPrimitive()->GetVAO()));
		EXPECT_TRUE(glIsVertexArray(Device->GetCubePrimitive()->GetVAO()));
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
		InitWithoutRenderer();
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
		InitWithoutRenderer();
		Viewports->RemoveViewport(0);
		FillBackBufferWithMarker();

		Device->RenderWorld(TestWorld.get());

		ASSERT_EQ(gPresented.SwapCount, 1);
		EXPECT_TRUE(IsPixel(PixelAt(gPresented.LastFrame, 640, 360), MARKER_PIXEL));
	}

	TEST_F(GLRenderingDeviceTest, ResizeScalesViewportsToTheNewScreenSize)
	{
		InitWithoutRenderer();
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
		InitWithoutRenderer();
		Viewports->AddViewport(AARect(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 0.5f)));

		for (int frame = 0; frame < 3; ++frame)
			Device->RenderWorld(TestWorld.get());

		EXPECT_EQ(gPresented.SwapCount, 3);
	}

	TEST_F(GLRenderingDeviceTest, RendererGetsOneViewPerViewportPerFrameAndTheWindowSwapsOnce)
	{
		Device->Init();
		UseRecordingRenderer(&Log);
		CameraComponent leftCamera(Angle::FromDegrees(60.0f), 0.1f, 100.0f);
		CameraComponent rightCamera(Angle::FromDegrees(90.0f), 0.1f, 100.0f);
		const AARect leftRect(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 1.0f));
		const AARect rightRect(Vector2f(0.5f, 0.25f), Vector2f(0.5f, 0.75f));
		Viewports->ResizeViewport(0, leftRect);
		Viewports->SetCamera(0, &leftCamera);
		const u64 right = Viewports->AddViewport(rightRect);
		Viewports->SetCamera(right, &rightCamera);
		FillBackBufferWithMarker();

		for (int frame = 0; frame < 2; ++frame)
			Device->RenderWorld(TestWorld.get());

		ASSERT_EQ(gPresented.SwapCount, 2);
		ASSERT_EQ(Log.Views.size(), 4u);
		for (std::size_t i = 0; i < Log.Views.size(); ++i)
		{
			SCOPED_TRACE(i);
			const RendererLog::ViewRecord& view = Log.Views[i];
			EXPECT_EQ(view.SwapsBefore, static_cast<int>(i / 2)) << "both viewports of a frame before its swap";
			EXPECT_EQ(view.WorldData, TestWorld.get());
			const auto& viewport = Viewports->GetViewports().at(view.Camera == &leftCamera ? 0 : right);
			EXPECT_EQ(view.ViewportData, &viewport);
			EXPECT_EQ(view.Rect, viewport.GetRect());
			EXPECT_EQ(view.Camera, viewport.GetCamera());
		}
		EXPECT_NE(Log.Views[0].Camera, Log.Views[1].Camera);
		EXPECT_EQ(Log.Views[0].Camera, Log.Views[2].Camera);
		EXPECT_EQ(Log.Views[1].Camera, Log.Views[3].Camera);
		// Drawing is the renderer's now: nothing clears the viewports any more.
		EXPECT_TRUE(IsPixel(PixelAt(gPresented.LastFrame, 640, 360), MARKER_PIXEL));
	}

	TEST_F(GLRenderingDeviceTest, ResizeReachesTheRenderer)
	{
		Device->Init();
		UseRecordingRenderer(&Log);

		Device->Resize(ScreenSize{800, 600});

		ASSERT_EQ(Log.Resizes.size(), 1u);
		EXPECT_EQ(Log.Resizes[0].Width, 800);
		EXPECT_EQ(Log.Resizes[0].Height, 600);
		EXPECT_EQ(Device->GetScreenSize().Width, 800);
		EXPECT_EQ(Device->GetScreenSize().Height, 600);
	}

	TEST_F(GLRenderingDeviceTest, ReplacedRendererIsDeinitialisedAndDestroyed)
	{
		Device->Init();
		UseRecordingRenderer(&Log);

		UseRecordingRenderer(&OtherLog);
		Device->RenderWorld(TestWorld.get());

		EXPECT_EQ(Log.Events, (std::vector<std::string>{"Init", "Deinit", "destroyed"}));
		EXPECT_EQ(OtherLog.Events, (std::vector<std::string>{"Init", "Render"}));
	}

	TEST_F(GLRenderingDeviceTest, DestructionDeinitialisesTheRendererFirstAndDestroysItLast)
	{
		Device->Init();
		UseRecordingRenderer(&Log);

		Device.reset();

		EXPECT_EQ(Log.Events, (std::vector<std::string>{"Init", "Deinit", "destroyed"}));
		EXPECT_TRUE(Log.WasDeviceRegisteredAtDeinit);
		EXPECT_TRUE(Log.HadContextAtDeinit);
		EXPECT_TRUE(Log.HadPrimitivesAtDeinit);
		EXPECT_FALSE(Log.WasDeviceRegisteredAtDestruction);
		EXPECT_FALSE(Log.HadContextAtDestruction);
	}

	// Scene views are filled from the components of a real engine world.
	class GLRenderingDeviceSceneViewTest : public EngineDeviceTest<64, 64>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			// The working directory is the test's temporary folder.
			std::ofstream("triangle.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n";
			gRenderingDevice->SetRenderer(std::make_unique<RecordingRenderer>(gRenderingDevice, &Log));
		}

		MeshRenderingComponent* AddMesh(eShadingMode shading, eBlendingMode blending)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			auto* mesh = DeferredTaskSystem::AddComponentImmediate<MeshRenderingComponent>(
			    GetWorld(), entity, "triangle.obj", eResourceSource::NONE);
			EXPECT_NE(mesh->GetMesh(), nullptr);
			mesh->SetShadingModel(shading);
			mesh->SetBlendingMode(blending);
			return mesh;
		}

		template <typename T>
		T* AddComponent()
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			return DeferredTaskSystem::AddComponentImmediate<T>(GetWorld(), entity);
		}

		// Every component of type T in the world's iteration order.
		template <typename T>
		std::vector<T*> InWorldOrder()
		{
			std::vector<T*> components;
			for (auto [component] : GetWorld()->IterateComponents<T>())
				components.push_back(component);
			return components;
		}

		RendererLog Log;
	};

	TEST_F(GLRenderingDeviceSceneViewTest, PbrMeshesAreQueuedByBlendingModeInWorldOrder)
	{
		MeshRenderingComponent* removed = AddMesh(eShadingMode::PBR, eBlendingMode::OPAQUE);
		MeshRenderingComponent* translucent = AddMesh(eShadingMode::PBR, eBlendingMode::TRANSLUCENT);
		MeshRenderingComponent* opaque = AddMesh(eShadingMode::PBR, eBlendingMode::OPAQUE);
		AddMesh(eShadingMode::PBR, eBlendingMode::NONE);
		AddMesh(eShadingMode::UNLIT, eBlendingMode::OPAQUE);
		AddMesh(eShadingMode::NONE, eBlendingMode::TRANSLUCENT);
		// Freeing the first cell lets a later mesh come first in the world's order.
		GetWorld()->RemoveComponent<MeshRenderingComponent>(removed->GetOwner());
		MeshRenderingComponent* lateOpaque = AddMesh(eShadingMode::PBR, eBlendingMode::OPAQUE);
		MeshRenderingComponent* lateTranslucent = AddMesh(eShadingMode::PBR, eBlendingMode::TRANSLUCENT);

		ASSERT_EQ(InWorldOrder<MeshRenderingComponent>().front(), lateOpaque) << "the freed cell was not reused";

		gRenderingDevice->RenderWorld(GetWorld());

		std::vector<MeshRenderingComponent*> expectedOpaque;
		std::vector<MeshRenderingComponent*> expectedTranslucent;
		for (MeshRenderingComponent* mesh : InWorldOrder<MeshRenderingComponent>())
		{
			if (mesh == opaque || mesh == lateOpaque)
				expectedOpaque.push_back(mesh);
			if (mesh == translucent || mesh == lateTranslucent)
				expectedTranslucent.push_back(mesh);
		}
		ASSERT_EQ(expectedOpaque.size(), 2u);
		ASSERT_EQ(expectedTranslucent.size(), 2u);
		ASSERT_EQ(Log.Views.size(), 1u);
		EXPECT_EQ(Log.Views[0].OpaqueQueue, expectedOpaque);
		EXPECT_EQ(Log.Views[0].TranslucentQueue, expectedTranslucent);
	}

	TEST_F(GLRenderingDeviceSceneViewTest, EveryDirectionalAndPointLightIsListedForEveryViewport)
	{
		gRenderingDevice->RenderWorld(GetWorld());
		ASSERT_EQ(Log.Views.size(), 1u);
		EXPECT_TRUE(Log.Views[0].DirectionalLights.empty());
		EXPECT_TRUE(Log.Views[0].PointLights.empty());
		Log.Views.clear();

		for (int i = 0; i < 2; ++i)
			AddComponent<DirectionalLightComponent>();
		for (int i = 0; i < 3; ++i)
			AddComponent<PointLightComponent>();
		AddComponent<SpotLightComponent>();
		GetWorld()->GetWorldComponent<ViewportWorldComponent>()->AddViewport(
		    AARect(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 0.5f)));

		gRenderingDevice->RenderWorld(GetWorld());

		ASSERT_EQ(Log.Views.size(), 2u);
		for (const RendererLog::ViewRecord& view : Log.Views)
		{
			EXPECT_EQ(view.DirectionalLights, InWorldOrder<DirectionalLightComponent>());
			EXPECT_EQ(view.PointLights, InWorldOrder<PointLightComponent>());
			EXPECT_EQ(view.DirectionalLights.size(), 2u);
			EXPECT_EQ(view.PointLights.size(), 3u);
		}
	}

	// Every shader file the build lays out that a high-end device loads while it sets up, by its path under the
	// engine assets: the forward renderer's own shaders are loaded only on a fallback context.
	std::vector<std::string> ListEngineShaderFiles()
	{
		std::vector<std::string> files;
		for (const std::filesystem::directory_entry& entry :
		     std::filesystem::directory_iterator(VORN_ENGINE_ASSETS_PATH "Shaders"))
		{
			const std::string name = entry.path().filename().string();
			if (!IsForwardRendererOnlyShader(name))
				files.push_back("Shaders/" + name);
		}
		std::sort(files.begin(), files.end());
		return files;
	}

	using MissingEngineShaderTest = MissingShaderTest;

	TEST_P(MissingEngineShaderTest, EngineInitFailsNamingTheFile) { ExpectEngineInitFailsNamingTheMissingFile(); }

	INSTANTIATE_TEST_SUITE_P(EveryShaderFile, MissingEngineShaderTest, testing::ValuesIn(ListEngineShaderFiles()),
	                         MissingShaderTest::CaseName);

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
