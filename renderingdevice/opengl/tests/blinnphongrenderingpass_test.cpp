#include "renderingpasses/blinnphongrenderingpass.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/deferredtaskworldcomponent.hpp"
#include "ecs/world.hpp"
#include "math/aarect.hpp"
#include "math/angle.hpp"
#include "math/quaternion.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/camera/camerasystem.hpp"
#include "rendering/lights/directionallightcomponent.hpp"
#include "rendering/lights/pointlightcomponent.hpp"
#include "rendering/lights/spotlightcomponent.hpp"
#include "rendering/meshrenderingcomponent.hpp"
#include "rendering/viewportworldcomponent.hpp"
#include "support/enginedevicetest.hpp"
#include "support/offscreendrawing.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>

using namespace Vorn;

namespace
{
	constexpr int SIZE = 64;
	const char* const QUAD_PATH = "Models/TestQuad.obj";

	// A 2x2 square in the XY plane facing +Z, two triangles.
	const char* const QUAD_OBJ = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
	                             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
	                             "f 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/4/1\n";

	class BlinnPhongRenderingPassTest : public EngineDeviceTest<SIZE, SIZE>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			Assets->WriteEngineAsset(QUAD_PATH, QUAD_OBJ);
			Entity* cameraEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			Camera = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
			    GetWorld(), cameraEntity, Angle::FromDegrees(60.0f), 0.1f, 100.0f);
			GetWorld()->GetWorldComponent<ViewportWorldComponent>()->SetCamera(0, Camera);
			CameraSystem::CameraUpdatePhase(GetWorld());
			Pass = std::make_unique<BlinnPhongRenderingPass>(RenderingDevice);
			Pass->Finalize();
		}
		void TearDown() override
		{
			Pass.reset();
			EngineDeviceTest::TearDown();
		}

		MeshRenderingComponent* AddQuad(World* world, const Vector& position)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			entity->GetTransform().SetLocalTranslation(position);
			return DeferredTaskSystem::AddComponentImmediate<MeshRenderingComponent>(world, entity, QUAD_PATH,
			                                                                         eResourceSource::ENGINE);
		}

		template <typename LIGHT, typename... ARGS>
		LIGHT* AddLight(World* world, const Vector& position, ARGS&&... args)
		{
			Entity* entity = DeferredTaskSystem::SpawnEntityImmediate(world);
			entity->GetTransform().SetLocalTranslation(position);
			return DeferredTaskSystem::AddComponentImmediate<LIGHT>(world, entity, std::forward<ARGS>(args)...);
		}

		// Triangles the pass drew, into the window's back buffer cleared to black.
		GLuint Run(World* world, ePassType passType)
		{
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
			glViewport(0, 0, SIZE, SIZE);
			glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
			glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
			GLuint query = 0;
			glGenQueries(1, &query);
			glBeginQuery(GL_PRIMITIVES_GENERATED, query);
			Pass->Run(world, Camera, AARect(Vector2f(0.0f, 0.0f), Vector2f(1.0f, 1.0f)), passType);
			glEndQuery(GL_PRIMITIVES_GENERATED);
			GLuint primitives = 0;
			glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives);
			glDeleteQueries(1, &query);
			return primitives;
		}

		OffscreenDrawing::TexturePixels ReadWindow() const
		{
			glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
			glReadBuffer(GL_BACK);
			return OffscreenDrawing::ReadFramebuffer(SIZE, SIZE);
		}

		GLint UniformInt(const char* name) const
		{
			GLint value = -1;
			const GLuint program = Pass->GetProgram().GetProgramHandle();
			glGetUniformiv(program, glGetUniformLocation(program, name), &value);
			return value;
		}

		std::array<float, 4> UniformFloats(const std::string& name) const
		{
			std::array<float, 4> value = {-1.0f, -1.0f, -1.0f, -1.0f};
			const GLuint program = Pass->GetProgram().GetProgramHandle();
			glGetUniformfv(program, glGetUniformLocation(program, name.c_str()), value.data());
			return value;
		}

		CameraComponent* Camera = nullptr;
		std::unique_ptr<BlinnPhongRenderingPass> Pass;
	};
} // namespace

