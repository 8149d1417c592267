#include "renderingpasses/renderingpassbase.hpp"

#include "ecs/world.hpp"
#include "glrenderingdevice.hpp"
#include "math/aarect.hpp"
#include "math/angle.hpp"
#include "primitives/primitivequad.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "renderingtargets/depthrenderingtarget.hpp"
#include "renderingtargets/texture2dinputtarget.hpp"
#include "renderingtargets/texture2drenderingtarget.hpp"
#include "support/enginedevicetest.hpp"
#include "support/hiddenwindowdevicetest.hpp"
#include "support/offscreendrawing.hpp"
#include "support/tempengineassets.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Vorn;
using namespace OffscreenDrawing;

namespace
{
	constexpr int SCREEN_WIDTH = 16;
	constexpr int SCREEN_HEIGHT = 8;

	const char* const VERTEX_PATH = "Shaders/pass.vert.glsl";
	const char* const GEOMETRY_PATH = "Shaders/pass.geom.glsl";
	const char* const TWO_OUTPUTS_PATH = "Shaders/twooutputs.frag.glsl";
	const char* const SAMPLING_PATH = "Shaders/sampling.frag.glsl";

	const char* const VERTEX_SOURCE = R"(#version 430 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;
out vec2 vTexCoord;
void main()
{
	vTexCoord = aTexCoord;
	gl_Position = vec4(aPosition, 1.0);
}
)";

	const char* const GEOMETRY_SOURCE = R"(#version 430 core
layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;
in vec2 vTexCoord[];
out vec2 gTexCoord;
void main()
{
	for (int i = 0; i < 3; ++i)
	{
		gTexCoord = vTexCoord[i];
		gl_Position = gl_in[i].gl_Position;
		EmitVertex();
	}
	EndPrimitive();
}
)";

	// Output locations follow the declaration order, as the pass expects.
	const char* const TWO_OUTPUTS_SOURCE = R"(#version 430 core
layout(location = 0) out vec4 color;
layout(location = 1) out vec4 normal;
void main()
{
	color = vec4(1.0, 0.0, 0.0, 1.0);
	normal = vec4(0.0, 1.0, 0.0, 1.0);
}
)";

	// Red from uA, green from uB, so a swapped unit shows.
	const char* const SAMPLING_SOURCE = R"(#version 430 core
