#include "renderers/tiled/brdftable.hpp"

#include "fixtures/consolecapture.hpp"
#include "glrenderingdevice.hpp"
#include "glshaderprogram.hpp"
#include "support/enginedevicetest.hpp"
#include "support/offscreendrawing.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace Vorn;

namespace
{
	// The reference integrals run in double precision.
	constexpr double PI_DOUBLE = 3.14159265358979323846;

	struct ScaleBias
	{
		float Scale = 0.0f;
		float Bias = 0.0f;
	};

	struct TablePixels
	{
		int Size = 0;
		std::vector<float> Texels; // (scale, bias) pairs, row 0 (roughness near 0) first

		ScaleBias At(int column, int row) const
		{
			const std::size_t offset = (static_cast<std::size_t>(row) * Size + column) * 2;
			return {Texels[offset], Texels[offset + 1]};
		}
	};

	using OffscreenDrawing::TextureLevelParameter;
	using OffscreenDrawing::TextureParameter;

	TablePixels ReadTable(GLuint texture)
	{
		TablePixels pixels;
		pixels.Size = TextureLevelParameter(texture, GL_TEXTURE_WIDTH);
		pixels.Texels.assign(static_cast<std::size_t>(pixels.Size) * pixels.Size * 2, 0.0f);
		glBindTexture(GL_TEXTURE_2D, texture);
		glPixelStorei(GL_PACK_ALIGNMENT, 4);
		glGetTexImage(GL_TEXTURE_2D, 0, GL_RG, GL_FLOAT, pixels.Texels.data());
		glBindTexture(GL_TEXTURE_2D, 0);
		return pixels;
	}

	// The table's coordinate at the centre of texel `index`.
	double TexelCentre(int index) { return (index + 0.5) / BRDF_LUT_SIZE; }

	// The GGX specular lobe's directional albedo split by Schlick's Fresnel, integrated over light directions on a
	// fine grid instead of by importance sampling: alpha = roughness^2, Smith's Schlick-GGX geometry with
	// k = roughness^2 / 2.
	ScaleBias ReferenceScaleBias(double NdotV, double roughness)
	{
		const double alphaSquared = std::pow(roughness, 4.0);
		const double k = roughness * roughness / 2.0;
		const auto geometry = [k](double NdotX) { return NdotX / (NdotX * (1.0 - k) + k); };
		const double viewX = std::sqrt(1.0 - NdotV * NdotV);

		constexpr int polarSteps = 1024;
		constexpr int azimuthSteps = 2048;
		const double polarStep = PI_DOUBLE / 2.0 / polarSteps;
		const double azimuthStep = 2.0 * PI_DOUBLE / azimuthSteps;
		double scale = 0.0;
		double bias = 0.0;
		for (int i = 0; i < polarSteps; ++i)
		{
			const double polar = (i + 0.5) * polarStep;
			const double NdotL = std::cos(polar);
			const double ring = std::sin(polar);
			for (int j = 0; j < azimuthSteps; ++j)
			{
				const double azimuth = (j + 0.5) * azimuthStep;
				const double lightX = ring * std::cos(azimuth);
				const double lightY = ring * std::sin(azimuth);
				double halfX = lightX + viewX;
				double halfY = lightY;
				double halfZ = NdotL + NdotV;
				const double length = std::sqrt(halfX * halfX + halfY * halfY + halfZ * halfZ);
				halfX /= length;
				halfY /= length;
				halfZ /= length;
				const double NdotH = halfZ;
				const double VdotH = halfX * viewX + halfZ * NdotV;

				const double denominator = NdotH * NdotH * (alphaSquared - 1.0) + 1.0;
				const double distribution = alphaSquared / (PI_DOUBLE * denominator * denominator);
				const double lobe = distribution * geometry(NdotV) * geometry(NdotL) / (4.0 * NdotV);
				const double fresnel = std::pow(1.0 - VdotH, 5.0);
				const double solidAngle = ring * polarStep * azimuthStep;
				scale += (1.0 - fresnel) * lobe * solidAngle;
				bias += fresnel * lobe * solidAngle;
			}
		}
		return {static_cast<float>(scale), static_cast<float>(bias)};
	}

