#include "glshaderprogram.hpp"

#include "glrenderingdevice.hpp"
#include "support/hiddenwindowdevicetest.hpp"
#include "support/tempengineassets.hpp"

#include "io/fileoutputstream.hpp"
#include "io/outputstream.hpp"
#include "math/color.hpp"
#include "math/matrix.hpp"
#include "math/vector.hpp"
#include "rendering/irenderingdevice.hpp"
#include "utils/console.hpp"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace Vorn;

namespace
{
	const char* const QUAD_VERTEX_PATH = "Shaders/quad.vert.glsl";
	const char* const FRAGMENT_PATH = "Shaders/test.frag.glsl";

	// A full-screen triangle from the vertex index alone, so no vertex buffers are needed.
	const char* const QUAD_VERTEX_SOURCE = R"(#version 430 core
out vec2 vUV;
void main()
{
	vec2 position = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
	vUV = position * 0.5 + 0.5;
	gl_Position = vec4(position, 0.0, 1.0);
}
)";

	// Reads every uniform, so none of them is dropped by the driver, except uNeverRead.
	const char* const ALL_UNIFORMS_FRAGMENT_SOURCE = R"(#version 430 core
struct MaterialData
{
	vec4 Albedo;
	float Roughness;
};
struct LightData
{
	vec4 Color;
	float Intensity;
};

uniform   vec4	uColor ;
uniform float
	uTime	;
uniform int uMode;
uniform uint uCount;
uniform vec2 uScale;
uniform mat4 uClipFromWorld;
uniform MaterialData uMaterial;
uniform LightData uDirectionalLight[8];
uniform sampler2D uImage;
uniform samplerCube uSky;
uniform vec4 uNeverRead;
// uniform float uCommentedOut;

in vec2 vUV;
out vec4 color;
out  vec4   normal ;

