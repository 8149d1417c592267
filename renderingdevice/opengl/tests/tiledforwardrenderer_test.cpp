#include "renderers/tiled/tiledforwardrenderer.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "glrenderingdevice.hpp"
#include "glshaderprogram.hpp"
#include "math/angle.hpp"
#include "math/quaternion.hpp"
#include "math/vector.hpp"
#include "movement/movementsystem.hpp"
#include "particles/particlecomponent.hpp"
#include "particles/particleupdatesystem.hpp"
#include "primitives/primitivequad.hpp"
#include "renderers/common/passtimings.hpp"
#include "renderers/sceneview.hpp"
#include "renderers/tiled/brdftable.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/camera/camerasystem.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "support/enginedevicetest.hpp"
#include "support/framegrabbing.hpp"
#include "support/globjectqueries.hpp"
#include "support/offscreendrawing.hpp"
#include "support/referencedepthoffield.hpp"
#include "support/testmeshes.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr int SCREEN_WIDTH = 256;
	constexpr int SCREEN_HEIGHT = 144;
	constexpr int TILE_SIZE = TiledForwardRenderer::TILE_SIZE;
	constexpr int MAX_LIGHTS = 1024;

	constexpr const char* SKY_PATH = "Textures/TestSky.hdr";
	constexpr const char* SPHERE_PATH = "Models/TestSphere.obj";

	struct Rgb
	{
		float R = 0.0f;
		float G = 0.0f;
		float B = 0.0f;
	};

	// Blue sky above the horizon, dark brown ground below it.
	constexpr Rgb SKY = {0.25f, 0.5f, 2.0f};
	constexpr Rgb GROUND = {0.0625f, 0.046875f, 0.03125f};

	// The sphere's centre and the camera: the camera sits at the origin looking down -Z.
	const Vector SPHERE_CENTRE(0.0f, 0.0f, -5.0f);
	const Material GREY_MATERIAL(Color(0.0f, 0.0f, 0.0f), Color(0.8f, 0.8f, 0.8f), 0.5f, 0.0f, 0.5f);

	float UniformFloat(const GLShaderProgram& program, const char* name)
	{
		GLfloat value = 0.0f;
		glGetUniformfv(program.GetProgramHandle(), glGetUniformLocation(program.GetProgramHandle(), name), &value);
		return value;
	}

	GLint UniformInt(const GLShaderProgram& program, const char* name)
	{
		GLint value = 0;
		glGetUniformiv(program.GetProgramHandle(), glGetUniformLocation(program.GetProgramHandle(), name), &value);
		return value;
	}

	std::array<float, 4> UniformVec4(const GLShaderProgram& program, const std::string& name)
	{
		std::array<float, 4> value = {};
		glGetUniformfv(program.GetProgramHandle(), glGetUniformLocation(program.GetProgramHandle(), name.c_str()),
		               value.data());
		return value;
	}

	using OffscreenDrawing::TextureLevelParameter;
	using OffscreenDrawing::TextureParameter;

	class TiledForwardRendererTest : public EngineDeviceTest<SCREEN_WIDTH, SCREEN_HEIGHT>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			Console = std::make_unique<VornTests::ConsoleCapture>();

			Entity* cameraEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			Camera = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
			    GetWorld(), cameraEntity, Angle::FromDegrees(60.0f), 0.1f, 100.0f);
			GetWorld()->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, Camera);
		}

		void TearDown() override
		{
			Console.reset();
			EngineDeviceTest::TearDown();
		}

		World* GetWorld() const { return TestEngine->GetWorld(); }

		// Replaces the device's own renderer with one whose frames the test sees.
		TiledForwardRenderer& UseFrameGrabbingRenderer()
		{
			auto renderer = std::make_unique<FrameGrabbingRenderer<TiledForwardRenderer>>(RenderingDevice, &LastFrame);
			FrameGrabbingRenderer<TiledForwardRenderer>* grabbing = renderer.get();
			RenderingDevice->SetRenderer(std::move(renderer));
			return grabbing->GetInner();
		}

		// The camera phase fills the camera's matrices, then the device draws every viewport and swaps.
		const Frame& RenderFrame()
		{
			CameraSystem::CameraUpdatePhase(GetWorld());
			RenderingDevice->RenderWorld(GetWorld());
			return LastFrame;
		}

		// A panorama whose upper half is the sky and lower half the ground.
		void AddSky() const
		{
			Assets->WriteTwoTonePanorama(SKY_PATH, {SKY.R, SKY.G, SKY.B}, {GROUND.R, GROUND.G, GROUND.B});
			GetWorld()->AddWorldComponent<SkyboxWorldComponent>(SKY_PATH, eResourceSource::ENGINE);
		}

		MeshRenderingComponent* AddSphere(const Vector& centre, const Material& material,
		                                  eBlendingMode blending = eBlendingMode::OPAQUE)
		{
			Assets->WriteEngineAsset(SPHERE_PATH, SphereObj());
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetLocalTranslation(centre);
			auto* mesh = DeferredTaskSystem::AddComponentImmediate<MeshRenderingComponent>(
			    GetWorld(), entity, SPHERE_PATH, eResourceSource::ENGINE);
			EXPECT_NE(mesh->GetMesh(), nullptr);
			mesh->SetMaterial(0, material);
			mesh->SetBlendingMode(blending);
			return mesh;
		}

		// Shines toward +X: the sphere's left side (seen from the camera) is lit.
		DirectionalLightComponent* AddLightFromTheLeft(float intensity = 3.0f)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetLocalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(-90.0f)));
			const Vector forward = MovementSystem::GetGlobalForward(entity->GetTransform());
			EXPECT_NEAR(forward.x, 1.0f, 1e-5f);
			EXPECT_NEAR(forward.z, 0.0f, 1e-5f);
			return DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(GetWorld(), entity,
			                                                                            Color::WHITE, intensity);
		}

		PointLightComponent* AddPointLight(const Vector& position, const Color& color, float intensity, float range)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetLocalTranslation(position);
			return DeferredTaskSystem::AddComponentImmediate<PointLightComponent>(GetWorld(), entity, color, intensity,
			                                                                      range);
		}

		// Depth of field with a band wide enough to keep the whole scene sharp.
		PostprocessSettingsComponent* AddSharpSettings(float exposure)
		{
			auto* settings =
			    DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(GetWorld(), Camera->GetOwner());
			settings->Exposure = exposure;
			settings->DOFPoint = 0.0f;
			settings->DOFRange = 10000.0f;
			return settings;
		}

		// Where a world-space point lands on the screen, in pixels from the bottom-left corner.
		std::array<int, 2> ScreenPixel(const Vector& world) const
		{
			CameraSystem::CameraUpdatePhase(GetWorld());
			const Vector clip = Camera->GetClipFromWorld() * Vector(world.x, world.y, world.z, 1.0f);
			return {static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * SCREEN_WIDTH),
			        static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * SCREEN_HEIGHT)};
		}

		int CountLogLines(const std::string& line) const
		{
			std::istringstream stream(Console->GetText());
			int count = 0;
			for (std::string logLine; std::getline(stream, logLine);)
				count += logLine == line ? 1 : 0;
			return count;
		}

		std::vector<std::string> LogLinesStartingWith(const std::string& prefix) const
		{
			std::istringstream stream(Console->GetText());
			std::vector<std::string> lines;
			for (std::string logLine; std::getline(stream, logLine);)
				if (logLine.rfind(prefix, 0) == 0)
					lines.push_back(logLine);
			return lines;
		}

		CameraComponent* Camera = nullptr;
		Frame LastFrame;
		std::unique_ptr<VornTests::ConsoleCapture> Console;
	};

	TEST_F(TiledForwardRendererTest, HighEndDeviceDrawsWithTheTiledRenderer)
	{
		ASSERT_EQ(RenderingDevice->GetRendererType(), eRendererType::HIGHEND);
		EXPECT_NE(dynamic_cast<TiledForwardRenderer*>(RenderingDevice->GetRenderer()), nullptr);
	}

	TEST_F(TiledForwardRendererTest, InitLogsItsSetUpAndDeinitIsLoggedWhenReplaced)
	{
		RenderingDevice->SetRenderer(std::make_unique<TiledForwardRenderer>(RenderingDevice));
		RenderingDevice->SetRenderer(nullptr);

		EXPECT_EQ(LogLinesStartingWith("[INFO] TiledForwardRenderer::"),
		          (std::vector<std::string>{
		              "[INFO] TiledForwardRenderer::Deinit",
		              "[INFO] TiledForwardRenderer::Init",
		              "[INFO] TiledForwardRenderer::Init SCREEN_SIZE: (256,144)",
		              "[INFO] TiledForwardRenderer::Init workGroups: (16,9), numberOfTiles: 144",
		              "[INFO] TiledForwardRenderer::PreintegrateBRDF Create texture resource",
		              "[INFO] TiledForwardRenderer::PreintegrateBRDF Create capture FBO",
		              "[INFO] TiledForwardRenderer::PreintegrateBRDF Capture FBO created",
		              "[INFO] TiledForwardRenderer::PreintegrateBRDF Render preintegrated BRDF",
		              "[INFO] TiledForwardRenderer::CaptureCubemap preintegrated BRDF rendered",
		              "[INFO] TiledForwardRenderer::Deinit",
		          }));
	}

	TEST_F(TiledForwardRendererTest, InitCreatesScreenSizedTargetsInTheirFormats)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();

		struct TargetCase
		{
			const char* Name;
			u32 Texture;
			GLenum ComponentSizeQuery;
			GLint ComponentSize;
			GLenum ComponentTypeQuery;
			GLint ComponentType;
			GLint Filter;
			GLint Wrap;
		};
		const TargetCase cases[] = {
		    {"DepthMap", renderer.GetDepthMap(), GL_TEXTURE_DEPTH_SIZE, 0, GL_TEXTURE_DEPTH_TYPE, 0, GL_NEAREST,
		     GL_CLAMP_TO_BORDER},
		    {"ColorBuffer", renderer.GetColorBuffer(), GL_TEXTURE_RED_SIZE, 16, GL_TEXTURE_RED_TYPE, GL_FLOAT,
		     GL_LINEAR, GL_CLAMP_TO_EDGE},
		    {"NormalBuffer", renderer.GetNormalBuffer(), GL_TEXTURE_RED_SIZE, 8, GL_TEXTURE_RED_TYPE,
		     GL_UNSIGNED_NORMALIZED, GL_LINEAR, GL_CLAMP_TO_EDGE},
		    // Floats, so depth of field hands HDR colour to tone mapping.
		    {"PostColorBuffer0", renderer.GetPostColorBuffer0(), GL_TEXTURE_RED_SIZE, 16, GL_TEXTURE_RED_TYPE, GL_FLOAT,
		     GL_LINEAR, GL_CLAMP_TO_EDGE},
		    {"PostColorBuffer1", renderer.GetPostColorBuffer1(), GL_TEXTURE_RED_SIZE, 8, GL_TEXTURE_RED_TYPE,
		     GL_UNSIGNED_NORMALIZED, GL_LINEAR, GL_CLAMP_TO_EDGE},
		    {"LinearDepth", renderer.GetLinearDepth(), GL_TEXTURE_RED_SIZE, 16, GL_TEXTURE_RED_TYPE, GL_FLOAT,
		     GL_LINEAR, GL_CLAMP_TO_EDGE},
		};
		for (const TargetCase& target : cases)
		{
			SCOPED_TRACE(target.Name);
			ASSERT_NE(target.Texture, 0u);
			EXPECT_EQ(TextureLevelParameter(target.Texture, GL_TEXTURE_WIDTH), SCREEN_WIDTH);
			EXPECT_EQ(TextureLevelParameter(target.Texture, GL_TEXTURE_HEIGHT), SCREEN_HEIGHT);
			if (target.ComponentSize > 0)
			{
				EXPECT_EQ(TextureLevelParameter(target.Texture, target.ComponentSizeQuery), target.ComponentSize);
			}
			else
			{
				EXPECT_GT(TextureLevelParameter(target.Texture, target.ComponentSizeQuery), 0);
			}
			if (target.ComponentType != 0)
			{
				EXPECT_EQ(TextureLevelParameter(target.Texture, target.ComponentTypeQuery), target.ComponentType);
			}
			EXPECT_EQ(TextureLevelParameter(target.Texture, GL_TEXTURE_BLUE_SIZE) > 0,
			          target.ComponentSizeQuery == GL_TEXTURE_RED_SIZE);
			EXPECT_EQ(TextureLevelParameter(target.Texture, GL_TEXTURE_ALPHA_SIZE), 0);
			EXPECT_EQ(TextureParameter(target.Texture, GL_TEXTURE_MIN_FILTER), target.Filter);
			EXPECT_EQ(TextureParameter(target.Texture, GL_TEXTURE_MAG_FILTER), target.Filter);
			EXPECT_EQ(TextureParameter(target.Texture, GL_TEXTURE_WRAP_S), target.Wrap);
			EXPECT_EQ(TextureParameter(target.Texture, GL_TEXTURE_WRAP_T), target.Wrap);
		}

		std::array<GLfloat, 4> border = {};
		glBindTexture(GL_TEXTURE_2D, renderer.GetDepthMap());
		glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border.data());
		glBindTexture(GL_TEXTURE_2D, 0);
		EXPECT_EQ(border, (std::array<GLfloat, 4>{1.0f, 1.0f, 1.0f, 1.0f}));

		EXPECT_EQ(TextureLevelParameter(renderer.GetPreintegratedBrdfLUT(), GL_TEXTURE_WIDTH), BRDF_LUT_SIZE);
		EXPECT_EQ(GLObjectQueries::BufferParameter(renderer.GetLightBuffer(), GL_BUFFER_SIZE), MAX_LIGHTS * 48);
	}

	TEST_F(TiledForwardRendererTest, ResizeRebuildsTilesAndTargetsForTheNewSize)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();

		struct ResizeCase
		{
			ScreenSize Size;
			int WorkGroupsX;
			int WorkGroupsY;
			ScreenSize GatherSize; // depth of field's quarter-resolution image, rounded up
		};
		// The remainder of the division is added before dividing, not rounded up.
		const ResizeCase cases[] = {
		    {{1280, 720}, 80, 45, {320, 180}},
		    {{1290, 720}, 81, 45, {323, 180}},
		    {{1281, 721}, 80, 45, {321, 181}},
		    {{256, 144}, 16, 9, {64, 36}},
		};
		for (const ResizeCase& resize : cases)
		{
			SCOPED_TRACE(std::to_string(resize.Size.Width) + "x" + std::to_string(resize.Size.Height));
			Console->Clear();

			RenderingDevice->Resize(resize.Size);

			EXPECT_EQ(renderer.GetWorkGroupsX(), resize.WorkGroupsX);
			EXPECT_EQ(renderer.GetWorkGroupsY(), resize.WorkGroupsY);
			const int tileCount = resize.WorkGroupsX * resize.WorkGroupsY;
			EXPECT_EQ(GLObjectQueries::BufferParameter(renderer.GetVisibleLightIndicesBuffer(), GL_BUFFER_SIZE),
			          tileCount * MAX_LIGHTS * 4);
			EXPECT_EQ(GLObjectQueries::BufferParameter(renderer.GetLightBuffer(), GL_BUFFER_SIZE), MAX_LIGHTS * 48);
			for (u32 target : {renderer.GetDepthMap(), renderer.GetColorBuffer(), renderer.GetPostColorBuffer1(),
			                   renderer.GetLinearDepth()})
			{
				EXPECT_EQ(TextureLevelParameter(target, GL_TEXTURE_WIDTH), resize.Size.Width);
				EXPECT_EQ(TextureLevelParameter(target, GL_TEXTURE_HEIGHT), resize.Size.Height);
			}
			EXPECT_EQ(TextureLevelParameter(renderer.GetDOFGatherBuffer(), GL_TEXTURE_WIDTH), resize.GatherSize.Width);
			EXPECT_EQ(TextureLevelParameter(renderer.GetDOFGatherBuffer(), GL_TEXTURE_HEIGHT),
			          resize.GatherSize.Height);
			const std::string size = std::to_string(resize.Size.Width) + ", " + std::to_string(resize.Size.Height);
			EXPECT_EQ(LogLinesStartingWith("[INFO] TiledForwardRenderer::"),
			          (std::vector<std::string>{
			              "[INFO] TiledForwardRenderer::Resize (" + size + ")",
			              "[INFO] TiledForwardRenderer::Init workGroups: (" + std::to_string(resize.WorkGroupsX) + "," +
			                  std::to_string(resize.WorkGroupsY) + "), numberOfTiles: " + std::to_string(tileCount)}));
		}
	}

	// The light buffer's records: position, colour, (range, intensity, 0, 1).
	std::vector<std::array<float, 12>> ReadLightRecords(u32 buffer)
	{
		const std::vector<float> floats = GLObjectQueries::ReadBuffer<float>(buffer);
		std::vector<std::array<float, 12>> records(floats.size() / 12);
		for (std::size_t i = 0; i < records.size(); ++i)
			std::copy(floats.begin() + static_cast<long>(i * 12), floats.begin() + static_cast<long>(i * 12 + 12),
			          records[i].begin());
		return records;
	}

	constexpr std::array<float, 12> EMPTY_LIGHT_RECORD = {0, 0, 0, 1, 0, 0, 0, 1, -1, 0, 0, 1};

	TEST_F(TiledForwardRendererTest, WithoutPointLightsEverySlotIsEmptyAndNoLightIsCounted)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		for (const auto& record : ReadLightRecords(renderer.GetLightBuffer()))
			ASSERT_EQ(record, EMPTY_LIGHT_RECORD) << "a slot not emptied by Init";

		PointLightComponent* light = AddPointLight(Vector(1.0f, 2.0f, -5.0f), Color(1.0f, 0.5f, 0.25f), 3.0f, 2.0f);
		RenderFrame();
		std::vector<std::array<float, 12>> records = ReadLightRecords(renderer.GetLightBuffer());
		EXPECT_EQ(records[0], (std::array<float, 12>{1, 2, -5, 1, 1, 0.5f, 0.25f, 1, 2, 3, 0, 1}));
		EXPECT_EQ(records[1], EMPTY_LIGHT_RECORD);
		EXPECT_EQ(UniformInt(renderer.GetLightAccumulationShader(), "uLightCount"), 1);

		GetWorld()->RemoveComponent<PointLightComponent>(light->GetOwner());
		RenderFrame();

		records = ReadLightRecords(renderer.GetLightBuffer());
		EXPECT_EQ(std::count(records.begin(), records.end(), EMPTY_LIGHT_RECORD), MAX_LIGHTS);
		EXPECT_EQ(UniformInt(renderer.GetLightCullingShader(), "uLightCount"), 0);
		EXPECT_EQ(UniformInt(renderer.GetLightAccumulationShader(), "uLightCount"), 0);
		EXPECT_EQ(UniformInt(renderer.GetTranslucentShader(), "uLightCount"), 0);
	}

	TEST_F(TiledForwardRendererTest, LightsBeyondTheSlotsAreLeftOutAndLoggedEveryFrame)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		// Behind the camera, so no tile lists them and the frame stays cheap.
		for (int i = 0; i < 1030; ++i)
			AddPointLight(Vector(static_cast<float>(i), 0.0f, 50.0f), Color::GREEN, 1.0f, static_cast<float>(i + 1));

		RenderFrame();
		RenderFrame();

		EXPECT_EQ(CountLogLines("[INFO] TiledForwardRenderer::UpdateLightsBufferFromScene more lights than supported "
		                        "by renderer(1024)"),
		          2);
		std::vector<const PointLightComponent*> inViewOrder;
		for (auto [light] : GetWorld()->IterateComponents<PointLightComponent>())
			inViewOrder.push_back(light);
		const std::vector<std::array<float, 12>> records = ReadLightRecords(renderer.GetLightBuffer());
		ASSERT_EQ(records.size(), static_cast<std::size_t>(MAX_LIGHTS));
		for (int slot = 0; slot < MAX_LIGHTS; ++slot)
		{
			const PointLightComponent* light = inViewOrder[static_cast<std::size_t>(slot)];
			ASSERT_EQ(records[slot][0], light->GetTransform().GetGlobalTranslation().x) << "slot " << slot;
			ASSERT_EQ(records[slot][8], light->GetRange()) << "slot " << slot;
		}
		EXPECT_EQ(UniformInt(renderer.GetLightCullingShader(), "uLightCount"), MAX_LIGHTS);
		EXPECT_EQ(UniformInt(renderer.GetLightAccumulationShader(), "uLightCount"), MAX_LIGHTS);
	}

	TEST_F(TiledForwardRendererTest, OnlyTheFirstEightDirectionalLightsReachTheShaders)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		for (int i = 0; i < 10; ++i)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetLocalRotation(
			    Quaternion(Vector::UNIT_Y, Angle::FromDegrees(10.0f * static_cast<float>(i))));
			DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(
			    GetWorld(), entity, Color(0.1f * static_cast<float>(i), 0.5f, 1.0f), static_cast<float>(i + 1));
		}

		RenderFrame();

		const GLShaderProgram& program = renderer.GetLightAccumulationShader();
		EXPECT_EQ(UniformInt(program, "uDirectionalLightCount"), 8);
		int index = 0;
		for (auto [light] : GetWorld()->IterateComponents<DirectionalLightComponent>())
		{
			if (index == 8)
				break;
			SCOPED_TRACE(index);
			const std::string prefix = "uDirectionalLight[" + std::to_string(index) + "].";
			const std::array<float, 4> colorIntensity = UniformVec4(program, prefix + "ColorIntensity");
			EXPECT_FLOAT_EQ(colorIntensity[0], light->GetColor().r);
			EXPECT_FLOAT_EQ(colorIntensity[3], light->GetIntensity());
			const Vector forward = MovementSystem::GetGlobalForward(light->GetTransform());
			const std::array<float, 4> direction = UniformVec4(program, prefix + "Direction");
			EXPECT_FLOAT_EQ(direction[0], forward.x);
			EXPECT_FLOAT_EQ(direction[2], forward.z);
			++index;
		}
	}

	// Culling geometry in double precision, built from the camera's matrices independently of the shader.
	struct Point3
	{
		double X = 0.0;
		double Y = 0.0;
		double Z = 0.0;
	};

	// A tile's slice of the view frustum: view directions x / -z and y / -z within the tile's rectangle, view
	// distance -z between Near and Far.
	struct TileFrustum
	{
		double SlopeMinX = 0.0;
		double SlopeMaxX = 0.0;
		double SlopeMinY = 0.0;
		double SlopeMaxY = 0.0;
		double Near = 0.0;
		double Far = 0.0;
	};

	// Distance from `point` to the frustum. The squared distance to the slice at view distance d is convex in d,
	// so a ternary search over [Near, Far] finds its minimum.
	double DistanceToTile(const TileFrustum& tile, const Point3& point)
	{
		const auto squaredDistanceAt = [&](double distance)
		{
			const double x = std::clamp(point.X, tile.SlopeMinX * distance, tile.SlopeMaxX * distance);
			const double y = std::clamp(point.Y, tile.SlopeMinY * distance, tile.SlopeMaxY * distance);
			return (point.X - x) * (point.X - x) + (point.Y - y) * (point.Y - y) +
			       (point.Z + distance) * (point.Z + distance);
		};
		double low = tile.Near;
		double high = tile.Far;
		for (int i = 0; i < 200; ++i)
		{
			const double first = low + (high - low) / 3.0;
			const double second = high - (high - low) / 3.0;
			if (squaredDistanceAt(first) < squaredDistanceAt(second))
				high = second;
			else
				low = first;
		}
		return std::sqrt(squaredDistanceAt((low + high) / 2.0));
	}

	enum class eExpectation
	{
		LISTED,
		NOT_LISTED,
		TOO_CLOSE_TO_CALL
	};

	TEST_F(TiledForwardRendererTest, EachPointLightIsListedInExactlyTheTilesItsSphereTouches)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		struct LightCase
		{
			const char* Name;
			Vector Position;
			float Range;
		};
		const LightCase lights[] = {
		    {"in front of the sky, upper left", Vector(-2.5f, 1.0f, -6.0f), 1.2f},
		    {"in front of the sphere, lower right", Vector(1.5f, -0.6f, -4.0f), 0.7f},
		    {"behind the sphere", Vector(0.0f, 0.0f, -8.0f), 1.5f},
		    {"behind the camera", Vector(0.0f, 0.0f, 3.0f), 2.0f},
		    {"far away", Vector(3.0f, 2.0f, -30.0f), 4.0f},
		    {"right of the view", Vector(20.0f, 0.0f, -10.0f), 3.0f},
		};
		for (const LightCase& light : lights)
			AddPointLight(light.Position, Color::WHITE, 1.0f, light.Range);
		std::vector<const PointLightComponent*> slots;
		for (auto [light] : GetWorld()->IterateComponents<PointLightComponent>())
			slots.push_back(light);

		RenderFrame();
		glMemoryBarrier(GL_ALL_BARRIER_BITS);

		std::vector<float> depth(static_cast<std::size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT);
		glBindTexture(GL_TEXTURE_2D, renderer.GetDepthMap());
		glPixelStorei(GL_PACK_ALIGNMENT, 4);
		glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
		glBindTexture(GL_TEXTURE_2D, 0);
		const std::vector<i32> lists = GLObjectQueries::ReadBuffer<i32>(renderer.GetVisibleLightIndicesBuffer());

		const Matrix& clipFromView = Camera->GetClipFromView();
		const double focalX = clipFromView.m[0][0];
		const double focalY = clipFromView.m[1][1];
		// View distance of an NDC depth: z_ndc = -m22 + m23 / distance.
		const auto viewDistance = [&](double ndcDepth)
		{ return clipFromView.m[2][3] / (ndcDepth + clipFromView.m[2][2]); };
		const auto tileFrustum = [&](int tileX, int tileY, bool isBoundedByDepth)
		{
			const int minX = tileX * TILE_SIZE;
			const int minY = tileY * TILE_SIZE;
			const int maxX = std::min(minX + TILE_SIZE, SCREEN_WIDTH);
			const int maxY = std::min(minY + TILE_SIZE, SCREEN_HEIGHT);
			float maxDepth = 0.0f;
			for (int y = minY; y < maxY; ++y)
				for (int x = minX; x < maxX; ++x)
					maxDepth = std::max(maxDepth, depth[static_cast<std::size_t>(y) * SCREEN_WIDTH + x]);
			TileFrustum frustum;
			frustum.SlopeMinX = (2.0 * minX / SCREEN_WIDTH - 1.0) / focalX;
			frustum.SlopeMaxX = (2.0 * maxX / SCREEN_WIDTH - 1.0) / focalX;
			frustum.SlopeMinY = (2.0 * minY / SCREEN_HEIGHT - 1.0) / focalY;
			frustum.SlopeMaxY = (2.0 * maxY / SCREEN_HEIGHT - 1.0) / focalY;
			frustum.Near = viewDistance(-1.0);
			frustum.Far = viewDistance(isBoundedByDepth ? maxDepth * 2.0 - 1.0 : 1.0);
			return frustum;
		};
		const auto expectation = [&](int tileX, int tileY, std::size_t slot, bool isBoundedByDepth)
		{
			const Vector centre = Camera->GetViewFromWorld() * slots[slot]->GetTransform().GetGlobalTranslation();
			const double range = slots[slot]->GetRange();
			const double distance =
			    DistanceToTile(tileFrustum(tileX, tileY, isBoundedByDepth), {centre.x, centre.y, centre.z});
			const double margin = 0.01 * range + 0.01;
			if (distance < range - margin)
				return eExpectation::LISTED;
			if (distance > range + margin)
				return eExpectation::NOT_LISTED;
			return eExpectation::TOO_CLOSE_TO_CALL;
		};

		const int tilesX = renderer.GetWorkGroupsX();
		const int tilesY = renderer.GetWorkGroupsY();
		ASSERT_EQ(lists.size(), static_cast<std::size_t>(tilesX * tilesY * MAX_LIGHTS));
		std::vector<int> listedTileCount(slots.size(), 0);
		int tooCloseCount = 0;
		int emptyTileCount = 0;
		for (int tileY = 0; tileY < tilesY; ++tileY)
		{
			for (int tileX = 0; tileX < tilesX; ++tileX)
			{
				SCOPED_TRACE("tile (" + std::to_string(tileX) + ", " + std::to_string(tileY) + ")");
				const std::size_t start = static_cast<std::size_t>(tileY * tilesX + tileX) * MAX_LIGHTS;
				std::vector<i32> listed;
				for (std::size_t i = start;
				     i < start + MAX_LIGHTS && lists[i] != TiledForwardRenderer::LIGHT_LIST_TERMINATOR; ++i)
					listed.push_back(lists[i]);
				ASSERT_TRUE(std::is_sorted(listed.begin(), listed.end()));
				ASSERT_EQ(std::set<i32>(listed.begin(), listed.end()).size(), listed.size());

				bool isSurelyEmpty = true;
				for (std::size_t slot = 0; slot < slots.size(); ++slot)
				{
					SCOPED_TRACE(lights[slot].Name);
					const bool isListed =
					    std::find(listed.begin(), listed.end(), static_cast<i32>(slot)) != listed.end();
					listedTileCount[slot] += isListed ? 1 : 0;
					switch (expectation(tileX, tileY, slot, true))
					{
					case eExpectation::LISTED:
						EXPECT_TRUE(isListed);
						isSurelyEmpty = false;
						break;
					case eExpectation::NOT_LISTED:
						EXPECT_FALSE(isListed);
						break;
					case eExpectation::TOO_CLOSE_TO_CALL:
						++tooCloseCount;
						isSurelyEmpty = false;
						break;
					}
				}
				if (isSurelyEmpty)
				{
					++emptyTileCount;
					EXPECT_EQ(lists[start], TiledForwardRenderer::LIGHT_LIST_TERMINATOR);
				}
			}
		}

		EXPECT_LT(tooCloseCount, tilesX * tilesY / 10) << "the scene tests too little";
		EXPECT_GT(emptyTileCount, 0);
		for (std::size_t slot : {0u, 1u, 2u, 4u})
			EXPECT_GT(listedTileCount[slot], 0) << lights[slot].Name;
		EXPECT_EQ(listedTileCount[3], 0) << lights[3].Name;
		EXPECT_EQ(listedTileCount[5], 0) << lights[5].Name;
		// The sphere hides the light behind it from the tile at the screen's centre; only the depth bound tells.
		const int centreTileX = SCREEN_WIDTH / 2 / TILE_SIZE;
		const int centreTileY = SCREEN_HEIGHT / 2 / TILE_SIZE;
		EXPECT_EQ(expectation(centreTileX, centreTileY, 2, false), eExpectation::LISTED);
		EXPECT_EQ(expectation(centreTileX, centreTileY, 2, true), eExpectation::NOT_LISTED);
	}

	TEST_F(TiledForwardRendererTest, SkyShowsItsColourAboveTheHorizonAndTheGroundBelowIt)
	{
		UseFrameGrabbingRenderer();
		AddSky();
		AddSharpSettings(1.0f);

		const Frame& frame = RenderFrame();

		const Pixel sky = frame.At(SCREEN_WIDTH / 2, SCREEN_HEIGHT - 10);
		const Pixel ground = frame.At(SCREEN_WIDTH / 2, 10);
		EXPECT_TRUE(sky[2] > sky[1] && sky[1] > sky[0]) << "sky " << Describe(sky);
		EXPECT_TRUE(ground[0] > ground[2]) << "ground " << Describe(ground);
		EXPECT_GT(Brightness(sky), 3 * Brightness(ground)) << Describe(sky) << " over " << Describe(ground);
		// The same sky in every direction above the horizon.
		for (const Pixel& elsewhere :
		     {frame.At(10, SCREEN_HEIGHT - 5), frame.At(SCREEN_WIDTH - 10, SCREEN_HEIGHT / 2 + 30)})
			for (int channel = 0; channel < 3; ++channel)
				EXPECT_NEAR(elsewhere[channel], sky[channel], 2) << Describe(elsewhere) << " against " << Describe(sky);

		GetWorld()->GetWorldComponent<SkyboxWorldComponent>()->SetTint(Color(0.25f, 0.25f, 0.25f));
		const Pixel tinted = RenderFrame().At(SCREEN_WIDTH / 2, SCREEN_HEIGHT - 10);
		EXPECT_LT(Brightness(tinted), Brightness(sky) - 30) << Describe(tinted);
	}

	TEST_F(TiledForwardRendererTest, SphereIsBrighterOnItsLitSide)
	{
		UseFrameGrabbingRenderer();
		AddSky();
		AddSharpSettings(1.0f);
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		AddLightFromTheLeft();

		const Frame& frame = RenderFrame();

		const std::array<int, 2> lit = ScreenPixel(Vector(-0.6f, 0.0f, -4.2f));
		const std::array<int, 2> unlit = ScreenPixel(Vector(0.6f, 0.0f, -4.2f));
		const Pixel litPixel = frame.At(lit[0], lit[1]);
		const Pixel unlitPixel = frame.At(unlit[0], unlit[1]);
		EXPECT_GT(Brightness(litPixel), Brightness(unlitPixel) + 60)
		    << Describe(litPixel) << " against " << Describe(unlitPixel);
		// The unlit side still gets the sky's light.
		EXPECT_GT(Brightness(unlitPixel), 15) << Describe(unlitPixel);
		// A grey surface under white light stays grey.
		EXPECT_NEAR(litPixel[0], litPixel[1], 12) << Describe(litPixel);
	}

	TEST_F(TiledForwardRendererTest, RedPointLightTintsTheSurfaceNearIt)
	{
		UseFrameGrabbingRenderer();
		AddSky();
		AddSharpSettings(1.0f);
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		AddLightFromTheLeft(1.0f);
		const std::array<int, 2> near = ScreenPixel(Vector(0.6f, 0.0f, -4.2f));
		const std::array<int, 2> far = ScreenPixel(Vector(-0.6f, 0.0f, -4.2f));
		const Frame before = RenderFrame();

		// A light out of sight takes slot 0, so the red one is only found through the tile's list.
		AddPointLight(Vector(1.08f, 0.0f, 50.0f), Color::GREEN, 10.0f, 3.0f);
		AddPointLight(Vector(1.08f, 0.0f, -3.56f), Color::RED, 10.0f, 3.0f);
		const Frame& after = RenderFrame();

		const Pixel nearBefore = before.At(near[0], near[1]);
		const Pixel nearAfter = after.At(near[0], near[1]);
		EXPECT_GT(nearAfter[0], nearBefore[0] + 40) << Describe(nearBefore) << " to " << Describe(nearAfter);
		EXPECT_GT(nearAfter[0] - nearAfter[1], nearBefore[0] - nearBefore[1] + 30)
		    << Describe(nearBefore) << " to " << Describe(nearAfter);
		// The light is behind the far side's horizon.
		const Pixel farBefore = before.At(far[0], far[1]);
		const Pixel farAfter = after.At(far[0], far[1]);
		for (int channel = 0; channel < 3; ++channel)
			EXPECT_NEAR(farAfter[channel], farBefore[channel], 2)
			    << Describe(farBefore) << " to " << Describe(farAfter);
	}

	TEST_F(TiledForwardRendererTest, DoublingTheExposureBrightensTheImageThroughToneMappingOnly)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		AddSky();
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		AddLightFromTheLeft();
		PostprocessSettingsComponent* settings = AddSharpSettings(1.0f);
		const Frame normal = RenderFrame();
		EXPECT_FLOAT_EQ(UniformFloat(renderer.GetHdrShader(), "uExposure"), 1.0f);

		settings->Exposure = 2.0f;
		const Frame& brighter = RenderFrame();

		EXPECT_FLOAT_EQ(UniformFloat(renderer.GetHdrShader(), "uExposure"), 2.0f);
		EXPECT_FLOAT_EQ(UniformFloat(renderer.GetDOFShader(), "uDOFpoint"), 0.0f);
		EXPECT_FLOAT_EQ(UniformFloat(renderer.GetDOFShader(), "uDOFrange"), 10000.0f);
		EXPECT_GT(brighter.Sum(), normal.Sum() * 6 / 5);
		for (std::size_t i = 0; i < normal.Bytes.size(); ++i)
			ASSERT_GE(brighter.Bytes[i] + 1, normal.Bytes[i]) << "byte " << i;
	}

	TEST_F(TiledForwardRendererTest, CameraWithoutSettingsRendersWithTheDefaults)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		AddSky();
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		AddLightFromTheLeft();

		const Frame withoutSettings = RenderFrame();

		EXPECT_FLOAT_EQ(UniformFloat(renderer.GetHdrShader(), "uExposure"), 1.0f);
		EXPECT_FLOAT_EQ(UniformFloat(renderer.GetDOFShader(), "uDOFpoint"), 1000.0f);
		EXPECT_FLOAT_EQ(UniformFloat(renderer.GetDOFShader(), "uDOFrange"), 800.0f);
		EXPECT_FLOAT_EQ(UniformFloat(renderer.GetDOFShader(), "uDOFsize"), 0.2f);

		auto* settings =
		    DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(GetWorld(), Camera->GetOwner());
		settings->Exposure = 1.0f;
		settings->DOFPoint = 1000.0f;
		settings->DOFRange = 800.0f;
		settings->DOFSize = 0.2f;
		const Frame& withDefaults = RenderFrame();
		for (std::size_t i = 0; i < withoutSettings.Bytes.size(); ++i)
			ASSERT_NEAR(withDefaults.Bytes[i], withoutSettings.Bytes[i], 1) << "byte " << i;
	}

	TEST_F(TiledForwardRendererTest, BrightSurfacesKeepTheirRangeUntilToneMapping)
	{
		UseFrameGrabbingRenderer();
		AddSharpSettings(0.1f);
		MeshRenderingComponent* sphere = AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		const auto centreBrightness = [&](float emissive)
		{
			sphere->SetMaterial(0, Material(Color(emissive, emissive, emissive), Color::BLACK, 0.5f, 0.0f, 0.0f));
			return Brightness(RenderFrame().At(SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2));
		};

		const int twoTimesWhite = centreBrightness(2.0f);
		const int eightTimesWhite = centreBrightness(8.0f);

		EXPECT_GT(eightTimesWhite, twoTimesWhite + 60);
	}

	TEST_F(TiledForwardRendererTest, WorldWithoutSkyLogsEveryFrameAndGetsNoEnvironmentLight)
	{
		UseFrameGrabbingRenderer();
		AddSharpSettings(1.0f);
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		AddLightFromTheLeft();

		RenderFrame();
		const Frame& frame = RenderFrame();

		EXPECT_EQ(CountLogLines("[INFO] TiledForwardRenderer::UpdateEnvCapture SkyboxWorldComponent not found!"), 2);
		EXPECT_EQ(Brightness(frame.At(SCREEN_WIDTH / 2, SCREEN_HEIGHT - 10)), 0);
		const std::array<int, 2> lit = ScreenPixel(Vector(-0.6f, 0.0f, -4.2f));
		const std::array<int, 2> unlit = ScreenPixel(Vector(0.6f, 0.0f, -4.2f));
		EXPECT_GT(Brightness(frame.At(lit[0], lit[1])), 60);
		EXPECT_LE(Brightness(frame.At(unlit[0], unlit[1])), 3);
	}

	TEST_F(TiledForwardRendererTest, TranslucentMeshIsBlendedOverTheSceneWithoutWritingDepth)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		AddSky();
		AddSharpSettings(1.0f);
		AddLightFromTheLeft();
		const Pixel skyOnly = RenderFrame().At(SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2 + 5);
		const auto centreDepth = [&]()
		{
			std::vector<float> depth(static_cast<std::size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT);
			glBindTexture(GL_TEXTURE_2D, renderer.GetDepthMap());
			glPixelStorei(GL_PACK_ALIGNMENT, 4);
			glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
			glBindTexture(GL_TEXTURE_2D, 0);
			return depth[static_cast<std::size_t>(SCREEN_HEIGHT / 2 + 5) * SCREEN_WIDTH + SCREEN_WIDTH / 2];
		};

		Material glass(Color(0.0f, 0.0f, 0.0f), Color(1.0f, 0.2f, 0.2f, 0.5f), 0.5f, 0.0f, 0.0f);
		MeshRenderingComponent* sphere = AddSphere(SPHERE_CENTRE, glass, eBlendingMode::TRANSLUCENT);
		const Pixel translucent = RenderFrame().At(SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2 + 5);
		EXPECT_FLOAT_EQ(centreDepth(), 1.0f);

		sphere->SetBlendingMode(eBlendingMode::OPAQUE);
		const Pixel opaque = RenderFrame().At(SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2 + 5);
		EXPECT_LT(centreDepth(), 1.0f);

		// The reddish glass dims the sky behind it, yet lets more of its blue through than the opaque sphere.
		EXPECT_LT(translucent[1], skyOnly[1] - 10) << Describe(skyOnly) << " to " << Describe(translucent);
		EXPECT_GT(translucent[2], opaque[2] + 10) << Describe(opaque) << " to " << Describe(translucent);
	}

	TEST_F(TiledForwardRendererTest, ParticlesFollowTheirEmitterOnlyInLocalSpace)
	{
		UseFrameGrabbingRenderer();
		AddSharpSettings(1.0f);
		struct SpaceCase
		{
			const char* Name;
			eSimulationSpace Space;
			bool IsAtBirthPlace;
		};
		const SpaceCase cases[] = {
		    {"world space", eSimulationSpace::WORLD_SPACE, true},
		    {"local space", eSimulationSpace::LOCAL_SPACE, false},
		};
		const Vector birthPlace(0.0f, 1.0f, -5.0f);
		const Vector movedPlace(3.0f, 1.0f, -5.0f);
		for (const SpaceCase& space : cases)
		{
			SCOPED_TRACE(space.Name);
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			entity->GetTransform().SetLocalTranslation(birthPlace);
			ParticleEmitter::Settings settings;
			settings.InitialSize = 1;
			settings.SimulationSpace = space.Space;
			settings.EmitterColor = Color(4.0f, 0.0f, 0.0f);
			settings.ParticleInitFunc = [](ParticleEmitter::Particle* particle)
			{ particle->Scale = Vector(0.3f, 0.3f, 0.3f); };
			auto* particles =
			    DeferredTaskSystem::AddComponentImmediate<ParticleComponent>(GetWorld(), entity, settings);
			particles->GetEmitter()->SetBurstEnabled(false);
			ParticleUpdateSystem::ParticleUpdatePhase(GetWorld());
			ASSERT_EQ(particles->GetEmitter()->GetInstancesCount(), 1u);

			entity->GetTransform().SetLocalTranslation(movedPlace);
			const Frame& frame = RenderFrame();

			const std::array<int, 2> birth = ScreenPixel(birthPlace);
			const std::array<int, 2> moved = ScreenPixel(movedPlace);
			const Pixel atBirth = frame.At(birth[0], birth[1]);
			const Pixel atMoved = frame.At(moved[0], moved[1]);
			const Pixel& drawn = space.IsAtBirthPlace ? atBirth : atMoved;
			const Pixel& empty = space.IsAtBirthPlace ? atMoved : atBirth;
			EXPECT_GT(drawn[0], 150) << Describe(drawn);
			EXPECT_LT(drawn[1], drawn[0] / 4) << Describe(drawn);
			EXPECT_EQ(Brightness(empty), 0) << Describe(empty);

			GetWorld()->RemoveComponent<ParticleComponent>(entity);
		}
	}

	// Each of two side-by-side viewports shows its own camera's sphere lit red by the point light in front of it:
	// the lights are culled for each viewport's own rectangle and camera, and drawing one viewport leaves the
	// other's picture alone.
	TEST_F(TiledForwardRendererTest, SideBySideViewportsEachGetTheirPointLights)
	{
		UseFrameGrabbingRenderer();
		AddSharpSettings(1.0f);
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		// Small on the screen, so a tile culled with the whole screen's frustum in place of its viewport's misses it.
		AddPointLight(Vector(0.0f, 0.0f, -3.5f), Color::RED, 40.0f, 0.8f);

		auto* viewports = GetWorld()->GetWorldComponent<ViewportWorldComponent>();
		viewports->ResizeViewport(0, AARect(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 1.0f)));
		const u64 right = viewports->AddViewport(AARect(Vector2f(0.5f, 0.0f), Vector2f(0.5f, 1.0f)));
		Entity* rightCameraEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
		viewports->SetCamera(right, DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
		                                GetWorld(), rightCameraEntity, Angle::FromDegrees(60.0f), 0.1f, 100.0f));
		auto* rightSettings =
		    DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(GetWorld(), rightCameraEntity);
		rightSettings->DOFPoint = 0.0f;
		rightSettings->DOFRange = 10000.0f;

		const Frame& frame = RenderFrame();
		for (const int centreX : {SCREEN_WIDTH / 4, 3 * SCREEN_WIDTH / 4})
		{
			SCOPED_TRACE(centreX);
			const Pixel lit = frame.At(centreX, SCREEN_HEIGHT / 2);
			EXPECT_GT(lit[0], 120) << Describe(lit);
			EXPECT_GT(lit[0], lit[1] + 60) << "red light " << Describe(lit);
		}
	}

	struct FixedFrameCase
	{
		const char* Name;
		float DOFSize; // of 144 rows: 0.2 gives a full blur of 14 pixels, 0.3 of 22
	};

	void PrintTo(const FixedFrameCase& frameCase, std::ostream* stream) { *stream << frameCase.Name; }

	class FixedFrameDepthOfFieldTest : public TiledForwardRendererTest,
	                                   public testing::WithParamInterface<FixedFrameCase>
	{
	protected:
		// Draws a full-screen program into a new texture of the screen's size and format `internalFormat`.
		template <typename SetUniforms>
		GLuint DrawFullScreen(GLShaderProgram& program, GLenum internalFormat, SetUniforms setUniforms)
		{
			const GLuint target =
			    OffscreenDrawing::CreateFloatTexture(SCREEN_WIDTH, SCREEN_HEIGHT, internalFormat, GL_RGBA, nullptr);
			OffscreenDrawing::DrawInto(target,
			                           [&]
			                           {
				                           program.BindProgram();
				                           setUniforms();
				                           RenderingDevice->GetQuadPrimitive()->Draw();
			                           });
			Textures.push_back(target);
			return target;
		}

		void TearDown() override
		{
			glDeleteTextures(GLsizei(Textures.size()), Textures.data());
			TiledForwardRendererTest::TearDown();
		}

		std::vector<GLuint> Textures;
	};

	// The same frame through the renderer and through the full-resolution gather it drew before, each followed by
	// the renderer's own tone mapping and gamma: a sharp sphere between a blurred one in front and blurred ones and
	// sky behind. The pictures differ by at most 2/255 per channel on average and not at all in the focus band.
	TEST_P(FixedFrameDepthOfFieldTest, PictureMatchesTheFullResolutionGather)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		AddSky();
		AddLightFromTheLeft();
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		AddSphere(Vector(1.2f, 0.6f, -2.5f),
		          Material(Color(0.0f, 0.0f, 0.0f), Color(0.9f, 0.2f, 0.1f), 0.3f, 0.0f, 0.5f));
		AddSphere(Vector(-4.0f, 1.5f, -14.0f), GREY_MATERIAL);
		AddSphere(Vector(5.0f, -2.0f, -20.0f),
		          Material(Color(0.0f, 0.0f, 0.0f), Color(0.1f, 0.3f, 0.9f), 0.6f, 1.0f, 0.5f));
		auto* settings =
		    DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(GetWorld(), Camera->GetOwner());
		settings->Exposure = 1.5f;
		settings->DOFPoint = 5.0f;
		settings->DOFRange = 1.0f;
		settings->DOFSize = GetParam().DOFSize;
		const Frame& frame = RenderFrame();

		Assets->WriteEngineAsset(REFERENCE_DEPTH_OF_FIELD_PATH, REFERENCE_DEPTH_OF_FIELD_SOURCE);
		GLShaderProgram reference("Shaders/hdr.vert.glsl", REFERENCE_DEPTH_OF_FIELD_PATH);
		const GLuint blurred =
		    DrawFullScreen(reference, GL_RGBA16F,
		                   [&]
		                   {
			                   reference.SetUniform("uRes", Vector(float(SCREEN_WIDTH), float(SCREEN_HEIGHT),
			                                                       1.0f / SCREEN_WIDTH, 1.0f / SCREEN_HEIGHT));
			                   reference.SetUniform("uTime", UniformFloat(renderer.GetDOFShader(), "uTime"));
			                   reference.SetUniform("uDOFpoint", settings->DOFPoint);
			                   reference.SetUniform("uDOFrange", settings->DOFRange);
			                   reference.SetUniform("uDOFsize", settings->DOFSize);
			                   reference.BindSampler("uImage", 0, int(renderer.GetColorBuffer()));
			                   reference.BindSampler("uDepth", 1, int(renderer.GetLinearDepth()));
		                   });
		GLShaderProgram toneMapping("Shaders/hdr.vert.glsl", "Shaders/hdr.frag.glsl");
		const GLuint toneMapped = DrawFullScreen(toneMapping, GL_RGB8,
		                                         [&]
		                                         {
			                                         toneMapping.BindSampler("uHdrBuffer", 0, int(blurred));
			                                         toneMapping.SetUniform("uExposure", settings->Exposure);
		                                         });
		GLShaderProgram gamma("Shaders/hdr.vert.glsl", "Shaders/gamma.frag.glsl");
		const Frame expected =
		    OffscreenDrawing::ReadTexture(DrawFullScreen(gamma, GL_RGBA8,
		                                                 [&]
		                                                 {
			                                                 gamma.BindSampler("uImage", 0, int(toneMapped));
			                                                 gamma.SetUniform("uGamma", 2.2f);
		                                                 }));
		ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

		std::vector<float> distances(std::size_t(SCREEN_WIDTH) * SCREEN_HEIGHT * 4);
		glBindTexture(GL_TEXTURE_2D, renderer.GetLinearDepth());
		glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, distances.data());
		glBindTexture(GL_TEXTURE_2D, 0);

		std::array<double, 3> differenceSums = {};
		int inFocusCount = 0;
		int inFocusMismatches = 0;
		for (int y = 0; y < SCREEN_HEIGHT; ++y)
		{
			for (int x = 0; x < SCREEN_WIDTH; ++x)
			{
				const Pixel actual = frame.At(x, y);
				const Pixel wanted = expected.At(x, y);
				for (int channel = 0; channel < 3; ++channel)
					differenceSums[channel] += std::abs(int(actual[channel]) - int(wanted[channel]));
				const float distance = distances[(std::size_t(y) * SCREEN_WIDTH + x) * 4];
				if (std::abs(distance - settings->DOFPoint) <= settings->DOFRange)
				{
					++inFocusCount;
					inFocusMismatches += actual == wanted ? 0 : 1;
				}
			}
		}
		// The sharp sphere covers a good part of the screen, the rest is blurred.
		ASSERT_GT(inFocusCount, SCREEN_WIDTH * SCREEN_HEIGHT / 40);
		ASSERT_LT(inFocusCount, SCREEN_WIDTH * SCREEN_HEIGHT / 2);
		EXPECT_EQ(inFocusMismatches, 0);
		for (int channel = 0; channel < 3; ++channel)
			EXPECT_LE(differenceSums[channel] / (SCREEN_WIDTH * SCREEN_HEIGHT), 2.0) << "channel " << channel;
	}

	INSTANTIATE_TEST_SUITE_P(BlurSizes, FixedFrameDepthOfFieldTest,
	                         testing::Values(FixedFrameCase{"NarrowBlur", 0.2f}, FixedFrameCase{"WideBlur", 0.3f}),
	                         [](const testing::TestParamInfo<FixedFrameCase>& info) { return info.param.Name; });

	TEST_F(TiledForwardRendererTest, PassTimingsMeasureEveryStepOfTheFrameOnlyWhenSwitchedOn)
	{
		TiledForwardRenderer& renderer = UseFrameGrabbingRenderer();
		AddSky();
		AddSharpSettings(1.0f);
		AddLightFromTheLeft();
		AddSphere(SPHERE_CENTRE, GREY_MATERIAL);
		PassTimings& timings = renderer.GetPassTimings();
		RenderFrame();
		EXPECT_TRUE(timings.Collect().empty()) << "off by default";

		timings.SetEnabled(true);
		RenderFrame();
		const std::vector<PassTimings::Entry> steps = timings.Collect();
		const std::vector<std::string> expected = {TiledForwardRenderer::PASS_LIGHT_UPLOAD,
		                                           TiledForwardRenderer::PASS_ENVIRONMENT_CAPTURE,
		                                           TiledForwardRenderer::PASS_DEPTH_PRE_PASS,
		                                           TiledForwardRenderer::PASS_LIGHT_CULLING,
		                                           TiledForwardRenderer::PASS_OPAQUE_LIGHTING,
		                                           TiledForwardRenderer::PASS_SKYBOX,
		                                           TiledForwardRenderer::PASS_TRANSLUCENT,
		                                           TiledForwardRenderer::PASS_PARTICLES,
		                                           TiledForwardRenderer::PASS_LINEAR_DEPTH,
		                                           TiledForwardRenderer::PASS_DEPTH_OF_FIELD,
		                                           TiledForwardRenderer::PASS_TONE_MAPPING,
		                                           TiledForwardRenderer::PASS_OVERLAYS,
		                                           TiledForwardRenderer::PASS_GAMMA};
		std::vector<std::string> names;
		for (const PassTimings::Entry& step : steps)
		{
			names.push_back(step.Name);
			EXPECT_GT(step.Milliseconds, 0.0) << step.Name;
		}
		EXPECT_EQ(names, expected);
		EXPECT_TRUE(timings.Collect().empty()) << "each frame's steps are collected once";

		// Two viewports: each step's time is the sum over both.
		GetWorld()->GetWorldComponent<ViewportWorldComponent>()->SetCamera(
		    GetWorld()->GetWorldComponent<ViewportWorldComponent>()->AddViewport(
		        AARect(Vector2f(0.0f, 0.0f), Vector2f(0.5f, 0.5f))),
		    Camera);
		RenderFrame();
		EXPECT_EQ(timings.Collect().size(), expected.size());

		timings.SetEnabled(false);
		RenderFrame();
		EXPECT_TRUE(timings.Collect().empty());
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	using TiledForwardRendererDeathTest = TiledForwardRendererTest;

	TEST_F(TiledForwardRendererDeathTest, RendererWithoutDeviceIsRefused)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		EXPECT_DEATH(TiledForwardRenderer(nullptr), "RenderingDeviceInterface passed to Renderer is NULL");
	}

	TEST_F(TiledForwardRendererTest, BrokenSceneShaderFailsConstructionWithTheSetUpException)
	{
		Assets->WriteEngineAsset("Shaders/lightCulling.comp.glsl", "#version 430 core\nnot a shader\n");
		EXPECT_THROW(TiledForwardRenderer{RenderingDevice}, RenderingDeviceSetupFailedException);
	}
} // namespace
