#include "renderingpasses/postprocessrenderingpass.hpp"

#include "ecs/deferredtasksystem.hpp"
#include "ecs/entitytransform.hpp"
#include "ecs/world.hpp"
#include "fixtures/consolecapture.hpp"
#include "glrenderingdevice.hpp"
#include "math/aarect.hpp"
#include "math/angle.hpp"
#include "math/matrix.hpp"
#include "math/quaternion.hpp"
#include "math/vector.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "rendering/postprocesssettingscomponent.hpp"
#include "renderingtargets/depthrenderingtarget.hpp"
#include "renderingtargets/texture2drenderingtarget.hpp"
#include "support/enginedevicetest.hpp"
#include "support/offscreendrawing.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <memory>
#include <string>

using namespace Vorn;
using namespace OffscreenDrawing;

namespace Vorn
{
	// The forward renderer's tables are private to the device; nothing in the library fills them yet.
	struct GLRenderingDeviceTestAccess
	{
		static void RegisterPostprocessPass(GLRenderingDevice& device, ePostprocessRenderPassType type,
		                                    String const& fragmentShaderPath,
		                                    std::initializer_list<GLRenderingDevice::InputOutputBind> const& inputs,
		                                    std::initializer_list<GLRenderingDevice::InputOutputBind> const& outputs)
		{
			device.RegisterPostprocessPass(type, fragmentShaderPath, inputs, outputs);
		}

		static RenderingPassBase* GetPostprocessPass(GLRenderingDevice& device, ePostprocessRenderPassType type)
		{
			return device.PostprocessRenderingPasses[type].get();
		}

		static void SetSharedTarget(GLRenderingDevice& device, eSharedRenderingTargetType type,
		                            std::unique_ptr<RenderingTargetBase> target)
		{
			device.RenderingTargets[type] = std::move(target);
		}
	};
} // namespace Vorn

namespace
{
	constexpr int SCREEN_WIDTH = 16;
	constexpr int SCREEN_HEIGHT = 8;

	const char* const TINT_PATH = "Shaders/testTint.frag.glsl";
	const char* const INVERT_PATH = "Shaders/testInvert.frag.glsl";

	// Halves the input image, and makes every uniform the pass sets count, so that none is optimised away.
	const char* const TINT_SOURCE = R"(#version 430 core
uniform sampler2D uImage;
uniform float uTime;
uniform vec2 uResolution;
uniform vec4 uCameraPosition;
uniform mat4 uCameraRotation;
uniform int uUseCashetes;
uniform float uDistortionPower;
uniform float uColorTempValue;
uniform float uColorTempLuminancePreservation;
uniform float uSaturationPower;
uniform float uGrainPower;
uniform float uStripesPower;
in vec2 vTexCoord;
out vec4 oColor;
void main()
{
	float everything = uTime + uResolution.x + uCameraPosition.x + uCameraRotation[0][0] + float(uUseCashetes) +
	                   uDistortionPower + uColorTempValue + uColorTempLuminancePreservation + uSaturationPower +
	                   uGrainPower + uStripesPower;
	oColor = vec4(texture(uImage, vTexCoord).rgb * 0.5, 1.0) + vec4(everything * 1e-30);
}
)";

	const char* const INVERT_SOURCE = R"(#version 430 core