uniform sampler2D uA;
uniform sampler2D uB;
in vec2 vTexCoord;
out vec4 color;
void main()
{
	color = vec4(texture(uA, vTexCoord).r, texture(uB, vTexCoord).g, 0.0, 1.0);
}
)";

	// What the pass had bound when OnRun was called, and what it was called with.
	struct RunRecord
	{
		World* WorldData = nullptr;
		const CameraComponent* Camera = nullptr;
		AARect Rect;
		ePassType PassType = ePassType::DEFAULT;
		GLint Program = 0;
		GLint DrawFramebuffer = -1;
		GLint ActiveTexture = 0;
		std::array<GLint, 2> UnitTextures = {};
	};

	// Records every run and draws the quad into whatever the pass bound.
	class ProbePass : public RenderingPassBase
	{
	public:
		using RenderingPassBase::RenderingPassBase;

		const GLShaderProgram& GetProgram() const { return Program; }

		std::vector<RunRecord> Runs;

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override
		{
			RunRecord record;
			record.WorldData = world;
			record.Camera = camera;
			record.Rect = rect;
			record.PassType = passType;
			glGetIntegerv(GL_CURRENT_PROGRAM, &record.Program);
			glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &record.DrawFramebuffer);
			glGetIntegerv(GL_ACTIVE_TEXTURE, &record.ActiveTexture);
			for (GLint unit = 0; unit < 2; ++unit)
			{
				glActiveTexture(GL_TEXTURE0 + unit);
				glGetIntegerv(GL_TEXTURE_BINDING_2D, &record.UnitTextures[unit]);
			}
			glActiveTexture(static_cast<GLenum>(record.ActiveTexture));
			Runs.push_back(record);

			glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
			Quad.Draw();
		}

	private:
		PrimitiveQuad Quad;
	};

	// A target of any type, for the types a pass cannot handle.
	class OddTarget : public RenderingTargetBase
	{
	public:
		explicit OddTarget(eRenderingTargetType type) : Type(type) {}
		eRenderingTargetType GetType() const override { return Type; }
		void Resize(ScreenSize const&) override {}

	private:
		eRenderingTargetType Type;
	};

	class RenderingPassBaseTest : public HiddenWindowDeviceTest<SCREEN_WIDTH, SCREEN_HEIGHT>
	{
	protected:
		void SetUp() override
		{
			HiddenWindowDeviceTest::SetUp();
			Assets = std::make_unique<TempEngineAssets>();
			Assets->WriteEngineAsset(VERTEX_PATH, VERTEX_SOURCE);
			Assets->WriteEngineAsset(GEOMETRY_PATH, GEOMETRY_SOURCE);
			Assets->WriteEngineAsset(TWO_OUTPUTS_PATH, TWO_OUTPUTS_SOURCE);
			Assets->WriteEngineAsset(SAMPLING_PATH, SAMPLING_SOURCE);
		}

		void TearDown() override
		{
			Assets.reset();
			HiddenWindowDeviceTest::TearDown();
		}

		std::unique_ptr<ProbePass> MakePass(const char* fragmentPath)
		{
			return std::make_unique<ProbePass>(Device.get(), VERTEX_PATH, fragmentPath);
		}

		void Run(RenderingPassBase& pass, ePassType passType = ePassType::DEFAULT)
		{
			pass.Run(&TestWorld, &Camera, Rect, passType);
		}

		// A colour target whose every texel is `color`, with repeat wrapping so that a run's clamping shows.
		static std::unique_ptr<Texture2DRenderingTarget> FilledTarget(const std::array<float, 4>& color)
		{
			auto target = std::make_unique<Texture2DRenderingTarget>(GL_RGB8);
			const GLuint framebuffer = BindColorTexture(target->GetTextureID(), color);
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
			glDeleteFramebuffers(1, &framebuffer);
			glBindTexture(GL_TEXTURE_2D, target->GetTextureID());
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
			glBindTexture(GL_TEXTURE_2D, 0);
			return target;
		}

		static GLint AttachedTexture(GLuint framebuffer, GLenum attachment)
		{
			GLint texture = 0;
			glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
			glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
			                                      &texture);
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
			return texture;
		}

		static GLint GetInteger(GLenum parameter)
		{
			GLint value = 0;
			glGetIntegerv(parameter, &value);
			return value;
		}

		static GLint UniformValue(const ProbePass& pass, const char* name)
		{
			const GLuint program = pass.GetProgram().GetProgramHandle();
			GLint value = -1;
			glGetUniformiv(program, glGetUniformLocation(program, name), &value);
			return value;
		}

		std::unique_ptr<TempEngineAssets> Assets;
		World TestWorld;
		CameraComponent Camera{Angle::FromDegrees(60.0f), 0.1f, 100.0f};
		AARect Rect{Vector2f(0.25f, 0.0f), Vector2f(0.75f, 0.5f)};
	};

	TEST_F(RenderingPassBaseTest, ConstructionBuildsTheProgramAndLeavesThePassUnwired)
	{
		struct ConstructionCase
		{
			const char* Name;
			std::unique_ptr<ProbePass> Pass;
			GLint ShaderCount;
		};
		ConstructionCase cases[] = {
		    {"vertex and fragment", MakePass(TWO_OUTPUTS_PATH), 2},
		    {"with geometry", std::make_unique<ProbePass>(Device.get(), VERTEX_PATH, GEOMETRY_PATH, TWO_OUTPUTS_PATH),
		     3},
		};
		for (const ConstructionCase& construction : cases)
		{
			SCOPED_TRACE(construction.Name);
			const GLuint program = construction.Pass->GetProgram().GetProgramHandle();
			GLint isLinked = GL_FALSE;
			glGetProgramiv(program, GL_LINK_STATUS, &isLinked);
			EXPECT_EQ(isLinked, GL_TRUE);
			GLint shaderCount = 0;
			glGetProgramiv(program, GL_ATTACHED_SHADERS, &shaderCount);
			EXPECT_EQ(shaderCount, construction.ShaderCount);
			EXPECT_EQ(construction.Pass->GetFBO(), 0u);
			EXPECT_EQ(construction.Pass->GetInputTarget("uA"), nullptr);
			EXPECT_EQ(construction.Pass->GetOutputTarget("color"), nullptr);
		}
	}

	TEST_F(RenderingPassBaseTest, BoundTargetsAreFoundByNameUntilRemoved)
	{
		const auto pass = MakePass(SAMPLING_PATH);
		const auto first = FilledTarget({0, 0, 0, 1});
		const auto second = FilledTarget({0, 0, 0, 1});

		pass->AddInput("uA", first.get());
		pass->AddOutput("uA", second.get());
		EXPECT_EQ(pass->GetInputTarget("uA"), first.get());
		EXPECT_EQ(pass->GetOutputTarget("uA"), second.get());
		EXPECT_EQ(pass->GetInputTarget("uB"), nullptr);

		pass->AddInput("uA", nullptr);
		EXPECT_EQ(pass->GetInputTarget("uA"), nullptr);
		EXPECT_EQ(pass->GetOutputTarget("uA"), second.get());

		pass->AddInput("uA", second.get());
		EXPECT_EQ(pass->GetInputTarget("uA"), second.get());
	}

	TEST_F(RenderingPassBaseTest, PassWithoutOutputsDrawsIntoTheWindow)
	{
		const auto pass = MakePass(TWO_OUTPUTS_PATH);
		pass->Finalize();
		EXPECT_EQ(pass->GetFBO(), 0u);

		// Whatever framebuffer was bound before, the run goes to the window's.
		const auto target = FilledTarget({0, 0, 0, 1});
		const GLuint framebuffer = BindColorTexture(target->GetTextureID(), {0, 0, 0, 1});
		Run(*pass);
		glDeleteFramebuffers(1, &framebuffer);

		ASSERT_EQ(pass->Runs.size(), 1u);
		EXPECT_EQ(pass->Runs[0].DrawFramebuffer, 0);
		EXPECT_TRUE(IsPixel(ReadTexture(target->GetTextureID()).At(8, 4), {0, 0, 0, 255}));
	}

	TEST_F(RenderingPassBaseTest, FinalizeAttachesColourOutputsByDeclarationOrderAndTheDepth)
	{
		const auto pass = MakePass(TWO_OUTPUTS_PATH);
		const auto color = FilledTarget({0, 0, 0, 1});
		const auto normal = FilledTarget({0, 0, 0, 1});
		DepthRenderingTarget depth;
		pass->AddOutput("normal", normal.get());
		pass->AddOutput("depth", &depth);
		pass->AddOutput("color", color.get());

		pass->Finalize();

		const GLuint framebuffer = pass->GetFBO();
		ASSERT_TRUE(glIsFramebuffer(framebuffer));
		EXPECT_EQ(GetInteger(GL_FRAMEBUFFER_BINDING), 0) << "left bound";
		EXPECT_EQ(AttachedTexture(framebuffer, GL_COLOR_ATTACHMENT0), static_cast<GLint>(color->GetTextureID()));
		EXPECT_EQ(AttachedTexture(framebuffer, GL_COLOR_ATTACHMENT1), static_cast<GLint>(normal->GetTextureID()));
		EXPECT_EQ(AttachedTexture(framebuffer, GL_DEPTH_ATTACHMENT), static_cast<GLint>(depth.GetTextureID()));
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
		EXPECT_EQ(GetInteger(GL_DRAW_BUFFER0), GL_COLOR_ATTACHMENT0);
		EXPECT_EQ(GetInteger(GL_DRAW_BUFFER1), GL_COLOR_ATTACHMENT1);
		EXPECT_EQ(GetInteger(GL_DRAW_BUFFER2), GL_NONE);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);

		Run(*pass);

		ASSERT_EQ(pass->Runs.size(), 1u);
		EXPECT_EQ(pass->Runs[0].DrawFramebuffer, static_cast<GLint>(framebuffer));
		EXPECT_TRUE(IsPixel(ReadTexture(color->GetTextureID()).At(8, 4), {255, 0, 0, 255}));
		EXPECT_TRUE(IsPixel(ReadTexture(normal->GetTextureID()).At(8, 4), {0, 255, 0, 255}));
	}

	TEST_F(RenderingPassBaseTest, InputsAreSampledFromUnitsInNameOrder)
	{
		const auto pass = MakePass(SAMPLING_PATH);
		const auto red = FilledTarget({1, 0, 0, 1});
		const auto green = FilledTarget({0, 1, 0, 1});
		const auto output = FilledTarget({0, 0, 0, 1});
		DepthRenderingTarget depth;
		pass->AddInput("uB", green.get());
		pass->AddInput("uA", red.get());
		pass->AddOutput("color", output.get());
		pass->AddOutput("depth", &depth);
		pass->Finalize();
		glActiveTexture(GL_TEXTURE3);

		Run(*pass);

		ASSERT_EQ(pass->Runs.size(), 1u);
		const RunRecord& run = pass->Runs[0];
		EXPECT_EQ(run.Program, static_cast<GLint>(pass->GetProgram().GetProgramHandle()));
		EXPECT_EQ(run.ActiveTexture, GL_TEXTURE0);
		EXPECT_EQ(run.UnitTextures[0], static_cast<GLint>(red->GetTextureID()));
		EXPECT_EQ(run.UnitTextures[1], static_cast<GLint>(green->GetTextureID()));
		EXPECT_EQ(UniformValue(*pass, "uA"), 0);
		EXPECT_EQ(UniformValue(*pass, "uB"), 1);
		for (GLuint texture : {red->GetTextureID(), green->GetTextureID()})
		{
			EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
			EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
		}
		EXPECT_TRUE(IsPixel(ReadTexture(output->GetTextureID()).At(8, 4), {255, 255, 0, 255}));
	}

	TEST_F(RenderingPassBaseTest, RewiredInputIsSampledOnTheNextRun)
	{
		const auto pass = MakePass(SAMPLING_PATH);
		const auto red = FilledTarget({1, 0, 0, 1});
		const auto black = FilledTarget({0, 0, 0, 1});
		const auto output = FilledTarget({0, 0, 0, 1});
		DepthRenderingTarget depth;
		pass->AddInput("uA", red.get());
		pass->AddInput("uB", black.get());
		pass->AddOutput("color", output.get());
		pass->AddOutput("depth", &depth);
		pass->Finalize();
		Run(*pass);
		ASSERT_TRUE(IsPixel(ReadTexture(output->GetTextureID()).At(8, 4), {255, 0, 0, 255}));

		pass->AddInput("uA", nullptr);
		pass->AddInput("uA", black.get());
		Run(*pass);

		EXPECT_EQ(pass->Runs.back().UnitTextures[0], static_cast<GLint>(black->GetTextureID()));
		EXPECT_TRUE(IsPixel(ReadTexture(output->GetTextureID()).At(8, 4), {0, 0, 0, 255}));
	}

	TEST_F(RenderingPassBaseTest, RunHandsItsArgumentsToTheSubclass)
	{
		const auto pass = MakePass(TWO_OUTPUTS_PATH);

		for (ePassType passType : {ePassType::DEFAULT, ePassType::FORCE_ALL})
			Run(*pass, passType);

		ASSERT_EQ(pass->Runs.size(), 2u);
		for (const RunRecord& run : pass->Runs)
		{
			EXPECT_EQ(run.WorldData, &TestWorld);
			EXPECT_EQ(run.Camera, &Camera);
			EXPECT_EQ(run.Rect, Rect);
		}
		EXPECT_EQ(pass->Runs[0].PassType, ePassType::DEFAULT);
		EXPECT_EQ(pass->Runs[1].PassType, ePassType::FORCE_ALL);
	}

	TEST_F(RenderingPassBaseTest, DestroyingThePassDeletesItsFramebuffer)
	{
		auto pass = MakePass(TWO_OUTPUTS_PATH);
		const auto color = FilledTarget({0, 0, 0, 1});
		DepthRenderingTarget depth;
		pass->AddOutput("color", color.get());
		pass->AddOutput("depth", &depth);
		pass->Finalize();
		const GLuint framebuffer = pass->GetFBO();
		ASSERT_TRUE(glIsFramebuffer(framebuffer));

		pass.reset();

		EXPECT_FALSE(glIsFramebuffer(framebuffer));
		EXPECT_TRUE(glIsTexture(color->GetTextureID())) << "targets belong to their owner";
	}

	// A colour output the fragment shader does not declare cannot be given an attachment.
	TEST_F(RenderingPassBaseTest, UndeclaredOutputNameFailsTheLookup)
	{
		const auto pass = MakePass(TWO_OUTPUTS_PATH);
		const auto target = FilledTarget({0, 0, 0, 1});
		DepthRenderingTarget depth;
		pass->AddOutput("albedo", target.get());
		pass->AddOutput("depth", &depth);

		EXPECT_THROW(pass->Finalize(), std::out_of_range);
	}

	using RenderingPassBaseDeathTest = RenderingPassBaseTest;

	TEST_F(RenderingPassBaseDeathTest, BindingIsCheckedOnBothSides)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const auto pass = MakePass(SAMPLING_PATH);
		const auto target = FilledTarget({0, 0, 0, 1});
		pass->AddInput("uA", target.get());
		pass->AddOutput("color", target.get());

		EXPECT_DEATH(pass->AddInput("uA", target.get()), "There is a target already bound!");
		EXPECT_DEATH(pass->AddOutput("color", target.get()), "There is a target already bound!");
		EXPECT_DEATH(pass->AddInput("uB", nullptr), "There is no target bound!");
		EXPECT_DEATH(pass->AddOutput("depth", nullptr), "There is no target bound!");
	}

	TEST_F(RenderingPassBaseDeathTest, ColourOutputsWithoutDepthStop)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const auto pass = MakePass(TWO_OUTPUTS_PATH);
		const auto target = FilledTarget({0, 0, 0, 1});
		pass->AddOutput("color", target.get());

		EXPECT_DEATH(pass->Finalize(), "Depth buffer not present when constructing FBO!");
	}

	TEST_F(RenderingPassBaseDeathTest, SecondFinalizeStops)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const auto pass = MakePass(TWO_OUTPUTS_PATH);
		DepthRenderingTarget depth;
		pass->AddOutput("depth", &depth);
		pass->Finalize();

		EXPECT_DEATH(pass->Finalize(), "Calling finalize twice!");
	}

	TEST_F(RenderingPassBaseDeathTest, TargetTypesAPassCannotHandleStop)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		OddTarget imageOutput(eRenderingTargetType::TEXTURE_2D_INPUT);
		OddTarget unknownInput(eRenderingTargetType::_COUNT);

		EXPECT_DEATH(
		    {
			    const auto pass = MakePass(TWO_OUTPUTS_PATH);
			    pass->AddOutput("color", &imageOutput);
			    pass->Finalize();
		    },
		    "Unhandled target type!");
		EXPECT_DEATH(
		    {
			    const auto pass = MakePass(SAMPLING_PATH);
			    pass->AddInput("uA", &unknownInput);
			    Run(*pass);
		    },
		    "Unhandled target type!");
	}

	// Images from the engine assets are sampled like screen targets.
	class RenderingPassInputImageTest : public EngineDeviceTest<SCREEN_WIDTH, SCREEN_HEIGHT>
	{
	};

	TEST_F(RenderingPassInputImageTest, ImageInputIsSampledFromItsTexture)
	{
		Assets->WriteEngineAsset(VERTEX_PATH, VERTEX_SOURCE);
		Assets->WriteEngineAsset(SAMPLING_PATH, SAMPLING_SOURCE);
		// One yellow texel of a binary PPM.
		Assets->WriteEngineAsset("Textures/yellow.ppm", std::string("P6\n1 1\n255\n\xff\xff\x00", 14));
		Texture2DInputTarget image("Textures/yellow.ppm");
		ASSERT_NE(image.GetTextureID(), 0u);
		Texture2DRenderingTarget output(GL_RGB8);
		DepthRenderingTarget depth;
		ProbePass pass(gRenderingDevice, VERTEX_PATH, SAMPLING_PATH);
		pass.AddInput("uA", &image);
		pass.AddInput("uB", &image);
		pass.AddOutput("color", &output);
		pass.AddOutput("depth", &depth);
		pass.Finalize();
		World* world = GetWorld();
		// The engine's device initialised its renderer, which leaves depth testing on; the depth target here is
		// never cleared.
		glDisable(GL_DEPTH_TEST);

		pass.Run(world, nullptr, AARect(), ePassType::DEFAULT);

		ASSERT_EQ(pass.Runs.size(), 1u);
		EXPECT_EQ(pass.Runs[0].UnitTextures[0], static_cast<GLint>(image.GetTextureID()));
		EXPECT_EQ(pass.Runs[0].UnitTextures[1], static_cast<GLint>(image.GetTextureID()));
		EXPECT_EQ(TextureParameter(image.GetTextureID(), GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
		EXPECT_TRUE(IsPixel(ReadTexture(output.GetTextureID()).At(8, 4), {255, 255, 0, 255}));
	}
} // namespace
