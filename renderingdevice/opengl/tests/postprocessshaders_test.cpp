#include "glrenderingdevice.hpp"
#include "glshaderprogram.hpp"
#include "math/vector.hpp"
#include "primitives/primitivequad.hpp"
#include "support/enginedevicetest.hpp"
#include "support/offscreendrawing.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace Vorn;

namespace
{
	constexpr int IMAGE_WIDTH = 64;
	constexpr int IMAGE_HEIGHT = 32;

	struct ProgramCase
	{
		const char* VertexPath;
		const char* FragmentPath;
		std::map<std::string, std::string> Uniforms; // name -> GLSL type
		std::map<std::string, GLint> Attributes;     // name -> location
		std::vector<std::string> Outputs;            // in declaration order
	};

	// The programs the tiled renderer builds from these files, with every uniform its passes set or its shaders
	// read. Each must be found by the source scan with the type the setters expect, and stay active in the driver.
	const ProgramCase PROGRAM_CASES[] = {
	    {"Shaders/hdr.vert.glsl",
	     "Shaders/hdr.frag.glsl",
	     {{"uHdrBuffer", "sampler2D"}, {"uExposure", "float"}},
	     {{"aPosition", 0}},
	     {"oColor"}},
	    {"Shaders/hdr.vert.glsl",
	     "Shaders/gamma.frag.glsl",
	     {{"uImage", "sampler2D"}, {"uGamma", "float"}},
	     {{"aPosition", 0}},
	     {"oColor"}},
	    {"Shaders/hdr.vert.glsl",
	     "Shaders/linearizeDepth.frag.glsl",
	     {{"uDepth", "sampler2D"}, {"uNear", "float"}, {"uFar", "float"}},
	     {{"aPosition", 0}},
	     {"oDistance"}},
	    {"Shaders/hdr.vert.glsl",
	     "Shaders/dof.frag.glsl",
	     {{"uRes", "vec4"},
	      {"uImage", "sampler2D"},
	      {"uDepth", "sampler2D"},
	      {"uTime", "float"},
	      {"uDOFpoint", "float"},
	      {"uDOFrange", "float"},
	      {"uDOFsize", "float"},
	      {"uGathered", "sampler2D"},
	      {"uGatheredRect", "vec4"}},
	     {{"aPosition", 0}},
	     {"oColor"}},
	    {"Shaders/hdr.vert.glsl",
	     "Shaders/dofGather.frag.glsl",
	     {{"uRes", "vec4"},
	      {"uImage", "sampler2D"},
	      {"uDepth", "sampler2D"},
	      {"uTime", "float"},
	      {"uDOFpoint", "float"},
	      {"uDOFrange", "float"},
	      {"uDOFsize", "float"}},
	     {{"aPosition", 0}},
	     {"oGathered"}},
	    {"Shaders/equiHdr.vert.glsl",
	     "Shaders/equiHdr.frag.glsl",
	     {{"uClipFromModel", "mat4"}, {"uEquirectangularMap", "sampler2D"}},
	     {{"aPosition", 0}},
	     {"oColor"}},
	    {"Shaders/text2D.vert.glsl",
	     "Shaders/text2D.frag.glsl",
	     {{"u_projection", "mat4"}, {"u_position", "vec4"}, {"u_textColor", "vec4"}, {"uFontAtlas", "sampler2D"}},
	     {{"aPosition", 0}, {"aTexCoord", 1}},
	     {"oColor"}},
	    {"Shaders/debug.vert.glsl",
	     "Shaders/debug.frag.glsl",
	     {{"uMVP", "mat4"}},
	     {{"aPosition", 0}, {"aColor", 1}},
	     {"oColor"}},
	    {"Shaders/debugQuadDepthPrepass.vert.glsl",
	     "Shaders/debugQuadDepthPrepass.frag.glsl",
	     {{"uDepthMap", "sampler2D"}, {"uNear", "float"}, {"uFar", "float"}},
	     {{"aPosition", 0}},
	     {"oColor"}},
	    {"Shaders/debugQuadLightCulling.vert.glsl",
	     "Shaders/debugQuadLightCulling.frag.glsl",
	     {{"uWorkGroupsX", "int"}, {"uWorkGroupsY", "int"}},
	     {{"aPosition", 0}},
	     {"oColor"}},
	    {"Shaders/debugLightAccum.vert.glsl",
	     "Shaders/debugLightAccum.frag.glsl",
	     {{"uClipFromModel", "mat4"}, {"uWorldFromModel", "mat4"}, {"uWorkGroupsX", "int"}, {"uWorkGroupsY", "int"}},
	     {{"aPosition", 0}, {"aNormal", 2}},
	     {"oColor", "oNormal"}},
	    {"Shaders/lightAccumulation.vert.glsl",
	     "Shaders/lightAccumulationTexDebug.frag.glsl",
	     {{"uClipFromModel", "mat4"},
	      {"uWorldFromModel", "mat4"},
	      {"uDebugTexture", "int"},
	      {"uAlbedoMap", "sampler2D"},
	      {"uNormalMap", "sampler2D"},
	      {"uRoughnessMap", "sampler2D"},
	      {"uMetallicMap", "sampler2D"},
	      {"uAmbientOcclusionMap", "sampler2D"},
	      {"uEmissiveMap", "sampler2D"}},
	     {{"aPosition", 0}, {"aTexCoord", 1}, {"aNormal", 2}, {"aTangent", 3}},
	     {"oColor", "oNormal"}},
	};