uniform sampler2D uImage;
in vec2 vTexCoord;
out vec4 oColor;
void main()
{
	oColor = vec4(1.0 - texture(uImage, vTexCoord).rgb, 1.0);
}
)";

	class PostprocessRenderingPassTest : public EngineDeviceTest<SCREEN_WIDTH, SCREEN_HEIGHT>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			Assets->WriteEngineAsset(TINT_PATH, TINT_SOURCE);
			Assets->WriteEngineAsset(INVERT_PATH, INVERT_SOURCE);

			Entity* cameraEntity = DeferredTaskSystem::SpawnEntityImmediate(GetWorld());
			Camera = DeferredTaskSystem::AddComponentImmediate<CameraComponent>(
			    GetWorld(), cameraEntity, Angle::FromDegrees(60.0f), 0.1f, 100.0f);
			cameraEntity->GetTransform().SetGlobalTranslation(Vector(1.0f, 2.0f, 3.0f));
			cameraEntity->GetTransform().SetGlobalRotation(Quaternion(Vector::UNIT_Y, Angle::FromDegrees(90.0f)));

			Image = std::make_unique<Texture2DRenderingTarget>(GL_RGB8);
			const GLuint framebuffer = BindColorTexture(Image->GetTextureID(), {0.8f, 0.4f, 0.2f, 1.0f});
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
			glDeleteFramebuffers(1, &framebuffer);
			Output = std::make_unique<Texture2DRenderingTarget>(GL_RGB8);
			Depth = std::make_unique<DepthRenderingTarget>();
		}

		void TearDown() override
		{
			Image.reset();
			Output.reset();
			Depth.reset();
			EngineDeviceTest::TearDown();
		}

		// Samples Image as "uImage", draws into Output and Depth.
		void Register(ePostprocessRenderPassType type, const char* fragmentShaderPath = TINT_PATH)
		{
			GLRenderingDeviceTestAccess::RegisterPostprocessPass(*RenderingDevice, type, fragmentShaderPath,
			                                                     {{"uImage", Image.get()}},
			                                                     {{"oColor", Output.get()}, {"depth", Depth.get()}});
		}

		RenderingPassBase* GetPass(ePostprocessRenderPassType type)
		{
			return GLRenderingDeviceTestAccess::GetPostprocessPass(*RenderingDevice, type);
		}

		void Run(RenderingPassBase& pass, const AARect& rect = AARect(Vector2f(0.0f, 0.0f), Vector2f(1.0f, 1.0f)))
		{
			// The forward renderer turns the depth test off before its postprocess passes; the depth target's
			// content is undefined here.
			glDisable(GL_DEPTH_TEST);
			glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
			pass.Run(GetWorld(), Camera, rect, ePassType::DEFAULT);
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
		}

		// Uniforms of the program the last run left bound.
		static std::array<float, 16> UniformFloats(const char* name)
		{
			GLint program = 0;
			glGetIntegerv(GL_CURRENT_PROGRAM, &program);
			std::array<float, 16> values = {};
			glGetUniformfv(static_cast<GLuint>(program), glGetUniformLocation(static_cast<GLuint>(program), name),
			               values.data());
			return values;
		}

		static GLint UniformInt(const char* name)
		{
			GLint program = 0;
			glGetIntegerv(GL_CURRENT_PROGRAM, &program);
			GLint value = -1;
			glGetUniformiv(static_cast<GLuint>(program), glGetUniformLocation(static_cast<GLuint>(program), name),
			               &value);
			return value;
		}

		CameraComponent* Camera = nullptr;
		std::unique_ptr<Texture2DRenderingTarget> Image;
		std::unique_ptr<Texture2DRenderingTarget> Output;
		std::unique_ptr<DepthRenderingTarget> Depth;
	};

	using PostprocessRenderingPassDeathTest = PostprocessRenderingPassTest;

	TEST_F(PostprocessRenderingPassTest, RegisteredPassSamplesItsInputIntoItsOutput)
	{
		Register(ePostprocessRenderPassType::FINAL);

		RenderingPassBase* pass = GetPass(ePostprocessRenderPassType::FINAL);
		ASSERT_NE(pass, nullptr);
		EXPECT_EQ(pass->GetInputTarget("uImage"), Image.get());
		EXPECT_EQ(pass->GetOutputTarget("oColor"), Output.get());
		EXPECT_NE(pass->GetFBO(), 0u) << "the pass was not finalised";
		for (auto type : {ePostprocessRenderPassType::STAGE_0, ePostprocessRenderPassType::STAGE_3})
			EXPECT_EQ(GetPass(type), nullptr);

		Run(*pass);
		const TexturePixels pixels = ReadTexture(Output->GetTextureID());
		EXPECT_TRUE(IsPixel(pixels.At(3, 2), {102, 51, 25, 255}, 2));
		EXPECT_TRUE(IsPixel(pixels.At(SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1), {102, 51, 25, 255}, 2));
	}

	TEST_F(PostprocessRenderingPassTest, RegisteringAnOccupiedSlotReplacesItsPass)
	{
		Register(ePostprocessRenderPassType::STAGE_1);
		Run(*GetPass(ePostprocessRenderPassType::STAGE_1));
		ASSERT_TRUE(IsPixel(ReadTexture(Output->GetTextureID()).At(3, 2), {102, 51, 25, 255}, 2));

		// The same targets are bound again: the previous pass let go of them with its life.
		Register(ePostprocessRenderPassType::STAGE_1, INVERT_PATH);
		Run(*GetPass(ePostprocessRenderPassType::STAGE_1));

		EXPECT_TRUE(IsPixel(ReadTexture(Output->GetTextureID()).At(3, 2), {51, 153, 204, 255}, 2));
		EXPECT_EQ(GetPass(ePostprocessRenderPassType::FINAL), nullptr);
	}

	TEST_F(PostprocessRenderingPassTest, RunSetsResolutionCameraAndSettingsFromTheRectAndTheCameraEntity)
	{
		auto* settings =
		    DeferredTaskSystem::AddComponentImmediate<PostprocessSettingsComponent>(GetWorld(), Camera->GetOwner());
		settings->UseCashetes = 1;
		settings->DistortionPower = 0.25f;
		settings->ColorTempValue = 6500.0f;
		settings->ColorTempLuminancePreservation = 0.5f;
		settings->SaturationPower = 1.5f;
		settings->GrainPower = 0.125f;
		settings->StripesPower = 0.375f;
		Register(ePostprocessRenderPassType::FINAL);
		RenderingPassBase& pass = *GetPass(ePostprocessRenderPassType::FINAL);
		VornTests::ConsoleCapture console;

		Run(pass, AARect(Vector2f(0.5f, 0.0f), Vector2f(0.5f, 0.5f)));

		EXPECT_FALSE(console.Contains("PostprocessSettings is NULL"));
		const std::array<float, 16> resolution = UniformFloats("uResolution");
		EXPECT_FLOAT_EQ(resolution[0], SCREEN_WIDTH * 0.5f);
		EXPECT_FLOAT_EQ(resolution[1], SCREEN_HEIGHT * 0.5f);
		const std::array<float, 16> position = UniformFloats("uCameraPosition");
		EXPECT_FLOAT_EQ(position[0], 1.0f);
		EXPECT_FLOAT_EQ(position[1], 2.0f);
		EXPECT_FLOAT_EQ(position[2], 3.0f);

		// OpenGL hands matrices back column by column.
		const Matrix rotation = Camera->GetTransform().GetGlobalRotation().ToRotationMatrix();
		const std::array<float, 16> sent = UniformFloats("uCameraRotation");
		for (int row = 0; row < 4; ++row)
			for (int column = 0; column < 4; ++column)
				EXPECT_NEAR(sent[column * 4 + row], rotation.m[row][column], 1e-6f) << row << ", " << column;
		EXPECT_NEAR(sent[2 * 4 + 0], 1.0f, 1e-6f) << "a quarter turn about Y takes Z onto X";

		EXPECT_EQ(UniformInt("uUseCashetes"), 1);
		const struct
		{
			const char* Name;
			float Value;
		} floats[] = {
		    {"uDistortionPower", 0.25f}, {"uColorTempValue", 6500.0f}, {"uColorTempLuminancePreservation", 0.5f},
		    {"uSaturationPower", 1.5f},  {"uGrainPower", 0.125f},      {"uStripesPower", 0.375f}};
		for (const auto& uniform : floats)
			EXPECT_FLOAT_EQ(UniformFloats(uniform.Name)[0], uniform.Value) << uniform.Name;
	}

	TEST_F(PostprocessRenderingPassTest, CameraWithoutSettingsIsLoggedOnEveryRunAndStillDrawn)
	{
		Register(ePostprocessRenderPassType::FINAL);
		RenderingPassBase& pass = *GetPass(ePostprocessRenderPassType::FINAL);
		VornTests::ConsoleCapture console;

		Run(pass);
		Run(pass);

		const std::string line = "[INFO] void PostprocessRenderingPass::OnRun: PostprocessSettings is NULL\n";
		const std::string& text = console.GetText();
		const std::size_t first = text.find(line);
		ASSERT_NE(first, std::string::npos) << text;
		EXPECT_NE(text.find(line, first + line.size()), std::string::npos) << text;
		EXPECT_TRUE(IsPixel(ReadTexture(Output->GetTextureID()).At(5, 5), {102, 51, 25, 255}, 2));
		// Values that leave the picture as it is, not the settings' defaults with their grain and stripes.
		EXPECT_EQ(UniformInt("uUseCashetes"), 0);
		EXPECT_FLOAT_EQ(UniformFloats("uSaturationPower")[0], 1.0f);
		EXPECT_FLOAT_EQ(UniformFloats("uGrainPower")[0], 0.0f);
		EXPECT_FLOAT_EQ(UniformFloats("uStripesPower")[0], 0.0f);
		EXPECT_FLOAT_EQ(UniformFloats("uDistortionPower")[0], 0.0f);
	}

	TEST_F(PostprocessRenderingPassTest, ResizeReachesTheSharedTargets)
	{
		auto target = std::make_unique<Texture2DRenderingTarget>(GL_RGB8);
		const GLuint texture = target->GetTextureID();
		GLRenderingDeviceTestAccess::SetSharedTarget(*RenderingDevice, eSharedRenderingTargetType::COLOR,
		                                             std::move(target));

		RenderingDevice->Resize(ScreenSize{40, 24});

		EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_WIDTH), 40);
		EXPECT_EQ(TextureLevelParameter(texture, GL_TEXTURE_HEIGHT), 24);
	}

	TEST_F(PostprocessRenderingPassDeathTest, SlotOutsideTheTableStops)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		EXPECT_DEATH(Register(static_cast<ePostprocessRenderPassType>(5)), "Index out of bounds!");
	}
} // namespace