	// The table as the tiled renderer makes it at start-up: its program, drawn with depth test and culling on.
	class BrdfTableTest : public EngineDeviceTest<64, 64>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			IntegrateBRDFShader =
			    std::make_unique<GLShaderProgram>("Shaders/hdr.vert.glsl", "Shaders/integrateBRDF.frag.glsl");
			glEnable(GL_DEPTH_TEST);
			glEnable(GL_CULL_FACE);
			VornTests::ConsoleCapture console;
			Table = CreatePreintegratedBrdfLUT(RenderingDevice, *IntegrateBRDFShader);
			Log = console.GetText();
		}

		void TearDown() override
		{
			if (Table)
				glDeleteTextures(1, &Table);
			IntegrateBRDFShader.reset();
			EngineDeviceTest::TearDown();
		}

		std::unique_ptr<GLShaderProgram> IntegrateBRDFShader;
		GLuint Table = 0;
		std::string Log;
	};

	TEST_F(BrdfTableTest, TableIsLoggedAndStoredAsClampedLinearRG16F)
	{
		const std::vector<std::string> expected = {
		    "[INFO] TiledForwardRenderer::PreintegrateBRDF Create texture resource",
		    "[INFO] TiledForwardRenderer::PreintegrateBRDF Create capture FBO",
		    "[INFO] TiledForwardRenderer::PreintegrateBRDF Capture FBO created",
		    "[INFO] TiledForwardRenderer::PreintegrateBRDF Render preintegrated BRDF",
		    "[INFO] TiledForwardRenderer::CaptureCubemap preintegrated BRDF rendered",
		};
		std::vector<std::string> lines;
		std::istringstream stream(Log);
		for (std::string line; std::getline(stream, line);)
			lines.push_back(line);
		EXPECT_EQ(lines, expected);

		ASSERT_TRUE(glIsTexture(Table));
		EXPECT_EQ(TextureLevelParameter(Table, GL_TEXTURE_INTERNAL_FORMAT), GL_RG16F);
		EXPECT_EQ(TextureLevelParameter(Table, GL_TEXTURE_WIDTH), 512);
		EXPECT_EQ(TextureLevelParameter(Table, GL_TEXTURE_HEIGHT), 512);
		EXPECT_EQ(TextureParameter(Table, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
		EXPECT_EQ(TextureParameter(Table, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
		EXPECT_EQ(TextureParameter(Table, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
		EXPECT_EQ(TextureParameter(Table, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
		GLint framebuffer = -1;
		glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
		EXPECT_EQ(framebuffer, 0);
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	// A mirror reflects everything: the split is Schlick's Fresnel alone, (1 - N.V)^5 of bias and the rest scale,
	// so head-on the scale is 1 and the bias 0.
	TEST_F(BrdfTableTest, SmoothRowSplitsFullReflectionBySchlickFresnel)
	{
		const TablePixels table = ReadTable(Table);
		for (int column : {0, 25, 128, 256, 384, 511})
		{
			SCOPED_TRACE(column);
			const double bias = std::pow(1.0 - TexelCentre(column), 5.0);
			EXPECT_NEAR(table.At(column, 0).Scale, 1.0 - bias, 0.01);
			EXPECT_NEAR(table.At(column, 0).Bias, bias, 0.01);
		}
		EXPECT_NEAR(table.At(511, 0).Scale, 1.0f, 0.005f);
		EXPECT_NEAR(table.At(511, 0).Bias, 0.0f, 0.005f);
	}

	TEST_F(BrdfTableTest, RoughRowsMatchTheIntegratedLobe)
	{
		const TablePixels table = ReadTable(Table);
		for (int row : {127, 255, 383, 511})
		{
			for (int column : {51, 255, 460})
			{
				SCOPED_TRACE(testing::Message() << "N.V " << TexelCentre(column) << ", roughness " << TexelCentre(row));
				const ScaleBias expected = ReferenceScaleBias(TexelCentre(column), TexelCentre(row));
				EXPECT_NEAR(table.At(column, row).Scale, expected.Scale, 0.01);
				EXPECT_NEAR(table.At(column, row).Bias, expected.Bias, 0.01);
			}
		}
	}

	// Scale and bias are the shares of the light the lobe reflects, which never exceeds what arrives.
	TEST_F(BrdfTableTest, ScaleAndBiasAreNonNegativeAndNeverSumAboveOne)
	{
		const TablePixels table = ReadTable(Table);
		int offenders = 0;
		for (int row = 0; row < table.Size; ++row)
		{
			for (int column = 0; column < table.Size; ++column)
			{
				const ScaleBias texel = table.At(column, row);
				const bool isBounded = texel.Scale >= 0.0f && texel.Bias >= 0.0f && texel.Scale + texel.Bias <= 1.002f;
				if (!isBounded && ++offenders <= 3)
					ADD_FAILURE() << "texel (" << column << ", " << row << ") is (" << texel.Scale << ", " << texel.Bias
					              << ")";
			}
		}
		EXPECT_EQ(offenders, 0);
	}

	TEST_F(BrdfTableTest, BiasGrowsTowardGrazingAngles)
	{
		const TablePixels table = ReadTable(Table);
		for (int row : {0, 127, 255, 383, 511})
		{
			SCOPED_TRACE(row);
			EXPECT_GT(table.At(25, row).Bias, table.At(255, row).Bias);
			EXPECT_GT(table.At(255, row).Bias, table.At(486, row).Bias);
		}
	}
} // namespace