	void PrintTo(const ProgramCase& programCase, std::ostream* stream)
	{
		*stream << programCase.VertexPath << " + " << programCase.FragmentPath;
	}

	class ScannedProgramTest : public EngineDeviceTest<IMAGE_WIDTH, IMAGE_HEIGHT>,
	                           public testing::WithParamInterface<ProgramCase>
	{
	};

	TEST_P(ScannedProgramTest, LinksWithEveryUniformFoundByTheScanAtItsDeclaredType)
	{
		const ProgramCase& programCase = GetParam();
		GLShaderProgram program(programCase.VertexPath, programCase.FragmentPath);

		GLint isLinked = GL_FALSE;
		glGetProgramiv(program.GetProgramHandle(), GL_LINK_STATUS, &isLinked);
		EXPECT_EQ(isLinked, GL_TRUE);

		std::map<std::string, std::string> uniforms;
		for (const auto& [name, info] : program.GetUniformsInfo())
		{
			uniforms[name.GetCStr()] = info.TypeName.GetCStr();
			EXPECT_NE(info.Location, -1) << name.GetCStr();
		}
		EXPECT_EQ(uniforms, programCase.Uniforms);

		for (const auto& [name, location] : programCase.Attributes)
			EXPECT_EQ(glGetAttribLocation(program.GetProgramHandle(), name.c_str()), location) << name;

		std::vector<std::string> outputs(program.GetOutputsInfo().size());
		for (const auto& [name, info] : program.GetOutputsInfo())
		{
			ASSERT_LT(info.Index, outputs.size()) << name.GetCStr();
			outputs[info.Index] = name.GetCStr();
			EXPECT_EQ(glGetFragDataLocation(program.GetProgramHandle(), name.GetCStr()), GLint(info.Index))
			    << name.GetCStr();
		}
		EXPECT_EQ(outputs, programCase.Outputs);
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	INSTANTIATE_TEST_SUITE_P(TiledRendererPrograms, ScannedProgramTest, testing::ValuesIn(PROGRAM_CASES),
	                         [](const testing::TestParamInfo<ProgramCase>& info)
	                         {
		                         std::string name = info.param.FragmentPath;
		                         name = name.substr(name.find('/') + 1);
		                         return name.substr(0, name.find('.'));
	                         });

	using RgbaImage = std::vector<float>; // RGBA rows, bottom row first

	// Draws full-screen programs over the device's quad into float textures and reads them back unclamped.
	class FullScreenShaderTest : public EngineDeviceTest<IMAGE_WIDTH, IMAGE_HEIGHT>
	{
	protected:
		void SetUp() override
		{
			EngineDeviceTest::SetUp();
			ASSERT_FALSE(HasFatalFailure());
			glDisable(GL_BLEND);
			glDisable(GL_DEPTH_TEST);
			glDisable(GL_CULL_FACE);
		}

		void TearDown() override
		{
			glDeleteTextures(GLsizei(Textures.size()), Textures.data());
			EngineDeviceTest::TearDown();
		}

		GLuint CreateTexture(int width, int height, GLenum internalFormat, GLenum format, const float* data)
		{
			const GLuint texture = OffscreenDrawing::CreateFloatTexture(width, height, internalFormat, format, data);
			Textures.push_back(texture);
			return texture;
		}

		GLuint CreateColorTexture(int width, int height, const RgbaImage& pixels)
		{
			return CreateTexture(width, height, GL_RGBA32F, GL_RGBA, pixels.data());
		}

		// Runs `setUniforms` with the program bound, then draws the quad into a fresh float texture of the given
		// size and returns its pixels.
		template <typename SetUniforms>
		RgbaImage Draw(GLShaderProgram& program, int width, int height, SetUniforms setUniforms)
		{
			const GLuint target = CreateTexture(width, height, GL_RGBA32F, GL_RGBA, nullptr);
			OffscreenDrawing::DrawInto(target,
			                           [&]
			                           {
				                           program.BindProgram();
				                           setUniforms();
				                           RenderingDevice->GetQuadPrimitive()->Draw();
			                           });

			RgbaImage pixels(std::size_t(width) * height * 4, -1.0f);
			glBindTexture(GL_TEXTURE_2D, target);
			glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, pixels.data());
			glBindTexture(GL_TEXTURE_2D, 0);
			EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
			return pixels;
		}

		std::vector<GLuint> Textures;
	};