TEST_F(BlinnPhongRenderingPassTest, AtMostEightLightsOfEachKindReachTheShader)
{
	for (int i = 0; i < 9; ++i)
		AddLight<PointLightComponent>(GetWorld(), Vector(static_cast<float>(i), 1.0f, -3.0f), Color::RED, 2.0f,
		                              10.0f + static_cast<float>(i));
	for (int i = 0; i < 3; ++i)
		AddLight<DirectionalLightComponent>(GetWorld(), Vector::ZERO, Color::WHITE, 0.5f);
	AddLight<SpotLightComponent>(GetWorld(), Vector(0.0f, 2.0f, 0.0f), Color::BLUE, 3.0f, 20.0f, 12.0f, 17.0f);
	Run(GetWorld(), ePassType::DEFAULT);

	EXPECT_EQ(UniformInt("uPointLightCount"), 8);
	EXPECT_EQ(UniformInt("uDirectionalLightCount"), 3);
	EXPECT_EQ(UniformInt("uSpotLightCount"), 1);
	EXPECT_FLOAT_EQ(UniformFloats("uPointLight[7].Position")[0], 7.0f);
	EXPECT_FLOAT_EQ(UniformFloats("uPointLight[7].Range")[0], 17.0f);
	EXPECT_FLOAT_EQ(UniformFloats("uPointLight[0].Base.Intensity")[0], 2.0f);
	EXPECT_FLOAT_EQ(UniformFloats("uSpotLight[0].CutOff")[0], std::cos(12.0f * 3.14159265f / 180.0f));
	EXPECT_FLOAT_EQ(UniformFloats("uSpotLight[0].OuterCutOff")[0], std::cos(17.0f * 3.14159265f / 180.0f));
	EXPECT_FLOAT_EQ(UniformFloats("uSpotLight[0].Range")[0], 20.0f);
	EXPECT_FLOAT_EQ(UniformFloats("uSpotLight[0].Position")[1], 2.0f);
	// The engine's world has white ambient light of intensity 0.2.
	EXPECT_FLOAT_EQ(UniformFloats("uAmbientLight.Intensity")[0], 0.2f);
	EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BlinnPhongRenderingPassTest, AWorldWithoutAmbientLightIsLitWithBlackAmbientLight)
{
	World bare;
	bare.AddWorldComponent<DeferredTaskWorldComponent>();
	AddQuad(&bare, Vector(0.0f, 0.0f, -3.0f));
	EXPECT_EQ(Run(&bare, ePassType::DEFAULT), 2u);
	EXPECT_EQ(UniformFloats("uAmbientLight.Color"), (std::array<float, 4>{0.0f, 0.0f, 0.0f, 1.0f}));
	EXPECT_FLOAT_EQ(UniformFloats("uAmbientLight.Intensity")[0], 0.0f);
	EXPECT_EQ(UniformInt("uPointLightCount"), 0);
	EXPECT_EQ(ReadWindow().Sum(), 0) << "no light at all: black";
}

TEST_F(BlinnPhongRenderingPassTest, AnEmissiveMaterialShowsItsOwnLightInTheDark)
{
	World bare;
	bare.AddWorldComponent<DeferredTaskWorldComponent>();
	AddQuad(&bare, Vector(0.0f, 0.0f, -3.0f))
	    ->SetMaterial(0, Material(Color(0.0f, 0.0f, 1.0f), Color::WHITE, 0.5f, 0.0f, 0.5f));
	Run(&bare, ePassType::DEFAULT);
	EXPECT_EQ(UniformFloats("uMaterial.Ambient"), (std::array<float, 4>{0.0f, 0.0f, 1.0f, 1.0f}));
	EXPECT_EQ(ReadWindow().At(SIZE / 2, SIZE / 2), (OffscreenDrawing::Pixel{0, 0, 255, 255})) << "no light, yet blue";
}

TEST_F(BlinnPhongRenderingPassTest, TheDefaultFilterSkipsTranslucentAndNonPbrMeshesAndForceAllDrawsThem)
{
	AddQuad(GetWorld(), Vector(0.0f, 0.0f, -3.0f));
	AddQuad(GetWorld(), Vector(0.5f, 0.0f, -4.0f))->SetBlendingMode(eBlendingMode::TRANSLUCENT);
	AddQuad(GetWorld(), Vector(-0.5f, 0.0f, -4.0f))->SetShadingModel(eShadingMode::UNLIT);
	EXPECT_EQ(Run(GetWorld(), ePassType::DEFAULT), 2u) << "the opaque PBR quad only";
	EXPECT_EQ(Run(GetWorld(), ePassType::FORCE_ALL), 6u);
}

TEST_F(BlinnPhongRenderingPassTest, AWireframeMeshIsDrawnAsLinesAndTheNextOneFilled)
{
	// Lit from the front: the light travels along -Z, onto the quads' faces.
	Entity* sun = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
	DeferredTaskSystem::AddComponentImmediate<DirectionalLightComponent>(GetWorld(), sun, Color::WHITE, 1.0f);
	AddQuad(GetWorld(), Vector(-1.2f, 0.0f, -3.0f))->SetIsWireframe(true);
	AddQuad(GetWorld(), Vector(1.2f, 0.0f, -3.0f));
	Run(GetWorld(), ePassType::DEFAULT);
	const OffscreenDrawing::TexturePixels window = ReadWindow();

	// Inside each quad's lower-right triangle, well away from its edges and from the diagonal.
	const OffscreenDrawing::Pixel wireframeInside = window.At(20, 25);
	const OffscreenDrawing::Pixel filledInside = window.At(SIZE - 20, 25);
	EXPECT_EQ(OffscreenDrawing::Brightness(wireframeInside), 0) << "only the edges of the wireframe quad";
	EXPECT_GT(OffscreenDrawing::Brightness(filledInside), 100) << "the next quad is filled";
	GLint polygonMode[2] = {0, 0};
	glGetIntegerv(GL_POLYGON_MODE, polygonMode);
	EXPECT_EQ(polygonMode[0], GL_FILL) << "filled again after the pass";
}
