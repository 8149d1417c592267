#include "renderers/tiled/envcapture.hpp"

#include "fixtures/consolecapture.hpp"
#include "glrenderingdevice.hpp"
#include "rendering/skyboxworldcomponent.hpp"
#include "resources/resourcemanager.hpp"
#include "support/enginedevicetest.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
	// The reference integrals run in double precision.
	constexpr double PI_DOUBLE = 3.14159265358979323846;

	struct Rgb
	{
		float R = 0.0f;
		float G = 0.0f;
		float B = 0.0f;
	};

	// Both colours survive the panorama's shared-exponent encoding and half floats exactly.
	constexpr Rgb SKY = {0.25f, 0.5f, 2.0f};
	constexpr Rgb GROUND = {0.0625f, 0.046875f, 0.03125f};

	constexpr const char* PANORAMA_PATH = "Textures/TwoToneSky.hdr";
	constexpr u32 FACE_COUNT = 6;

	struct Direction
	{
		double X = 0.0;
		double Y = 0.0;
		double Z = 0.0;
	};

	// Direction of a texel's centre on a cubemap face (0 = +X ... 5 = -Z), by OpenGL's face table; row 0 is the
	// first row in memory.
	Direction TexelDirection(u32 face, int column, int row, int size)
	{
		const double sc = 2.0 * (column + 0.5) / size - 1.0;
		const double tc = 2.0 * (row + 0.5) / size - 1.0;
		Direction direction;
		switch (face)
		{
		case 0:
			direction = {1.0, -tc, -sc};
			break;
		case 1:
			direction = {-1.0, -tc, sc};
			break;
		case 2:
			direction = {sc, 1.0, tc};
			break;
		case 3:
			direction = {sc, -1.0, -tc};
			break;
		case 4:
			direction = {sc, -tc, 1.0};
			break;
		default:
			direction = {-sc, -tc, -1.0};
			break;
		}
		const double length =
		    std::sqrt(direction.X * direction.X + direction.Y * direction.Y + direction.Z * direction.Z);
		return {direction.X / length, direction.Y / length, direction.Z / length};
	}

	struct FaceImage
	{
		int Size = 0;
		std::vector<float> Texels; // RGB, first row in memory first

		Rgb At(int column, int row) const
		{
			const std::size_t offset = (static_cast<std::size_t>(row) * Size + column) * 3;
			return {Texels[offset], Texels[offset + 1], Texels[offset + 2]};
		}
	};

	GLint CubemapLevelParameter(GLuint cubemap, u32 face, int level, GLenum parameter)
	{
		GLint value = 0;
		glBindTexture(GL_TEXTURE_CUBE_MAP, cubemap);
		glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, level, parameter, &value);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		return value;
	}

	GLint CubemapParameter(GLuint cubemap, GLenum parameter)
	{
		GLint value = 0;
		glBindTexture(GL_TEXTURE_CUBE_MAP, cubemap);
		glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, parameter, &value);
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		return value;
	}

	FaceImage ReadFace(GLuint cubemap, u32 face, int level)
	{
		FaceImage image;
		image.Size = CubemapLevelParameter(cubemap, face, level, GL_TEXTURE_WIDTH);
		image.Texels.assign(static_cast<std::size_t>(image.Size) * image.Size * 3, 0.0f);
		glBindTexture(GL_TEXTURE_CUBE_MAP, cubemap);
		glPixelStorei(GL_PACK_ALIGNMENT, 4);
		glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, level, GL_RGB, GL_FLOAT, image.Texels.data());
		glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
		return image;
	}

	// How far a colour lies from the sky toward the ground, on the channel where they differ most.
	double GroundShare(const Rgb& color) { return (SKY.B - color.B) / static_cast<double>(SKY.B - GROUND.B); }

	testing::AssertionResult IsColor(const Rgb& actual, const Rgb& expected, float tolerance)
	{
		if (std::abs(actual.R - expected.R) <= tolerance && std::abs(actual.G - expected.G) <= tolerance &&
		    std::abs(actual.B - expected.B) <= tolerance)
			return testing::AssertionSuccess();
		return testing::AssertionFailure()
		       << "(" << actual.R << ", " << actual.G << ", " << actual.B << ") instead of (" << expected.R << ", "
		       << expected.G << ", " << expected.B << ")";
	}

	// Share of the light a GGX lobe around `normal` (with the view along the normal, weighted by N.L as the
	// prefilter does) gathers from below the horizon, by quadrature over the sphere.
	double ReferenceGGXGroundShare(const Direction& normal, double roughness)
	{
		const double alphaSquared = std::pow(roughness, 4.0);
		constexpr int polarSteps = 720;
		constexpr int azimuthSteps = 1440;
		const double polarStep = PI_DOUBLE / polarSteps;
		const double azimuthStep = 2.0 * PI_DOUBLE / azimuthSteps;
		double total = 0.0;
		double ground = 0.0;
		for (int i = 0; i < polarSteps; ++i)
		{
			const double polar = (i + 0.5) * polarStep;
			const double y = std::cos(polar);
			const double ring = std::sin(polar);
			for (int j = 0; j < azimuthSteps; ++j)
			{
				const double azimuth = (j + 0.5) * azimuthStep;
				const Direction light = {ring * std::cos(azimuth), y, ring * std::sin(azimuth)};
				const double NdotL = light.X * normal.X + light.Y * normal.Y + light.Z * normal.Z;
				if (NdotL <= 0.0)
					continue;
				// With the view along the normal, N.H = sqrt((1 + N.L) / 2).
				const double NdotHSquared = (1.0 + NdotL) / 2.0;
				const double denominator = NdotHSquared * (alphaSquared - 1.0) + 1.0;
				const double weight = alphaSquared / (denominator * denominator) * NdotL * ring;
				total += weight;
				if (y < 0.0)
					ground += weight;
			}
		}
		return ground / total;
	}

	class EnvCaptureTest : public EngineDeviceTest<64, 64>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			WritePanorama();
			Console = std::make_unique<VornTests::ConsoleCapture>();
			// The tiled renderer's state while it captures.
			glEnable(GL_DEPTH_TEST);
			glEnable(GL_CULL_FACE);
		}

		void TearDown() override
		{
			Console.reset();
			EngineDeviceTest::TearDown();
		}

		void WritePanorama() const
		{
			Assets->WriteTwoTonePanorama(PANORAMA_PATH, {SKY.R, SKY.G, SKY.B}, {GROUND.R, GROUND.G, GROUND.B});
		}

		// The capture's own log lines, without the level prefix.
		std::vector<std::string> CaptureLogLines() const
		{
			std::vector<std::string> lines;
			std::istringstream stream(Console->GetText());
			const std::string prefix = "[INFO] EnvCapture::";
			for (std::string line; std::getline(stream, line);)
			{
				if (line.rfind(prefix, 0) == 0)
					lines.push_back(line.substr(7));
			}
			return lines;
		}

		std::unique_ptr<VornTests::ConsoleCapture> Console;
	};

	TEST_F(EnvCaptureTest, SkyWithoutPanoramaLogsOnEveryTryAndStaysDirty)
	{
		EnvCapture capture(RenderingDevice);
		SkyboxWorldComponent skybox("Textures/Missing.hdr", eResourceSource::ENGINE);
		ASSERT_EQ(skybox.GetPanorama(), nullptr);

		capture.UpdateEnv(&skybox);
		capture.UpdateEnv(&skybox);

		const std::string line = "EnvCapture::UpdateEnv SkyboxWorldComponent panorama is null! Abording!";
		EXPECT_EQ(CaptureLogLines(), std::vector<std::string>(2, line));
		EXPECT_TRUE(capture.GetIsDirty());
		EXPECT_EQ(capture.GetEnvCubemap(), 0u);
		EXPECT_EQ(capture.GetIrradianceMap(), 0u);
		EXPECT_EQ(capture.GetPrefilterMap(), 0u);
	}

	TEST_F(EnvCaptureTest, CaptureLogsEveryStepInOrderAndClearsDirty)
	{
		EnvCapture capture(RenderingDevice);
		EXPECT_TRUE(capture.GetIsDirty());
		SkyboxWorldComponent skybox(PANORAMA_PATH, eResourceSource::ENGINE);
		ASSERT_NE(skybox.GetPanorama(), nullptr);

		capture.UpdateEnv(&skybox);

		std::vector<std::string> expected = {
		    "EnvCapture::CaptureCubemap create cubemap resource",
		    "EnvCapture::CaptureCubemap cubemap resource created",
		    "EnvCapture::CaptureCubemap Create capture FBO",
		    "EnvCapture::CaptureCubemap Capture FBO created",
		    "EnvCapture::CaptureCubemap create matrices",
		    "EnvCapture::CaptureCubemap matrices created",
		    "EnvCapture::CaptureCubemap start cubemap rendering loop",
		};
		for (int face = 0; face < 6; ++face)
			expected.push_back("EnvCapture::CaptureCubemap cubemap rendering: " + std::to_string(face));
		expected.insert(expected.end(), {
		                                    "EnvCapture::CaptureCubemap cubemap rendered",
		                                    "EnvCapture::CaptureCubemap generate env cubemap mipmaps",
		                                    "EnvCapture::CaptureCubemap env cubemap mipmaps generated",
		                                    "EnvCapture::CaptureIrradiance Create capture FBO",
		                                    "EnvCapture::CaptureIrradiance Capture FBO created",
		                                    "EnvCapture::CaptureIrradiance create matrices",
		                                    "EnvCapture::CaptureIrradiance matrices created",
		                                    "EnvCapture::CaptureSpecularPrefilteredMap create cubemap resource",
		                                    "EnvCapture::CaptureSpecularPrefilteredMap cubemap resource created",
		                                    "EnvCapture::CaptureSpecularPrefilteredMap Create capture FBO",
		                                    "EnvCapture::CaptureSpecularPrefilteredMap Capture FBO created",
		                                    "EnvCapture::CaptureSpecularPrefilteredMap create matrices",
		                                    "EnvCapture::CaptureSpecularPrefilteredMap capture prefiltered cubemap",
		                                });
		for (int mip = 0; mip < 5; ++mip)
		{
			const std::string size = std::to_string(512 >> mip);
			expected.push_back("EnvCapture::CaptureSpecularPrefilteredMap capture prefiltered cubemap mip: " +
			                   std::to_string(mip) + ", width: " + size + ", height: " + size);
		}
		expected.push_back("EnvCapture::CaptureSpecularPrefilteredMap prefiltered cubemap captured");

		EXPECT_EQ(CaptureLogLines(), expected);
		EXPECT_FALSE(capture.GetIsDirty());
		GLint framebuffer = -1;
		glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
		EXPECT_EQ(framebuffer, 0);
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	struct CubemapLayout
	{
		const char* Name;
		u32 (EnvCapture::*Get)() const;
		GLint Size;
		GLint LastLevel; // the smallest level with storage
		GLint MinificationFilter;
	};

	TEST_F(EnvCaptureTest, CubemapsHaveTheirFormatSizeLevelsAndFiltering)
	{
		EnvCapture capture(RenderingDevice);
		SkyboxWorldComponent skybox(PANORAMA_PATH, eResourceSource::ENGINE);
		capture.UpdateEnv(&skybox);

		const CubemapLayout layouts[] = {
		    {"environment", &EnvCapture::GetEnvCubemap, 512, 9, GL_LINEAR_MIPMAP_LINEAR},
		    {"irradiance", &EnvCapture::GetIrradianceMap, 32, 0, GL_LINEAR},
		    {"prefiltered", &EnvCapture::GetPrefilterMap, 512, 9, GL_LINEAR_MIPMAP_LINEAR},
		};
		for (const CubemapLayout& layout : layouts)
		{
			SCOPED_TRACE(layout.Name);
			const GLuint cubemap = (capture.*layout.Get)();
			ASSERT_NE(cubemap, 0u);
			EXPECT_TRUE(glIsTexture(cubemap));
			for (u32 face = 0; face < FACE_COUNT; ++face)
			{
				SCOPED_TRACE(face);
				EXPECT_EQ(CubemapLevelParameter(cubemap, face, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB16F);
				for (GLint level = 0; level <= layout.LastLevel; ++level)
				{
					EXPECT_EQ(CubemapLevelParameter(cubemap, face, level, GL_TEXTURE_WIDTH), layout.Size >> level);
					EXPECT_EQ(CubemapLevelParameter(cubemap, face, level, GL_TEXTURE_HEIGHT), layout.Size >> level);
				}
				EXPECT_EQ(CubemapLevelParameter(cubemap, face, layout.LastLevel + 1, GL_TEXTURE_WIDTH), 0);
			}
			for (GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R})
				EXPECT_EQ(CubemapParameter(cubemap, wrap), GL_CLAMP_TO_EDGE);
			EXPECT_EQ(CubemapParameter(cubemap, GL_TEXTURE_MIN_FILTER), layout.MinificationFilter);
			EXPECT_EQ(CubemapParameter(cubemap, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
		}
		EXPECT_TRUE(glIsEnabled(GL_TEXTURE_CUBE_MAP_SEAMLESS));
	}

	// Every face, the two Y faces included, holds the sky where its texels look up and the ground where they look
	// down; only the panorama's blurred horizon line is left out.
	TEST_F(EnvCaptureTest, EnvironmentShowsTheSkyAboveAndTheGroundBelowOnEveryFace)
	{
		EnvCapture capture(RenderingDevice);
		SkyboxWorldComponent skybox(PANORAMA_PATH, eResourceSource::ENGINE);
		capture.UpdateEnv(&skybox);

		for (u32 face = 0; face < FACE_COUNT; ++face)
		{
			SCOPED_TRACE(face);
			const FaceImage image = ReadFace(capture.GetEnvCubemap(), face, 0);
			ASSERT_EQ(image.Size, 512);
			int mismatches = 0;
			for (int row = 0; row < image.Size; ++row)
			{
				for (int column = 0; column < image.Size; ++column)
				{
					const double height = TexelDirection(face, column, row, image.Size).Y;
					if (std::abs(height) < 0.1)
						continue;
					const testing::AssertionResult matches =
					    IsColor(image.At(column, row), height > 0.0 ? SKY : GROUND, 1e-3f);
					if (!matches && ++mismatches <= 3)
						ADD_FAILURE() << "texel (" << column << ", " << row << "): " << matches.message();
				}
			}
			EXPECT_EQ(mismatches, 0);
		}
	}

	// Convolved with the cosine lobe, a sky over a ground gives (1 + n.y) / 2 of the sky for a normal n: smooth
	// everywhere, the sky straight up, the ground straight down and their mean at the horizon.
	TEST_F(EnvCaptureTest, IrradianceFollowsTheCosineLobeBetweenSkyAndGround)
	{
		EnvCapture capture(RenderingDevice);
		SkyboxWorldComponent skybox(PANORAMA_PATH, eResourceSource::ENGINE);
		capture.UpdateEnv(&skybox);

		double largestError = 0.0;
		int outsideCount = 0;
		for (u32 face = 0; face < FACE_COUNT; ++face)
		{
			SCOPED_TRACE(face);
			const FaceImage image = ReadFace(capture.GetIrradianceMap(), face, 0);
			ASSERT_EQ(image.Size, 32);
			for (int row = 0; row < image.Size; ++row)
			{
				for (int column = 0; column < image.Size; ++column)
				{
					const Rgb texel = image.At(column, row);
					const bool isBetween = texel.R >= GROUND.R && texel.R <= SKY.R && texel.G >= GROUND.G &&
					                       texel.G <= SKY.G && texel.B >= GROUND.B && texel.B <= SKY.B;
					if (!isBetween && ++outsideCount <= 3)
						ADD_FAILURE() << "texel (" << column << ", " << row << ") is (" << texel.R << ", " << texel.G
						              << ", " << texel.B << ")";
					const double expectedShare = (1.0 - TexelDirection(face, column, row, image.Size).Y) / 2.0;
					largestError = std::max(largestError, std::abs(GroundShare(texel) - expectedShare));
				}
			}
		}
		EXPECT_EQ(outsideCount, 0);
		EXPECT_LT(largestError, 0.02);
	}

	TEST_F(EnvCaptureTest, PrefilteredLevelZeroIsTheEnvironment)
	{
		EnvCapture capture(RenderingDevice);
		SkyboxWorldComponent skybox(PANORAMA_PATH, eResourceSource::ENGINE);
		capture.UpdateEnv(&skybox);

		for (u32 face = 0; face < FACE_COUNT; ++face)
		{
			SCOPED_TRACE(face);
			const FaceImage prefiltered = ReadFace(capture.GetPrefilterMap(), face, 0);
			const FaceImage environment = ReadFace(capture.GetEnvCubemap(), face, 0);
			ASSERT_EQ(prefiltered.Size, environment.Size);
			float largestDifference = 0.0f;
			for (std::size_t i = 0; i < prefiltered.Texels.size(); ++i)
				largestDifference =
				    std::max(largestDifference, std::abs(prefiltered.Texels[i] - environment.Texels[i]));
			EXPECT_LE(largestDifference, 1e-3f);
		}
	}

	// Seen from a texel 15 degrees above the horizon, the ground reaches each level as far as that level's GGX
	// lobe (roughness 0.25 per level) says.
	TEST_F(EnvCaptureTest, PrefilteredLevelsGatherLightWithRoughnessAQuarterPerLevel)
	{
		EnvCapture capture(RenderingDevice);
		SkyboxWorldComponent skybox(PANORAMA_PATH, eResourceSource::ENGINE);
		capture.UpdateEnv(&skybox);

		const double tangent = std::tan(15.0 * PI_DOUBLE / 180.0);
		for (int level = 1; level < 5; ++level)
		{
			SCOPED_TRACE(level);
			const FaceImage image = ReadFace(capture.GetPrefilterMap(), 0, level);
			ASSERT_EQ(image.Size, 512 >> level);
			const int column = image.Size / 2;
			const int row = static_cast<int>(std::lround((1.0 - tangent) / 2.0 * image.Size - 0.5));
			const Direction normal = TexelDirection(0, column, row, image.Size);
			EXPECT_NEAR(GroundShare(image.At(column, row)), ReferenceGGXGroundShare(normal, level * 0.25), 0.02);
		}
		EXPECT_EQ(ReadFace(capture.GetPrefilterMap(), 0, 3).Size, 64);
	}

	TEST_F(EnvCaptureTest, BrokenCaptureShaderFailsConstructionWithTheSetUpException)
	{
		Assets->WriteEngineAsset("Shaders/prefilterCubemap.frag.glsl", "#version 430 core\nvoid main() { broken }\n");
		EXPECT_THROW(EnvCapture capture(RenderingDevice), RenderingDeviceSetupFailedException);
	}
} // namespace