void main()
{
	vec4 sum = uColor * uTime + vec4(float(uMode), float(uCount), uScale) + uClipFromWorld * vec4(vUV, 0.0, 1.0);
	sum += uMaterial.Albedo * uMaterial.Roughness + uDirectionalLight[2].Color * uDirectionalLight[2].Intensity;
	sum += texture(uImage, vUV) + texture(uSky, vec3(vUV, 1.0));
	color = sum;
	normal = -sum;
}
)";

	// Console sink for the log lines a test looks for.
	class CaptureStream : public OutputStream
	{
	public:
		explicit CaptureStream(std::string* text) : Text(text) {}
		void Append(const char* text, std::size_t length) override { Text->append(text, length); }

	private:
		std::string* Text;
	};

	// Death tests only see standard error; the log has to go there for them to see it.
	class StdErrStream : public OutputStream
	{
	public:
		void Append(const char* text, std::size_t length) override { std::fwrite(text, 1, length, stderr); }
		void Flush() override { std::fflush(stderr); }
	};

	void RouteLogToStdErr() { gConsole.RegisterStream(std::make_unique<StdErrStream>()); }

	class GLShaderProgramTest : public HiddenWindowDeviceTest<16, 16>
	{
	protected:
		void SetUp() override
		{
			HiddenWindowDeviceTest::SetUp();
			Assets = std::make_unique<TempEngineAssets>();
			gConsole.RegisterStream(std::make_unique<CaptureStream>(&Log));
		}

		void TearDown() override
		{
			gConsole.RegisterStream(std::make_unique<StdOutStream>());
			Assets.reset();
			HiddenWindowDeviceTest::TearDown();
		}

		std::unique_ptr<GLShaderProgram> BuildProgram(const char* fragmentSource,
		                                              const char* vertexSource = QUAD_VERTEX_SOURCE)
		{
			Assets->WriteEngineAsset(QUAD_VERTEX_PATH, vertexSource);
			Assets->WriteEngineAsset(FRAGMENT_PATH, fragmentSource);
			return std::make_unique<GLShaderProgram>(QUAD_VERTEX_PATH, FRAGMENT_PATH);
		}

		bool Logged(const std::string& line) const { return Log.find(line + "\n") != std::string::npos; }

		static std::optional<GLShaderProgram::UniformInfo> FindUniform(const GLShaderProgram& program, const char* name)
		{
			const auto found = program.GetUniformsInfo().find(name);
			if (found == program.GetUniformsInfo().end())
				return std::nullopt;
			return found->second;
		}

		template <std::size_t N>
		static std::array<float, N> ReadFloats(const GLShaderProgram& program, const char* name)
		{
			std::array<float, N> values{};
			glGetUniformfv(program.GetProgramHandle(), glGetUniformLocation(program.GetProgramHandle(), name),
			               values.data());
			return values;
		}

		static GLint ReadInt(const GLShaderProgram& program, const char* name)
		{
			GLint value = -1;
			glGetUniformiv(program.GetProgramHandle(), glGetUniformLocation(program.GetProgramHandle(), name), &value);
			return value;
		}

		static GLint GetInteger(GLenum parameter)
		{
			GLint value = 0;
			glGetIntegerv(parameter, &value);
			return value;
		}

		std::unique_ptr<TempEngineAssets> Assets;
		std::string Log;
	};

	TEST_F(GLShaderProgramTest, ConstructionLinksTheProgramAndLogsThePaths)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);

		ASSERT_NE(program->GetProgramHandle(), 0u);
		GLint isLinked = GL_FALSE;
		glGetProgramiv(program->GetProgramHandle(), GL_LINK_STATUS, &isLinked);
		EXPECT_EQ(isLinked, GL_TRUE);
		EXPECT_TRUE(Logged("[DEBUG] Creating shader program Shaders/quad.vert.glsl Shaders/test.frag.glsl"));

		program->BindProgram();
		EXPECT_EQ(GetInteger(GL_CURRENT_PROGRAM), static_cast<GLint>(program->GetProgramHandle()));
	}

	TEST_F(GLShaderProgramTest, ShadersAreMarkedForDeletionOnceAttached)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);

		GLsizei count = 0;
		std::array<GLuint, 4> shaders{};
		glGetAttachedShaders(program->GetProgramHandle(), static_cast<GLsizei>(shaders.size()), &count, shaders.data());
		ASSERT_EQ(count, 2);
		for (GLsizei i = 0; i < count; ++i)
		{
			GLint isDeleted = GL_FALSE;
			glGetShaderiv(shaders[i], GL_DELETE_STATUS, &isDeleted);
			EXPECT_EQ(isDeleted, GL_TRUE);
		}
	}

	TEST_F(GLShaderProgramTest, ScanRegistersUniformsDeclaredWithAnyBlanks)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		const GLuint handle = program->GetProgramHandle();

		struct Expected
		{
			const char* Name;
			const char* TypeName;
		};
		const Expected scanned[] = {
		    {"uColor", "vec4"}, {"uTime", "float"},         {"uMode", "int"},        {"uCount", "uint"},
		    {"uScale", "vec2"}, {"uClipFromWorld", "mat4"}, {"uImage", "sampler2D"}, {"uSky", "samplerCube"},
		};
		for (const Expected& uniform : scanned)
		{
			SCOPED_TRACE(uniform.Name);
			const auto info = FindUniform(*program, uniform.Name);
			ASSERT_TRUE(info.has_value());
			EXPECT_EQ(info->TypeName, uniform.TypeName);
			EXPECT_EQ(info->Location, glGetUniformLocation(handle, uniform.Name));
			EXPECT_TRUE(
			    Logged(std::string("[DEBUG] Uniform ") + uniform.Name + " of type " + uniform.TypeName + " found."));
		}
		EXPECT_EQ(program->GetUniformsInfo().size(), std::size(scanned));
	}

	TEST_F(GLShaderProgramTest, UniformsWithoutLocationAreLoggedAndSkipped)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);

		// A struct has locations only for its members; an unread uniform is dropped; a commented-out one is
		// still seen by the scan.
		for (const char* name : {"uMaterial", "uNeverRead", "uCommentedOut"})
		{
			SCOPED_TRACE(name);
			EXPECT_FALSE(FindUniform(*program, name).has_value());
			EXPECT_TRUE(
			    Logged(std::string("[ERROR] Invalid uniform location for ") + name + ". Probably optimized out."));
		}
		EXPECT_TRUE(Logged("[DEBUG] Uniform uMaterial of type MaterialData found."));
		EXPECT_TRUE(Logged("[DEBUG] Uniform uCommentedOut of type float found."));
		// An array declaration is not matched at all.
		EXPECT_EQ(Log.find("uDirectionalLight"), std::string::npos);
	}

	TEST_F(GLShaderProgramTest, HandRegisteredMembersAndElementsReceiveValues)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		program->RegisterUniform("vec4", "uMaterial.Albedo");
		program->RegisterUniform("float", "uMaterial.Roughness");
		program->RegisterUniform("vec4", "uDirectionalLight[2].Color");
		program->RegisterUniform("float", "uDirectionalLight[2].Intensity");

		program->BindProgram();
		program->SetUniform("uMaterial.Albedo", Color(0.25f, 0.5f, 0.75f, 1.0f));
		program->SetUniform("uMaterial.Roughness", 0.125f);
		program->SetUniform("uDirectionalLight[2].Color", Vector(4.0f, 3.0f, 2.0f, 1.0f));
		program->SetUniform("uDirectionalLight[2].Intensity", 6.5f);

		EXPECT_EQ(ReadFloats<4>(*program, "uMaterial.Albedo"), (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
		EXPECT_EQ(ReadFloats<1>(*program, "uMaterial.Roughness")[0], 0.125f);
		EXPECT_EQ(ReadFloats<4>(*program, "uDirectionalLight[2].Color"),
		          (std::array<float, 4>{4.0f, 3.0f, 2.0f, 1.0f}));
		EXPECT_EQ(ReadFloats<1>(*program, "uDirectionalLight[2].Intensity")[0], 6.5f);
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	TEST_F(GLShaderProgramTest, ScannedTypeIsNotReplacedByLaterRegistration)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		program->RegisterUniform("sampler", "uImage");
		ASSERT_EQ(FindUniform(*program, "uImage")->TypeName, "sampler2D");

		GLuint texture = 0;
		glGenTextures(1, &texture);
		program->BindProgram();
		program->BindSampler("uImage", 5, static_cast<int>(texture));

		EXPECT_EQ(ReadInt(*program, "uImage"), 5);
		glDeleteTextures(1, &texture);
	}

	TEST_F(GLShaderProgramTest, SettersReachTheProgram)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		const GLuint handle = program->GetProgramHandle();
		program->BindProgram();

		program->SetUniform("uMode", -7);
		program->SetUniform("uCount", 4000000000u);
		program->SetUniform("uTime", 0.25f);
		program->SetUniform("uScale", 2.0f, -3.0f);
		program->SetUniform("uColor", Vector(1.0f, 2.0f, 3.0f, 4.0f));

		EXPECT_EQ(ReadInt(*program, "uMode"), -7);
		GLuint count = 0;
		glGetUniformuiv(handle, glGetUniformLocation(handle, "uCount"), &count);
		EXPECT_EQ(count, 4000000000u);
		EXPECT_EQ(ReadFloats<1>(*program, "uTime")[0], 0.25f);
		EXPECT_EQ(ReadFloats<2>(*program, "uScale"), (std::array<float, 2>{2.0f, -3.0f}));
		EXPECT_EQ(ReadFloats<4>(*program, "uColor"), (std::array<float, 4>{1.0f, 2.0f, 3.0f, 4.0f}));

		program->SetUniform("uColor", Color(0.5f, 0.25f, 0.125f, 0.75f));
		EXPECT_EQ(ReadFloats<4>(*program, "uColor"), (std::array<float, 4>{0.5f, 0.25f, 0.125f, 0.75f}));
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
	}

	TEST_F(GLShaderProgramTest, MatrixArrivesColumnMajor)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		float rowMajor[16];
		for (int i = 0; i < 16; ++i)
			rowMajor[i] = static_cast<float>(i + 1);
		const Matrix matrix(rowMajor);

		program->BindProgram();
		program->SetUniform("uClipFromWorld", matrix);

		const std::array<float, 16> columnMajor = ReadFloats<16>(*program, "uClipFromWorld");
		for (int row = 0; row < 4; ++row)
		{
			for (int column = 0; column < 4; ++column)
				EXPECT_EQ(columnMajor[column * 4 + row], matrix.m[row][column]) << row << ", " << column;
		}
	}

	TEST_F(GLShaderProgramTest, UnregisteredNamesAreIgnored)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		program->BindProgram();
		program->SetUniform("uColor", Vector(1.0f, 1.0f, 1.0f, 1.0f));

		// uNeverRead was dropped by the driver, so even a setter of the wrong type is no error.
		for (const char* name : {"uMissing", "uNeverRead", "uMaterial"})
		{
			program->SetUniform(name, 3);
			program->SetUniform(name, 3u);
			program->SetUniform(name, 3.0f);
			program->SetUniform(name, 3.0f, 3.0f);
			program->SetUniform(name, Vector(3.0f, 3.0f, 3.0f, 3.0f));
			program->SetUniform(name, Color(3.0f, 3.0f, 3.0f, 3.0f));
			program->SetUniform(name, Matrix());
		}

		EXPECT_EQ(ReadFloats<4>(*program, "uColor"), (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
		EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
		EXPECT_FALSE(FindUniform(*program, "uMissing").has_value());
	}

	TEST_F(GLShaderProgramTest, SamplerBindingLeavesItsUnitActive)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		GLuint textures[2] = {};
		glGenTextures(2, textures);
		program->BindProgram();

		program->BindSampler("uImage", 2, static_cast<int>(textures[0]));
		EXPECT_EQ(GetInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE2);
		EXPECT_EQ(GetInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(textures[0]));
		EXPECT_EQ(ReadInt(*program, "uImage"), 2);

		program->BindSamplerCube("uSky", 4, static_cast<int>(textures[1]));
		EXPECT_EQ(GetInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE4);
		EXPECT_EQ(GetInteger(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<GLint>(textures[1]));
		EXPECT_EQ(ReadInt(*program, "uSky"), 4);

		glActiveTexture(GL_TEXTURE0);
		glDeleteTextures(2, textures);
	}

	TEST_F(GLShaderProgramTest, DrawingUsesTheSetColorAndBoundTexture)
	{
		const auto program = BuildProgram(R"(#version 430 core
uniform vec4 uColor;
uniform sampler2D uImage;
out vec4 color;
void main()
{
	color = uColor * texture(uImage, vec2(0.5));
}
)");
		constexpr GLsizei SIZE = 4;
		GLuint textures[2] = {};
		glGenTextures(2, textures);
		const std::array<u8, 4> texel = {255, 128, 0, 255};
		glBindTexture(GL_TEXTURE_2D, textures[0]);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
		glBindTexture(GL_TEXTURE_2D, textures[1]);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, SIZE, SIZE, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
		GLuint framebuffer = 0;
		glGenFramebuffers(1, &framebuffer);
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures[1], 0);
		ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
		GLuint vertexArray = 0;
		glGenVertexArrays(1, &vertexArray);
		glBindVertexArray(vertexArray);
		glViewport(0, 0, SIZE, SIZE);

		program->BindProgram();
		program->SetUniform("uColor", Color(1.0f, 0.5f, 1.0f, 1.0f));
		program->BindSampler("uImage", 3, static_cast<int>(textures[0]));
		glDrawArrays(GL_TRIANGLES, 0, 3);

		std::array<u8, 4> pixel = {};
		glReadPixels(SIZE / 2, SIZE / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
		EXPECT_EQ(pixel[0], 255);
		EXPECT_NEAR(pixel[1], 64, 1);
		EXPECT_EQ(pixel[2], 0);
		EXPECT_EQ(pixel[3], 255);

		glBindVertexArray(0);
		glDeleteVertexArrays(1, &vertexArray);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glDeleteFramebuffers(1, &framebuffer);
		glDeleteTextures(2, textures);
	}

	TEST_F(GLShaderProgramTest, OutputsGetTheirDeclarationIndex)
	{
		struct OutputCase
		{
			const char* Name;
			const char* Declarations;
			std::vector<std::pair<std::string, GLShaderProgram::OutputInfo>> Expected;
		};
		const OutputCase cases[] = {
		    {"in declaration order",
		     "out vec4 color;\nout  vec4   normal ;\n",
		     {{"color", {"vec4", 0}}, {"normal", {"vec4", 1}}}},
		    {"names sort before indices",
		     "out vec4 normal;\nout vec4 color;\n",
		     {{"color", {"vec4", 1}}, {"normal", {"vec4", 0}}}},
		    // A commented-out repeat is still counted, but the first declaration keeps the name.
		    {"repeat keeps the first",
		     "out vec4 color;\n// out vec3 color;\nout vec4 normal;\n",
		     {{"color", {"vec4", 0}}, {"normal", {"vec4", 2}}}},
		};
		for (const OutputCase& outputCase : cases)
		{
			SCOPED_TRACE(outputCase.Name);
			const std::string source = std::string("#version 430 core\n") + outputCase.Declarations +
			                           "void main()\n{\n\tcolor = vec4(1.0);\n\tnormal = vec4(0.0);\n}\n";
			const auto program = BuildProgram(source.c_str());

			const std::map<String, GLShaderProgram::OutputInfo>& outputs = program->GetOutputsInfo();
			ASSERT_EQ(outputs.size(), outputCase.Expected.size());
			auto output = outputs.begin();
			for (const auto& [name, info] : outputCase.Expected)
			{
				EXPECT_EQ(output->first, name.c_str());
				EXPECT_EQ(output->second.TypeName, info.TypeName);
				EXPECT_EQ(output->second.Index, info.Index);
				++output;
			}
		}
		EXPECT_TRUE(Logged("[DEBUG] Out normal of type vec4 found."));
		// The vertex shader's out is not a fragment output.
		EXPECT_EQ(Log.find("Out vUV"), std::string::npos);
	}

	TEST_F(GLShaderProgramTest, ComputeProgramTakesItsUniformsFromTheComputeSource)
	{
		Assets->WriteEngineAsset("Shaders/count.comp.glsl", R"(#version 430 core
layout(local_size_x = 1) in;
layout(std430, binding = 0) buffer Result
{
	uint Values[];
};
uniform uint uCount;
void main()
{
	Values[0] = uCount;
}
)");
		GLShaderProgram program("Shaders/count.comp.glsl");
		EXPECT_TRUE(Logged("[DEBUG] Creating shader program Shaders/count.comp.glsl"));
		ASSERT_EQ(FindUniform(program, "uCount")->TypeName, "uint");

		GLuint buffer = 0;
		glGenBuffers(1, &buffer);
		const GLuint initial = 0;
		glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffer);
		glBufferData(GL_SHADER_STORAGE_BUFFER, sizeof(initial), &initial, GL_DYNAMIC_READ);
		glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, buffer);

		program.BindProgram();
		program.SetUniform("uCount", 1234u);
		glDispatchCompute(1, 1, 1);
		glMemoryBarrier(GL_BUFFER_UPDATE_BARRIER_BIT);

		GLuint result = 0;
		glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, sizeof(result), &result);
		EXPECT_EQ(result, 1234u);
		glDeleteBuffers(1, &buffer);
	}

	TEST_F(GLShaderProgramTest, GeometryStageIsBuiltAndScanned)
	{
		Assets->WriteEngineAsset(QUAD_VERTEX_PATH, QUAD_VERTEX_SOURCE);
		Assets->WriteEngineAsset("Shaders/offset.geom.glsl", R"(#version 430 core
layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;
uniform float uOffset;
void main()
{
	for (int i = 0; i < 3; ++i)
	{
		gl_Position = gl_in[i].gl_Position + vec4(uOffset);
		EmitVertex();
	}
	EndPrimitive();
}
)");
		Assets->WriteEngineAsset(FRAGMENT_PATH, R"(#version 430 core
uniform vec4 uColor;
out vec4 color;
void main()
{
	color = uColor;
}
)");
		GLShaderProgram program(QUAD_VERTEX_PATH, "Shaders/offset.geom.glsl", FRAGMENT_PATH);

		EXPECT_TRUE(Logged(
		    "[DEBUG] Creating shader program Shaders/quad.vert.glsl Shaders/offset.geom.glsl Shaders/test.frag.glsl"));
		GLint attachedCount = 0;
		glGetProgramiv(program.GetProgramHandle(), GL_ATTACHED_SHADERS, &attachedCount);
		EXPECT_EQ(attachedCount, 3);
		EXPECT_EQ(FindUniform(program, "uOffset")->TypeName, "float");
		EXPECT_EQ(FindUniform(program, "uColor")->TypeName, "vec4");
		EXPECT_EQ(program.GetOutputsInfo().at("color").Index, 0u);
	}

	// Shader files are data a user may edit or lose: every way a program cannot be built is logged with the file and
	// ends the device's set-up through its exception, never by stopping the process.
	TEST_F(GLShaderProgramTest, ProgramThatCannotBeBuiltNamesTheFileAndThrows)
	{
		const std::string fragmentFile =
		    EvaluateFullResourcePath(eResourceSource::ENGINE, FRAGMENT_PATH).GetStdString();
		const struct
		{
			const char* Name;
			std::string FragmentSource; // empty: the file is not written
			std::vector<std::string> Lines;
		} cases[] = {
		    {"missing file",
		     "",
		     {"[ERROR] Engine shader " + fragmentFile +
		      " cannot be read (File load failed from all sources, check config); the engine assets folder \"../Engine/"
		      "Res/\" (EngineAssetsPath in AssetsPathConfig.json) is missing this file"}},
		    {"syntax error",
		     "#version 430 core\nout vec4 color;\nvoid main()\n{\n\tcolor = vec4(1.0)\n}\n",
		     {"[ERROR] Shader compilation: ",
		      "[ERROR] Engine shader " + fragmentFile + " does not compile; the driver's log is above"}},
		    {"empty file", " ", {"[ERROR] Shader compilation: ", "[ERROR] Engine shader " + fragmentFile}},
		    {"zero byte",
		     std::string("#version 430 core\nout vec4 color;\nvoid ma") + '\0' + "in() {}\n",
		     {"[ERROR] Shader compilation: ", "[ERROR] Engine shader " + fragmentFile}},
		    // Declared but never defined: each stage compiles, the program cannot link.
		    {"link error",
		     "#version 430 core\nout vec4 color;\nvec4 Shade();\nvoid main()\n{\n\tcolor = Shade();\n}\n",
		     {"[ERROR] Program linking: ", std::string("[ERROR] Engine shaders ") + QUAD_VERTEX_PATH + " " +
		                                       FRAGMENT_PATH + " (under \"../Engine/Res/\") do not link"}},
		};
		for (const auto& c : cases)
		{
			SCOPED_TRACE(c.Name);
			Log.clear();
			std::filesystem::remove(fragmentFile);
			Assets->WriteEngineAsset(QUAD_VERTEX_PATH, QUAD_VERTEX_SOURCE);
			if (!c.FragmentSource.empty())
				Assets->WriteEngineAsset(FRAGMENT_PATH, c.FragmentSource);

			EXPECT_THROW(GLShaderProgram(QUAD_VERTEX_PATH, FRAGMENT_PATH), RenderingDeviceSetupFailedException);
			std::size_t at = 0;
			for (const std::string& line : c.Lines)
			{
				at = Log.find(line, at);
				EXPECT_NE(at, std::string::npos) << line << "\nin:\n" << Log;
			}
		}
	}

	TEST_F(GLShaderProgramTest, IncludedFilesAreCompiledAndScannedInPlace)
	{
		Assets->WriteEngineAsset("Shaders/shared/tint.glsl",
		                         "uniform vec4 uTint;\n#include \"Shaders/scale.glsl\"\n"
		                         "vec4 Tinted(vec4 color) { return color * uTint * uScale; }\n");
		Assets->WriteEngineAsset("Shaders/scale.glsl",
		                         "  #  include   \"Shaders/factor.glsl\"  \nuniform float uScale;\n");
		Assets->WriteEngineAsset("Shaders/factor.glsl", "// nothing but a comment\n");
		const auto program = BuildProgram(R"(#version 430 core
#include "Shaders/shared/tint.glsl"
out vec4 color;
void main() { color = Tinted(vec4(1.0)); }
)");
		ASSERT_TRUE(FindUniform(*program, "uTint").has_value());
		ASSERT_TRUE(FindUniform(*program, "uScale").has_value());
		EXPECT_EQ(FindUniform(*program, "uScale")->TypeName, "float");
		EXPECT_EQ(program->GetOutputsInfo().at("color").Index, 0u);

		std::vector<String> files;
		std::string source;
		ASSERT_TRUE(GLShaderProgram::ExpandShaderSource(FRAGMENT_PATH, files, source));
		EXPECT_EQ(files, (std::vector<String>{FRAGMENT_PATH, "Shaders/shared/tint.glsl", "Shaders/scale.glsl",
		                                      "Shaders/factor.glsl"}));
		EXPECT_EQ(source, "#version 430 core\n"
		                  "#line 1 1\n"
		                  "uniform vec4 uTint;\n"
		                  "#line 1 2\n"
		                  "#line 1 3\n"
		                  "// nothing but a comment\n"
		                  "#line 2 2\n"
		                  "uniform float uScale;\n"
		                  "#line 3 1\n"
		                  "vec4 Tinted(vec4 color) { return color * uTint * uScale; }\n"
		                  "#line 3 0\n"
		                  "out vec4 color;\n"
		                  "void main() { color = Tinted(vec4(1.0)); }\n");
	}

	TEST_F(GLShaderProgramTest, AnIncludeThatCannotBeExpandedFailsTheSetUpNamingBothFiles)
	{
		const std::string missingFile =
		    EvaluateFullResourcePath(eResourceSource::ENGINE, "Shaders/missing.glsl").GetStdString();
		const struct
		{
			const char* Name;
			std::string Included;
			std::vector<std::string> Lines;
		} cases[] = {
		    {"a missing file",
		     "#include \"Shaders/missing.glsl\"\n",
		     {"[ERROR] Engine shader " + missingFile + " cannot be read",
		      "[ERROR] Engine shader Shaders/missing.glsl is included by Shaders/lib.glsl"}},
		    {"a file that includes itself",
		     "#include \"Shaders/lib.glsl\"\n",
		     {"[ERROR] Engine shader Shaders/lib.glsl includes itself through Shaders/lib.glsl"}},
		    {"a compile error in the included file",
		     "float Broken() { return 1.0 }\n",
		     {"[ERROR] Shader compilation: ", " does not compile; the driver's log is above",
		      "[ERROR] Source file 1 of that shader is Shaders/lib.glsl"}},
		};
		for (const auto& c : cases)
		{
			SCOPED_TRACE(c.Name);
			Log.clear();
			Assets->WriteEngineAsset("Shaders/lib.glsl", c.Included);
			Assets->WriteEngineAsset(QUAD_VERTEX_PATH, QUAD_VERTEX_SOURCE);
			Assets->WriteEngineAsset(FRAGMENT_PATH,
			                         "#version 430 core\n#include \"Shaders/lib.glsl\"\nout vec4 color;\n"
			                         "void main() { color = vec4(1.0); }\n");
			EXPECT_THROW(GLShaderProgram(QUAD_VERTEX_PATH, FRAGMENT_PATH), RenderingDeviceSetupFailedException);
			std::size_t at = 0;
			for (const std::string& line : c.Lines)
			{
				at = Log.find(line, at);
				EXPECT_NE(at, std::string::npos) << line << "\nin:\n" << Log;
			}
		}
		// The driver names the included file's line by its number: 1:1 here.
		EXPECT_NE(Log.find("1:1"), std::string::npos) << Log;
	}

	TEST_F(GLShaderProgramTest, MissingEngineAssetsFolderIsNamed)
	{
		std::filesystem::remove_all("../Engine");
		EXPECT_THROW(GLShaderProgram("Shaders/lightCulling.comp.glsl"), RenderingDeviceSetupFailedException);
		EXPECT_NE(Log.find("[ERROR] Engine shader ../Engine/Res/Shaders/lightCulling.comp.glsl cannot be read (File "
		                   "load failed from all sources, check config); the engine assets folder \"../Engine/Res/\" "
		                   "(EngineAssetsPath in AssetsPathConfig.json) does not exist\n"),
		          std::string::npos)
		    << Log;
	}

	TEST_F(GLShaderProgramTest, ValidationPassesWithDistinctSamplerUnits)
	{
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		program->BindProgram();
		program->SetUniform("uImage", 0);
		program->SetUniform("uSky", 1);

		program->Validate();

		GLint isValid = GL_FALSE;
		glGetProgramiv(program->GetProgramHandle(), GL_VALIDATE_STATUS, &isValid);
		EXPECT_EQ(isValid, GL_TRUE);
	}

	using GLShaderProgramDeathTest = GLShaderProgramTest;

	// A uniform retyped in an edited shader: the value is dropped with one ERROR for that uniform, and the program
	// keeps working.
	TEST_F(GLShaderProgramTest, SetterOfAnotherTypeIsIgnoredWithOneErrorPerUniform)
	{
		struct MismatchCase
		{
			const char* Name;
			void (*Set)(GLShaderProgram& program);
			std::vector<std::string> Lines;
		};
		const std::string programFiles = std::string(QUAD_VERTEX_PATH) + " " + FRAGMENT_PATH;
		auto detail = [&](const char* name, const char* declared, const char* set)
		{
			return std::string("[ERROR] Invalid uniform type! ") + name + " is declared " + declared + " in " +
			       programFiles + " but set as " + set + "; the value is ignored";
		};
		const MismatchCase cases[] = {
		    {"float on vec4",
		     [](GLShaderProgram& p) { p.SetUniform("uColor", 1.0f); },
		     {detail("uColor", "vec4", "float")}},
		    {"int on float",
		     [](GLShaderProgram& p) { p.SetUniform("uTime", 1); },
		     {"[ERROR] Invalid uniform type int for uTime", detail("uTime", "float", "int")}},
		    {"int on uint",
		     [](GLShaderProgram& p) { p.SetUniform("uCount", 1); },
		     {"[ERROR] Invalid uniform type int for uCount", detail("uCount", "uint", "int")}},
		    {"uint on sampler",
		     [](GLShaderProgram& p) { p.SetUniform("uImage", 1u); },
		     {"[ERROR] Invalid uniform type uint for uImage", detail("uImage", "sampler2D", "uint")}},
		    {"two floats on vec4",
		     [](GLShaderProgram& p) { p.SetUniform("uColor", 1.0f, 2.0f); },
		     {detail("uColor", "vec4", "vec2")}},
		    {"vector on mat4",
		     [](GLShaderProgram& p) { p.SetUniform("uClipFromWorld", Vector()); },
		     {detail("uClipFromWorld", "mat4", "vec4 (Vector)")}},
		    {"color on float",
		     [](GLShaderProgram& p) { p.SetUniform("uTime", Color()); },
		     {detail("uTime", "float", "vec4 (Color)")}},
		    {"matrix on vec4",
		     [](GLShaderProgram& p) { p.SetUniform("uColor", Matrix()); },
		     {detail("uColor", "vec4", "mat4")}},
		    {"float on sampler",
		     [](GLShaderProgram& p) { p.SetUniform("uImage", 0.0f); },
		     {detail("uImage", "sampler2D", "float")}},
		};
		for (const MismatchCase& mismatch : cases)
		{
			SCOPED_TRACE(mismatch.Name);
			// A fresh program each time: the error is said once per uniform and program.
			const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
			program->BindProgram();
			program->SetUniform("uTime", 0.5f);
			Log.clear();

			mismatch.Set(*program);
			mismatch.Set(*program);

			for (const std::string& line : mismatch.Lines)
			{
				EXPECT_TRUE(Logged(line)) << Log;
				EXPECT_EQ(Log.find(line), Log.rfind(line)) << "said once: " << Log;
			}
			EXPECT_EQ(ReadFloats<1>(*program, "uTime")[0], 0.5f) << "no value reached the program";
			EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
		}
	}

	TEST_F(GLShaderProgramDeathTest, SamplerBindingChecksItsArguments)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		program->BindProgram();

		EXPECT_DEATH(program->BindSampler("uImage", -1, 1), "Invalid sampler ID!");
		EXPECT_DEATH(program->BindSampler("uImage", 0, 0), "Invalid texture resource ID!");
		EXPECT_DEATH(program->BindSamplerCube("uSky", -1, 1), "Invalid sampler ID!");
		EXPECT_DEATH(program->BindSamplerCube("uSky", 0, 0), "Invalid cubemap resource ID!");
	}

	TEST_F(GLShaderProgramDeathTest, ValidationFailureLogsTheDriverLogAndStops)
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		// Both samplers still read unit 0: a 2D and a cube texture from one unit is invalid.
		const auto program = BuildProgram(ALL_UNIFORMS_FRAGMENT_SOURCE);
		program->BindProgram();
		EXPECT_DEATH(
		    {
			    RouteLogToStdErr();
			    program->Validate();
		    },
		    "\\[ERROR\\] Program validation: .+Fatal check failed: Program validation failed!");
	}
} // namespace