	float Channel(const RgbaImage& image, int width, int x, int y, int channel)
	{
		return image[(std::size_t(y) * width + x) * 4 + channel];
	}

	constexpr int TILE_SIZE = 16;
	constexpr int MAX_LIGHTS_PER_TILE = 1024;

	// Tiles are numbered row by row from the bottom left, each owning a 1024-entry slice of the index buffer whose
	// list ends at the first negative entry or fills the slice.
	TEST_F(FullScreenShaderTest, LightCullingViewColoursEachTileByItsLightCount)
	{
		constexpr int tilesX = IMAGE_WIDTH / TILE_SIZE;
		constexpr int tilesY = IMAGE_HEIGHT / TILE_SIZE;
		const int counts[tilesX * tilesY] = {0, 1, 3, 10, MAX_LIGHTS_PER_TILE, 0, 300, 100};
		std::vector<GLint> indices(std::size_t(tilesX) * tilesY * MAX_LIGHTS_PER_TILE, 7);
		for (int tile = 0; tile < tilesX * tilesY; ++tile)
		{
			if (counts[tile] < MAX_LIGHTS_PER_TILE)
				indices[std::size_t(tile) * MAX_LIGHTS_PER_TILE + counts[tile]] = -1;
		}
		GLuint buffer = 0;
		glGenBuffers(1, &buffer);
		glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffer);
		glBufferData(GL_SHADER_STORAGE_BUFFER, GLsizeiptr(indices.size() * sizeof(GLint)), indices.data(),
		             GL_STATIC_DRAW);
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 1, buffer);

		GLShaderProgram program("Shaders/debugQuadLightCulling.vert.glsl", "Shaders/debugQuadLightCulling.frag.glsl");
		const RgbaImage result = Draw(program, IMAGE_WIDTH, IMAGE_HEIGHT,
		                              [&]
		                              {
			                              program.SetUniform("uWorkGroupsX", tilesX);
			                              program.SetUniform("uWorkGroupsY", tilesY);
		                              });
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 1, 0);
		glDeleteBuffers(1, &buffer);

		std::vector<std::array<float, 3>> tileColors;
		for (int tile = 0; tile < tilesX * tilesY; ++tile)
		{
			const int x = (tile % tilesX) * TILE_SIZE + TILE_SIZE / 2;
			const int y = (tile / tilesX) * TILE_SIZE + TILE_SIZE / 2;
			tileColors.push_back({Channel(result, IMAGE_WIDTH, x, y, 0), Channel(result, IMAGE_WIDTH, x, y, 1),
			                      Channel(result, IMAGE_WIDTH, x, y, 2)});
		}
		const std::array<float, 3> black = {0.0f, 0.0f, 0.0f};
		EXPECT_EQ(tileColors[0], black);
		EXPECT_EQ(tileColors[5], black);
		EXPECT_EQ(tileColors[4], (std::array<float, 3>{1.0f, 0.0f, 0.0f}));
		// One light is a dim blue, the coolest colour above none.
		EXPECT_EQ(tileColors[1][0], 0.0f);
		EXPECT_EQ(tileColors[1][1], 0.0f);
		EXPECT_GT(tileColors[1][2], 0.0f);
		for (int a : {1, 2, 3, 6, 7})
		{
			for (int b : {1, 2, 3, 6, 7})
			{
				if (a != b)
				{
					EXPECT_NE(tileColors[a], tileColors[b]) << counts[a] << " and " << counts[b] << " lights";
				}
			}
		}
	}

	class ToneMappingTest : public FullScreenShaderTest
	{
	protected:
		// One input value per pixel; the green and blue channels hold a half and a quarter of it.
		RgbaImage ToneMap(const std::vector<float>& inputs, float exposure)
		{
			RgbaImage pixels;
			for (float input : inputs)
				pixels.insert(pixels.end(), {input, input * 0.5f, input * 0.25f, 1.0f});
			const int width = int(inputs.size());
			const GLuint image = CreateColorTexture(width, 1, pixels);
			GLShaderProgram program("Shaders/hdr.vert.glsl", "Shaders/hdr.frag.glsl");
			return Draw(program, width, 1,
			            [&]
			            {
				            program.BindSampler("uHdrBuffer", 0, int(image));
				            program.SetUniform("uExposure", exposure);
			            });
		}

		const std::vector<float> Inputs = {0.0f, 0.001f, 0.01f, 0.05f, 0.1f,  0.18f, 0.25f,  0.5f,
		                                   1.0f, 2.0f,   4.0f,  8.0f,  16.0f, 64.0f, 1000.0f};
		const std::vector<float> Exposures = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f};
	};

	TEST_F(ToneMappingTest, BlackStaysBlackAndNothingExceedsWhite)
	{
		for (float exposure : Exposures)
		{
			const RgbaImage result = ToneMap(Inputs, exposure);
			for (int channel = 0; channel < 3; ++channel)
			{
				SCOPED_TRACE(testing::Message() << "exposure " << exposure << ", channel " << channel);
				EXPECT_EQ(Channel(result, int(Inputs.size()), 0, 0, channel), 0.0f);
				for (std::size_t i = 0; i < Inputs.size(); ++i)
				{
					EXPECT_GE(Channel(result, int(Inputs.size()), int(i), 0, channel), 0.0f) << Inputs[i];
					EXPECT_LE(Channel(result, int(Inputs.size()), int(i), 0, channel), 1.0f) << Inputs[i];
				}
			}
		}
	}

	TEST_F(ToneMappingTest, BrighterInputGivesBrighterOutputUntilItSaturatesNearWhite)
	{
		const int width = int(Inputs.size());
		const RgbaImage result = ToneMap(Inputs, 1.0f);
		for (int i = 1; i < width; ++i)
		{
			SCOPED_TRACE(testing::Message() << Inputs[i - 1] << " -> " << Inputs[i]);
			const float previous = Channel(result, width, i - 1, 0, 0);
			const float current = Channel(result, width, i, 0, 0);
			EXPECT_GE(current, previous);
			if (Inputs[i] <= 4.0f)
			{
				EXPECT_GT(current, previous);
			}
		}
		EXPECT_GT(Channel(result, width, width - 1, 0, 0), 0.99f);
		// A mid grey is neither crushed nor blown out.
		const float midGrey = Channel(result, width, 5, 0, 0);
		EXPECT_GT(midGrey, 0.05f);
		EXPECT_LT(midGrey, 0.6f);
	}

	// Gamma encoding comes last in the frame; a curve that already lifted the shadows would encode them twice.
	TEST_F(ToneMappingTest, DarkTonesAreNotLifted)
	{
		const std::vector<float> darkInputs = {0.001f, 0.01f, 0.05f};
		const RgbaImage result = ToneMap(darkInputs, 1.0f);
		for (std::size_t i = 0; i < darkInputs.size(); ++i)
			EXPECT_LE(Channel(result, int(darkInputs.size()), int(i), 0, 0), darkInputs[i]) << darkInputs[i];
	}

	TEST_F(ToneMappingTest, HigherExposureGivesBrighterOutput)
	{
		const int width = int(Inputs.size());
		std::vector<RgbaImage> results;
		for (float exposure : Exposures)
			results.push_back(ToneMap(Inputs, exposure));
		for (std::size_t e = 1; e < Exposures.size(); ++e)
		{
			for (int i = 1; i < width; ++i)
			{
				SCOPED_TRACE(testing::Message()
				             << "input " << Inputs[i] << ", exposure " << Exposures[e - 1] << " -> " << Exposures[e]);
				const float darker = Channel(results[e - 1], width, i, 0, 0);
				const float brighter = Channel(results[e], width, i, 0, 0);
				EXPECT_GE(brighter, darker);
				if (Inputs[i] * Exposures[e] <= 4.0f)
				{
					EXPECT_GT(brighter, darker);
				}
			}
		}
	}

	// Exposure scales the input: the same product gives the same output whichever factor carries it.
	TEST_F(ToneMappingTest, ExposureActsAsAScaleOfTheInput)
	{
		const RgbaImage halfInputDoubleExposure = ToneMap({0.25f, 1.0f, 3.0f}, 2.0f);
		const RgbaImage plain = ToneMap({0.5f, 2.0f, 6.0f}, 1.0f);
		for (std::size_t i = 0; i < plain.size(); ++i)
			EXPECT_NEAR(halfInputDoubleExposure[i], plain[i], 1e-5f) << i;
	}

	class GammaTest : public FullScreenShaderTest, public testing::WithParamInterface<std::pair<float, float>>
	{
	};

	TEST_P(GammaTest, RaisesEachChannelToOneOverGamma)
	{
		const auto [gamma, input] = GetParam();
		const GLuint image = CreateColorTexture(1, 1, {input, input * 0.5f, 1.0f, 1.0f});
		GLShaderProgram program("Shaders/hdr.vert.glsl", "Shaders/gamma.frag.glsl");
		const RgbaImage result = Draw(program, 1, 1,
		                              [&]
		                              {
			                              program.BindSampler("uImage", 0, int(image));
			                              program.SetUniform("uGamma", gamma);
		                              });
		EXPECT_NEAR(result[0], std::pow(input, 1.0f / gamma), 1e-5f);
		EXPECT_NEAR(result[1], std::pow(input * 0.5f, 1.0f / gamma), 1e-5f);
		EXPECT_NEAR(result[2], 1.0f, 1e-6f);
	}

	INSTANTIATE_TEST_SUITE_P(GammaAndInput, GammaTest,
	                         testing::Values(std::make_pair(2.2f, 0.5f), std::make_pair(2.2f, 0.0f),
	                                         std::make_pair(2.2f, 1.0f), std::make_pair(2.2f, 0.04f),
	                                         std::make_pair(1.0f, 0.3f), std::make_pair(1.8f, 0.73f)));

	class LinearizeDepthTest : public FullScreenShaderTest, public testing::WithParamInterface<std::pair<float, float>>
	{
	};

	// Depths written by a standard perspective projection come back as the distances they were made from.
	TEST_P(LinearizeDepthTest, RecoversViewDistanceFromPerspectiveDepth)
	{
		const auto [nearPlane, farPlane] = GetParam();
		const std::vector<double> distances = {nearPlane,      nearPlane * 2.0, nearPlane * 10.0, farPlane * 0.1,
		                                       farPlane * 0.5, farPlane * 0.9,  farPlane};
		std::vector<float> depths;
		for (double distance : distances)
		{
			const double ndc = (farPlane + nearPlane) / double(farPlane - nearPlane) -
			                   2.0 * farPlane * nearPlane / ((farPlane - nearPlane) * distance);
			depths.push_back(float(ndc * 0.5 + 0.5));
		}
		const int width = int(depths.size());
		const GLuint depthMap = CreateTexture(width, 1, GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT, depths.data());

		GLShaderProgram program("Shaders/hdr.vert.glsl", "Shaders/linearizeDepth.frag.glsl");
		const RgbaImage result = Draw(program, width, 1,
		                              [&]
		                              {
			                              program.BindSampler("uDepth", 0, int(depthMap));
			                              program.SetUniform("uNear", nearPlane);
			                              program.SetUniform("uFar", farPlane);
		                              });
		for (int i = 0; i < width; ++i)
		{
			SCOPED_TRACE(testing::Message() << "distance " << distances[i] << ", depth " << depths[i]);
			EXPECT_NEAR(Channel(result, width, i, 0, 0), distances[i], distances[i] * 2e-3);
		}
	}

	INSTANTIATE_TEST_SUITE_P(NearAndFar, LinearizeDepthTest,
	                         testing::Values(std::make_pair(0.1f, 100.0f), std::make_pair(1.0f, 1000.0f),
	                                         std::make_pair(0.5f, 20.0f)));

	constexpr float FOCUS_POINT = 10.0f;
	constexpr float FOCUS_RANGE = 2.0f;
	constexpr int EDGE_X = IMAGE_WIDTH / 2;

	struct DepthOfFieldCase
	{
		const char* Name;
		float LeftDistance;  // the black half, x < EDGE_X
		float RightDistance; // the white half
		bool IsLeftOfEdgeBlurred;
		bool IsRightOfEdgeBlurred;
	};

	// The image is black left of the edge and white right of it; each half lies at one distance.
	const DepthOfFieldCase DEPTH_OF_FIELD_CASES[] = {
	    {"AllAtFocusPoint", FOCUS_POINT, FOCUS_POINT, false, false},
	    {"AllInsideFocusBand", FOCUS_POINT - 1.5f, FOCUS_POINT + 1.9f, false, false},
	    {"AllBeyondFocus", 100.0f, 100.0f, true, true},
	    {"AllBeforeFocus", 1.0f, 1.0f, true, true},
	    {"SharpBlackBeforeBlurredWhite", FOCUS_POINT, 100.0f, false, false},
	    {"SharpWhiteBeforeBlurredBlack", 100.0f, FOCUS_POINT, false, false},
	    {"BlurredBlackBeforeSharpWhite", 1.0f, FOCUS_POINT, true, false},
	};

	void PrintTo(const DepthOfFieldCase& layout, std::ostream* stream) { *stream << layout.Name; }

	class DepthOfFieldTest : public FullScreenShaderTest
	{
	protected:
		RgbaImage Blur(float leftDistance, float rightDistance, float size)
		{
			RgbaImage colors;
			RgbaImage distances;
			for (int y = 0; y < IMAGE_HEIGHT; ++y)
			{
				for (int x = 0; x < IMAGE_WIDTH; ++x)
				{
					const float value = x < EDGE_X ? 0.0f : 1.0f;
					colors.insert(colors.end(), {value, value, value, 1.0f});
					const float distance = x < EDGE_X ? leftDistance : rightDistance;
					distances.insert(distances.end(), {distance, distance, distance, 1.0f});
				}
			}
			const GLuint image = CreateColorTexture(IMAGE_WIDTH, IMAGE_HEIGHT, colors);
			const GLuint depth = CreateColorTexture(IMAGE_WIDTH, IMAGE_HEIGHT, distances);
			const auto setCommonUniforms = [&](GLShaderProgram& program)
			{
				program.SetUniform(
				    "uRes", Vector(float(IMAGE_WIDTH), float(IMAGE_HEIGHT), 1.0f / IMAGE_WIDTH, 1.0f / IMAGE_HEIGHT));
				program.SetUniform("uTime", 3.7f);
				program.SetUniform("uDOFpoint", FOCUS_POINT);
				program.SetUniform("uDOFrange", FOCUS_RANGE);
				program.SetUniform("uDOFsize", size);
				program.BindSampler("uImage", 0, int(image));
				program.BindSampler("uDepth", 1, int(depth));
			};

			// The renderer's two steps: the quarter-resolution gather, then the full-resolution pass over it.
			GLShaderProgram gather("Shaders/hdr.vert.glsl", "Shaders/dofGather.frag.glsl");
			const RgbaImage gathered = Draw(gather, GATHER_WIDTH, GATHER_HEIGHT, [&] { setCommonUniforms(gather); });
			const GLuint gatheredTexture = CreateColorTexture(GATHER_WIDTH, GATHER_HEIGHT, gathered);
			// The renderer filters its gather image: pixels between texels blend them.
			glBindTexture(GL_TEXTURE_2D, gatheredTexture);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
			glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
			glBindTexture(GL_TEXTURE_2D, 0);
			GLShaderProgram program("Shaders/hdr.vert.glsl", "Shaders/dof.frag.glsl");
			return Draw(program, IMAGE_WIDTH, IMAGE_HEIGHT,
			            [&]
			            {
				            setCommonUniforms(program);
				            program.BindSampler("uGathered", 2, int(gatheredTexture));
				            program.SetUniform("uGatheredRect",
				                               Vector(0.0f, 0.0f, float(GATHER_WIDTH - 1), float(GATHER_HEIGHT - 1)));
			            });
		}

		static constexpr int GATHER_WIDTH = IMAGE_WIDTH / 4;
		static constexpr int GATHER_HEIGHT = IMAGE_HEIGHT / 4;

		static float Value(const RgbaImage& image, int x)
		{
			return Channel(image, IMAGE_WIDTH, x, IMAGE_HEIGHT / 2, 0);
		}
	};

	// On a 32-pixel-high image a size of 0.25 blurs over a radius of 4 pixels, gathered at full resolution; 1.0
	// over 16 pixels, taken from the quarter-resolution gather.
	constexpr float FULL_RESOLUTION_SIZE = 0.25f;
	constexpr float UPSAMPLED_SIZE = 1.0f;

	class DepthOfFieldLayoutTest : public DepthOfFieldTest,
	                               public testing::WithParamInterface<std::tuple<DepthOfFieldCase, float>>
	{
	};

	TEST_P(DepthOfFieldLayoutTest, BlursOnlyPixelsOutsideTheFocusBandAndKeepsFlatAreasFlat)
	{
		const auto& [layout, size] = GetParam();
		const RgbaImage result = Blur(layout.LeftDistance, layout.RightDistance, size);

		if (layout.IsLeftOfEdgeBlurred)
		{
			EXPECT_GT(Value(result, EDGE_X - 1), 0.05f);
			EXPECT_LT(Value(result, EDGE_X - 1), 0.95f);
		}
		else
		{
			EXPECT_EQ(Value(result, EDGE_X - 1), 0.0f);
		}
		if (layout.IsRightOfEdgeBlurred)
		{
			EXPECT_GT(Value(result, EDGE_X), 0.05f);
			EXPECT_LT(Value(result, EDGE_X), 0.95f);
		}
		else
		{
			EXPECT_EQ(Value(result, EDGE_X), 1.0f);
		}

		EXPECT_NEAR(Value(result, 5), 0.0f, 1e-6f);
		EXPECT_NEAR(Value(result, IMAGE_WIDTH - 6), 1.0f, 1e-6f);
	}

	INSTANTIATE_TEST_SUITE_P(DepthLayouts, DepthOfFieldLayoutTest,
	                         testing::Combine(testing::ValuesIn(DEPTH_OF_FIELD_CASES),
	                                          testing::Values(FULL_RESOLUTION_SIZE, UPSAMPLED_SIZE)),
	                         [](const testing::TestParamInfo<std::tuple<DepthOfFieldCase, float>>& info)
	                         {
		                         return std::string(std::get<0>(info.param).Name) +
		                                (std::get<1>(info.param) == FULL_RESOLUTION_SIZE ? "_FullResolution"
		                                                                                 : "_Upsampled");
	                         });

	// The full blur's diameter is the size times the image height: 8 pixels for 0.25, 16 for 0.5 on 32 rows.
	TEST_F(DepthOfFieldTest, FullBlurRadiusIsHalfTheSizeTimesTheImageHeight)
	{
		const int sixPixelsRightOfEdge = EDGE_X + 5; // 5.5 pixels from the edge, centre to edge
		EXPECT_EQ(Value(Blur(100.0f, 100.0f, 0.25f), sixPixelsRightOfEdge), 1.0f);
		EXPECT_LT(Value(Blur(100.0f, 100.0f, 0.5f), sixPixelsRightOfEdge), 0.99f);
	}

	// Just past the band edge the disc is small, so the pixel next to the edge takes in less of the other side.
	TEST_F(DepthOfFieldTest, BlurGrowsWithTheDistanceFromTheFocusBand)
	{
		const float justOutsideBand = FOCUS_POINT + FOCUS_RANGE * 1.3f;
		const float justOutside = Value(Blur(justOutsideBand, justOutsideBand, 0.5f), EDGE_X);
		const float farOutside = Value(Blur(100.0f, 100.0f, 0.5f), EDGE_X);
		EXPECT_LT(justOutside, 0.95f);
		EXPECT_LT(farOutside, justOutside - 0.05f);
	}
} // namespace
