#include "renderers/forward/forwardrenderer.hpp"

#include "debugdrawing/debugdrawstateworldcomponent.hpp"
#include "debugdrawing/debugdrawsystem.hpp"
#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "engine.hpp"
#include "fixtures/consolecapture.hpp"
#include "glrenderingdevice.hpp"
#include "math/angle.hpp"
#include "math/quaternion.hpp"
#include "math/vector.hpp"
#include "movement/movementsystem.hpp"
#include "particles/particlecomponent.hpp"
#include "particles/particleupdatesystem.hpp"
#include "particles/spritesheetcomponent.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/camera/camerasystem.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "support/builtshaders.hpp"
#include "support/enginedevicetest.hpp"
#include "support/fallbackshaders.hpp"
#include "support/framegrabbing.hpp"
#include "support/globjectqueries.hpp"
#include "support/hiddenwindowdevicetest.hpp"
#include "support/missingshadertest.hpp"
#include "support/tempengineassets.hpp"
#include "support/testmeshes.hpp"
#include "text/screenspacetextcomponent.hpp"

#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr int WIDTH = 192;
	constexpr int HEIGHT = 108;
	constexpr const char* SKY_PATH = "Textures/TestSky.hdr";
	constexpr const char* SPHERE_PATH = "Models/TestSphere.obj";
	constexpr const char* QUAD_PATH = "Models/TestQuad.obj";
	// A 2x2 square in the XY plane facing +Z.
	constexpr const char* QUAD_OBJ = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
	                                 "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
	                                 "f 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/4/1\n";
	const Material GREY_MATERIAL(Color(0.0f, 0.0f, 0.0f), Color(0.8f, 0.8f, 0.8f), 0.5f, 0.0f, 0.5f);

	std::vector<std::string> LogLines(const VornTests::ConsoleCapture& console, const std::string& prefix)
	{
		std::istringstream stream(console.GetText());
		std::vector<std::string> lines;
		for (std::string line; std::getline(stream, line);)
			if (line.rfind(prefix, 0) == 0)
				lines.push_back(line);
		return lines;
	}

	// The engine on a device whose context is OpenGL 3.3 (see the test program's environment), drawing with the
	// forward renderer; the camera sits at the origin looking down -Z.
	class ForwardRendererTest : public EngineDeviceTest<WIDTH, HEIGHT>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			ASSERT_EQ(RenderingDevice->GetRendererType(), eRendererType::FALLBACK);
			Entity* cameraEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			Camera = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
			    GetWorld(), cameraEntity, Angle::FromDegrees(60.0f), 0.1f, 100.0f);
			GetWorld()->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, Camera);
			auto renderer = std::make_unique<FrameGrabbingRenderer<ForwardRenderer>>(RenderingDevice, &LastFrame);
			RenderingDevice->SetRenderer(std::move(renderer));
			Console = std::make_unique<VornTests::ConsoleCapture>();
		}

		void TearDown() override
		{
			Console.reset();
			EngineDeviceTest::TearDown();
		}

		const Frame& RenderFrame()
		{
			CameraSystem::CameraUpdatePhase(GetWorld());
			RenderingDevice->RenderWorld(GetWorld());
			return LastFrame;
		}

		// Blue sky above the horizon, dark ground below it.
		void AddSky() const
		{
			Assets->WriteTwoTonePanorama(SKY_PATH, {0.25f, 0.5f, 2.0f}, {0.0625f, 0.046875f, 0.03125f});
			GetWorld()->AddWorldComponent<SkyboxWorldComponent>(SKY_PATH, eResourceSource::ENGINE);
		}

		MeshRenderingComponent* AddMesh(const char* path, const std::string& obj, const Vector& position)
		{
			Assets->WriteEngineAsset(path, obj);
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetLocalTranslation(position);
			auto* mesh = DeferredTaskSystem::AddComponentImmediate<MeshRenderingComponent>(GetWorld(), entity, path,
			                                                                               eResourceSource::ENGINE);
			EXPECT_NE(mesh->GetMesh(), nullptr);
			mesh->SetMaterial(0, GREY_MATERIAL);
			return mesh;
		}

		MeshRenderingComponent* AddSphere(const Vector& centre) { return AddMesh(SPHERE_PATH, SphereObj(), centre); }

		// Shines toward +X: the sphere's left side, seen from the camera, is lit.
		void AddLightFromTheLeft()
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetLocalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-90.0f)));
			DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(GetWorld(), entity, Color::WHITE,
			                                                                     3.0f);
		}

		// Neutral settings: no grain or stripes to disturb the pixels a test reads.
		PostprocessSettingsComponent* AddNeutralSettings()
		{
			auto* settings =
			    DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(GetWorld(), Camera->GetOwner());
			settings->DistortionPower = 0.0f;
			settings->ColorTempValue = 6600.0f;
			settings->ColorTempLuminancePreservation = 0.0f;
			settings->GrainPower = 0.0f;
			settings->StripesPower = 0.0f;
			return settings;
		}

		// Where a world-space point lands on the screen, in pixels from the bottom-left corner.
		std::array<int, 2> ScreenPixel(const Vector& world) const
		{
			CameraSystem::CameraUpdatePhase(GetWorld());
			const Vector clip = Camera->GetClipFromWorld() * Vector(world.x, world.y, world.z, 1.0f);
			return {static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * WIDTH),
			        static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * HEIGHT)};
		}

		Pixel At(const Frame& frame, const Vector& world) const
		{
			const std::array<int, 2> pixel = ScreenPixel(world);
			return frame.At(pixel[0], pixel[1]);
		}

		CameraComponent* Camera = nullptr;
		Frame LastFrame;
		std::unique_ptr<VornTests::ConsoleCapture> Console;
	};

	TEST_F(ForwardRendererTest, EachRendererCallIsLoggedAndTheFallbackDeviceDrawsWithIt)
	{
		RenderFrame();
		RenderingDevice->SetRenderer(std::make_unique<ForwardRenderer>(RenderingDevice));
		RenderingDevice->Resize({WIDTH, HEIGHT});
		EXPECT_EQ(LogLines(*Console, "[INFO] ForwardRenderer::"),
		          (std::vector<std::string>{"[INFO] ForwardRenderer::Render", "[INFO] ForwardRenderer::ForwardRenderer",
		                                    "[INFO] ForwardRenderer::Deinit", "[INFO] ForwardRenderer::Init",
		                                    "[INFO] ForwardRenderer::Resize"}));
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	// What each rendering mode shows of a sphere in front of the sky, lit from the left.
	TEST_F(ForwardRendererTest, EachModeShowsWhatItsNameSays)
	{
		AddNeutralSettings();
		AddSky();
		AddLightFromTheLeft();
		MeshRenderingComponent* sphere = AddSphere(Vector(0.0f, 0.0f, -5.0f));
		struct Samples
		{
			Pixel Upper; // above the sphere's centre
			Pixel Left;
			Pixel Right;
			Pixel Sky; // the top of the screen
		};
		struct ModeCase
		{
			const char* Name;
			eRenderingModeType Mode;
			bool IsTranslucent;
			bool (*Expect)(const Samples& at, std::string& why);
		};
		const ModeCase cases[] = {
		    {"lit: brighter on the lit side, before the sky", eRenderingModeType::LIT, false,
		     [](const Samples& at, std::string& why)
		     {
			     why = "expected the left side lit, the right side in ambient light, a blue sky";
			     return Brightness(at.Left) > Brightness(at.Right) + 200 && at.Sky[2] > at.Sky[0] + 60;
		     }},
		    {"lit: a translucent sphere is left out, the sky shows through", eRenderingModeType::LIT, true,
		     [](const Samples& at, std::string& why)
		     {
			     why = "expected sky at the sphere";
			     return at.Upper == at.Sky && at.Upper[2] > at.Upper[0] + 60;
		     }},
		    {"unlit: flat, without the sky", eRenderingModeType::UNLIT, false,
		     [](const Samples& at, std::string& why)
		     {
			     why = "expected the same colour on both sides before a black background";
			     return at.Left == at.Right && Brightness(at.Left) > 150 && Brightness(at.Sky) == 0;
		     }},
		    {"unlit: a translucent sphere is drawn too", eRenderingModeType::UNLIT, true,
		     [](const Samples& at, std::string& why)
		     {
			     why = "expected the sphere (or its stand-in) before a black background";
			     return Brightness(at.Upper) > 150 && Brightness(at.Sky) == 0;
		     }},
		    {"debug normals: left faces -X, the top faces +Y", eRenderingModeType::DEBUG_NORMALS, false,
		     [](const Samples& at, std::string& why)
		     {
			     why = "expected the normals' colours";
			     return at.Left[0] + 40 < at.Right[0] && at.Upper[1] > at.Upper[0] + 20 && Brightness(at.Sky) == 0;
		     }},
		    {"debug draw: the lit view", eRenderingModeType::DEBUG_DRAW, false,
		     [](const Samples& at, std::string& why)
		     {
			     why = "expected the lit view";
			     return Brightness(at.Left) > Brightness(at.Right) + 200 && at.Sky[2] > at.Sky[0] + 60;
		     }},
		};
		for (const ModeCase& mode : cases)
		{
			SCOPED_TRACE(mode.Name);
			Camera->SetRenderingMode(mode.Mode);
			sphere->SetBlendingMode(mode.IsTranslucent ? eBlendingMode::TRANSLUCENT : eBlendingMode::OPAQUE);
			const Frame& frame = RenderFrame();
			const Samples at = {At(frame, Vector(-0.3f, 0.5f, -4.2f)), At(frame, Vector(-0.6f, 0.0f, -4.3f)),
			                    At(frame, Vector(0.6f, 0.0f, -4.3f)), frame.At(WIDTH / 2, HEIGHT - 4)};
			std::string why;
			EXPECT_TRUE(mode.Expect(at, why))
			    << why << ": above " << Describe(at.Upper) << ", left " << Describe(at.Left) << ", right "
			    << Describe(at.Right) << ", sky " << Describe(at.Sky);
		}
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	// The wireframe views draw a quad's edges, not its inside, and leave every later mesh filled again.
	TEST_F(ForwardRendererTest, WireframeModesDrawEdgesOnly)
	{
		AddNeutralSettings();
		AddLightFromTheLeft();
		AddMesh(QUAD_PATH, QUAD_OBJ, Vector(0.0f, 0.0f, -3.0f));
		const eRenderingModeType modes[] = {eRenderingModeType::WIREFRAME, eRenderingModeType::DEBUG_NORMALS_WIREFRAME};
		for (const eRenderingModeType mode : modes)
		{
			SCOPED_TRACE(static_cast<int>(mode));
			Camera->SetRenderingMode(mode);
			const Frame& frame = RenderFrame();
			// Inside the quad's lower-right triangle, away from its edges and its diagonal.
			const Pixel inside = At(frame, Vector(0.5f, -0.3f, -3.0f));
			int litPixels = 0;
			for (int y = 0; y < HEIGHT; ++y)
				for (int x = 0; x < WIDTH; ++x)
					litPixels += Brightness(frame.At(x, y)) > 60 ? 1 : 0;
			EXPECT_EQ(Brightness(inside), 0) << Describe(inside);
			EXPECT_GT(litPixels, 100) << "the edges";
			EXPECT_LT(litPixels, WIDTH * HEIGHT / 10) << "only the edges";
			GLint polygonMode[2] = {0, 0};
			glGetIntegerv(GL_POLYGON_MODE, polygonMode);
			EXPECT_EQ(polygonMode[0], GL_FILL);
		}
	}

	// Particles and sprite sheets are blended over the lit scene, which the mode table alone would never draw.
	TEST_F(ForwardRendererTest, TheLitViewDrawsParticlesAndSpriteSheets)
	{
		AddNeutralSettings();
		const Vector particlePlace(-1.0f, 0.0f, -5.0f);
		const Vector spritePlace(1.0f, 0.0f, -5.0f);

		Entity* emitterEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
		emitterEntity->GetTransform().SetLocalTranslation(particlePlace);
		ParticleEmitter::Settings settings;
		settings.InitialSize = 1;
		settings.SimulationSpace = eSimulationSpace::LOCAL_SPACE;
		settings.EmitterColor = Color(4.0f, 0.0f, 0.0f);
		settings.ParticleInitFunc = [](ParticleEmitter::Particle* particle)
		{ particle->Scale = Vector(0.3f, 0.3f, 0.3f); };
		auto* particles =
		    DeferredTaskSystem::AddComponentImmediate<ParticleComponent>(GetWorld(), emitterEntity, settings);
		particles->GetEmitter()->SetBurstEnabled(false);
		ParticleUpdateSystem::ParticleUpdatePhase(GetWorld());
		ASSERT_EQ(particles->GetEmitter()->GetInstancesCount(), 1u);

		Entity* spriteEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
		spriteEntity->GetTransform().SetLocalTranslation(spritePlace);
		spriteEntity->GetTransform().SetLocalScale(Vector(0.3f, 0.3f, 0.3f));
		SpritesheetSettings sprite;
		sprite.SpritePath = "Textures/NoSuchSheet.png";
		sprite.SpriteSource = eResourceSource::ENGINE;
		sprite.SpriteColor = Color(0.0f, 0.0f, 4.0f);
		DeferredTaskSystem::AddComponentImmediate<SpritesheetComponent>(GetWorld(), spriteEntity, sprite);

		const Frame& frame = RenderFrame();
		const Pixel particle = At(frame, particlePlace);
		const Pixel spriteSheet = At(frame, spritePlace);
		const Pixel between = At(frame, Vector(0.0f, 0.0f, -5.0f));
		EXPECT_GT(particle[0], 150) << Describe(particle);
		EXPECT_LT(particle[2], 40) << Describe(particle);
		EXPECT_GT(spriteSheet[2], 150) << "a sheet that failed to load draws white, tinted " << Describe(spriteSheet);
		EXPECT_LT(spriteSheet[0], 40) << Describe(spriteSheet);
		EXPECT_EQ(Brightness(between), 0) << Describe(between);
	}

	// In debug mode (F10) the debug lines and screen texts go over the finished picture; the lines last one frame.
	TEST_F(ForwardRendererTest, DebugModeDrawsTheDebugLinesAndTextsOverThePicture)
	{
		AddNeutralSettings();
		Camera->SetRenderingMode(eRenderingModeType::DEBUG_DRAW);
		const std::filesystem::path fonts = EvaluateFullResourcePath(eResourceSource::ENGINE, "Fonts").GetStdString();
		std::filesystem::create_directories(fonts);
		std::filesystem::copy(VORN_ENGINE_ASSETS_PATH "Fonts", fonts, std::filesystem::copy_options::recursive);
		Entity* textEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
		DeferredTaskSystem::AddComponentImmediate<ScreenSpaceTextComponent>(
		    GetWorld(), textEntity, Vector2i(8, 8), DebugDrawSystem::DEBUG_FONT_PATH, eResourceSource::ENGINE, 32,
		    "HHHH", Color::WHITE);
		auto* debugState = GetWorld()->GetWorldComponent<DebugDrawStateWorldComponent>();
		ASSERT_NE(debugState, nullptr);
		debugState->DebugLines.PushBack({Vector3f(-2.0f, 0.0f, -5.0f), Vector3f(2.0f, 0.0f, -5.0f)});
		debugState->DebugLinesColors.PushBack({Color(0.0f, 1.0f, 0.0f), Color(0.0f, 1.0f, 0.0f)});

		const Frame& frame = RenderFrame();
		// The line may fall on either row beside the screen's middle.
		const Pixel above = frame.At(WIDTH / 2, HEIGHT / 2);
		const Pixel below = frame.At(WIDTH / 2, HEIGHT / 2 - 1);
		const Pixel& onLine = above[1] > below[1] ? above : below;
		EXPECT_EQ(onLine, (Pixel{0, 255, 0, 255})) << "pure green, not tone-mapped " << Describe(onLine);
		EXPECT_TRUE(debugState->DebugLines.IsEmpty());
		int whiteTextPixels = 0;
		for (int y = 8; y < 40; ++y)
			for (int x = 8; x < 100; ++x)
				whiteTextPixels += frame.At(x, y) == Pixel{255, 255, 255, 255} ? 1 : 0;
		EXPECT_GT(whiteTextPixels, 50) << "white letters at the bottom left";
		EXPECT_EQ(Brightness(RenderFrame().At(WIDTH / 2, HEIGHT / 2)), 0) << "gone the next frame";
	}

	TEST_F(ForwardRendererTest, ACameraWithoutPostprocessSettingsLogsOncePerViewAndStillDraws)
	{
		AddSky();
		const std::string line = "[INFO] void PostprocessRenderingPass::OnRun: PostprocessSettings is NULL";
		const Frame& frame = RenderFrame();
		EXPECT_EQ(LogLines(*Console, line).size(), 1u);
		EXPECT_GT(Brightness(frame.At(WIDTH / 2, HEIGHT - 4)), 100) << "the sky";
		RenderFrame();
		EXPECT_EQ(LogLines(*Console, line).size(), 2u);
	}

	TEST_F(ForwardRendererTest, LetterboxBarsBlackenTheTopAndBottomOnly)
	{
		AddSky();
		AddNeutralSettings()->UseCashetes = 1;
		const Frame& frame = RenderFrame();
		EXPECT_EQ(Brightness(frame.At(WIDTH / 2, HEIGHT - 2)), 0);
		EXPECT_EQ(Brightness(frame.At(WIDTH / 2, 1)), 0);
		EXPECT_GT(Brightness(frame.At(WIDTH / 2, HEIGHT / 2 + 10)), 100) << "the sky between the bars";
	}

	// Each viewport draws into its own rectangle and leaves the others' pictures alone.
	TEST_F(ForwardRendererTest, SideBySideViewportsEachShowTheScene)
	{
		AddNeutralSettings();
		AddLightFromTheLeft();
		AddSphere(Vector(0.0f, 0.0f, -5.0f));
		auto* viewports = GetWorld()->GetWorldComponent<ViewportWorldComponent>();
		viewports->ResizeViewport(0, AARect(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 1.0f)));
		const u64 right = viewports->AddViewport(AARect(Vector2f(0.5f, 0.0f), Vector2f(0.5f, 1.0f)));
		viewports->SetCamera(right, Camera);

		const Frame& frame = RenderFrame();
		const Pixel leftSphere = frame.At(WIDTH / 4, HEIGHT / 2);
		const Pixel rightSphere = frame.At(3 * WIDTH / 4, HEIGHT / 2);
		EXPECT_GT(Brightness(leftSphere), 150) << Describe(leftSphere);
		EXPECT_EQ(leftSphere, rightSphere);
		EXPECT_EQ(Brightness(frame.At(WIDTH / 2 - 2, HEIGHT / 2)), 0) << "background between the spheres";
	}

	using ForwardRendererDeathTest = ForwardRendererTest;

	TEST_F(ForwardRendererDeathTest, AnUnknownRenderingModeStops)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		Camera->SetRenderingMode(eRenderingModeType::_COUNT);
		EXPECT_DEATH(RenderFrame(), "Uknown eRenderingModeType");
	}

	class FallbackDeviceTest : public HiddenWindowDeviceTest<64, 64>
	{
	};

	TEST_F(FallbackDeviceTest, A33ContextGetsTheForwardRendererWithTheContextLogged)
	{
		TempEngineAssets assets;
		CopyBuiltShaders();
		Device.reset();
		VornTests::ConsoleCapture console;
		Device.reset(new GLRenderingDevice(TestWindow, WINDOW_SIZE));

		EXPECT_EQ(Device->GetRendererType(), eRendererType::FALLBACK);
		// The high-end context's attributes otherwise.
		const GLObjectQueries::ContextAttributes context = GLObjectQueries::ReadContextAttributes();
		EXPECT_EQ(context.Version, 33);
		EXPECT_TRUE(context.IsCoreProfile);
		EXPECT_EQ(context.Samples, 4);
		const std::vector<std::string> lines = LogLines(console, "[INFO] ");
		ASSERT_GE(lines.size(), 7u) << console.GetText();
		EXPECT_EQ(lines[0].rfind("[INFO] HighEnd context setup failed, err: ", 0), 0u) << lines[0];
		EXPECT_EQ(lines[1], "[INFO] Fallback context created: OpenGL 3.3, drawing with the forward renderer");
		EXPECT_EQ(lines[2], "[INFO] OpenGL context set up successfully");
		EXPECT_EQ(lines[4].rfind("[INFO] GL Version: 3.3", 0), 0u) << lines[4];
		EXPECT_EQ(lines[6], "[INFO] Fitting renderer (0 - Fallback, 1 - Highend): 0");

		Device->Init();
		EXPECT_NE(dynamic_cast<ForwardRenderer*>(Device->GetRenderer()), nullptr);
		for (u32 slot = 0; slot < static_cast<u32>(eGeometryRenderPassType::_COUNT); ++slot)
			EXPECT_NE(Device->GetGeometryRenderingPass(static_cast<eGeometryRenderPassType>(slot)), nullptr) << slot;
		EXPECT_NE(Device->GetPostprocessRenderingPass(ePostprocessRenderPassType::FINAL), nullptr);
		EXPECT_NE(Device->GetRenderingTarget(eSharedRenderingTargetType::COLOR), nullptr);
		EXPECT_NE(Device->GetRenderingTarget(eSharedRenderingTargetType::DEPTH), nullptr);
	}

	// Without even a 3.3 context there is nothing to draw with.
	TEST(FallbackDeviceDeathTest, WithoutA33ContextTheDeviceStops)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		EXPECT_DEATH(
		    {
			    setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
			    SDL_Init(SDL_INIT_VIDEO);
			    SDL_Window* window =
			        SDL_CreateWindow("VornDeviceTest", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
			    GLRenderingDevice device(window, {64, 64});
		    },
		    "Context creation failed! OpenGL 4.3 is required! Sorry we probably do not support your GPU and Mac OS.");
	}

	// Every shader file the forward renderer loads.
	std::vector<std::string> ListForwardRendererShaderFiles()
	{
		std::vector<std::string> files;
		const char* const shared[] = {"debug.vert.glsl",  "debug.frag.glsl",      "text2D.vert.glsl",
		                              "text2D.frag.glsl", "instanced.vert.glsl",  "instanced.frag.glsl",
		                              "skybox.vert.glsl", "equirectangular.glsl", "spritesheetFrame.glsl",
		                              "meshVertex.glsl",  "toneMapping.glsl"};
		for (const char* name : shared)
			files.push_back(std::string("Shaders/") + name);
		for (const std::filesystem::directory_entry& entry :
		     std::filesystem::directory_iterator(VORN_ENGINE_ASSETS_PATH "Shaders"))
		{
			const std::string name = entry.path().filename().string();
			if (IsForwardRendererOnlyShader(name))
				files.push_back("Shaders/" + name);
		}
		std::sort(files.begin(), files.end());
		return files;
	}

	using MissingForwardRendererShaderTest = MissingShaderTest;

	TEST_P(MissingForwardRendererShaderTest, EngineInitFailsNamingTheFile)
	{
		ExpectEngineInitFailsNamingTheMissingFile();
	}

	INSTANTIATE_TEST_SUITE_P(EveryShaderFile, MissingForwardRendererShaderTest,
	                         testing::ValuesIn(ListForwardRendererShaderFiles()), MissingShaderTest::CaseName);
} // namespace
