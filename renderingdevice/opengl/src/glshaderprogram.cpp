#include "glshaderprogram.hpp"

#include "configs/assetspathconfig.hpp"
#include "io/fileoutputstream.hpp"
#include "math/color.hpp"
#include "math/matrix.hpp"
#include "math/vector.hpp"
#include "rendering/irenderingdevice.hpp"
#include "resources/resourcemanager.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <epoxy/gl.h>

#include <filesystem>
#include <regex>
#include <string>
#include <system_error>
#include <vector>

namespace Vorn
{
	namespace
	{
		// The scans read text, not syntax: only "uniform <type> <name>;" and "out <type> <name>;" one per
		// statement are seen, commented-out ones included.
		const std::regex& UniformPattern()
		{
			static const std::regex pattern(R"(uniform\s+(\w+)\s+(\w+)\s*;)");
			return pattern;
		}

		const std::regex& OutputPattern()
		{
			static const std::regex pattern(R"(out\s+(\w+)\s+(\w+)\s*;)");
			return pattern;
		}

		GLenum ToGLShaderKind(eShaderUnitType type)
		{
			switch (type)
			{
			case eShaderUnitType::VERTEX:
				return GL_VERTEX_SHADER;
			case eShaderUnitType::GEOMETRY:
				return GL_GEOMETRY_SHADER;
			case eShaderUnitType::FRAGMENT:
				return GL_FRAGMENT_SHADER;
			case eShaderUnitType::COMPUTE:
				return GL_COMPUTE_SHADER;
			default:
				VORN_FAIL("Invalid type!");
			}
		}

		// The reported length already counts the terminator; one more byte guards drivers that do not.
		String ReadShaderLog(GLuint shader)
		{
			GLint length = 0;
			glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
			std::string log(static_cast<std::size_t>(length) + 1, '\0');
			glGetShaderInfoLog(shader, length + 1, nullptr, log.data());
			return String(log.c_str());
		}

		String ReadProgramLog(GLuint program)
		{
			GLint length = 0;
			glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
			std::string log(static_cast<std::size_t>(length) + 1, '\0');
			glGetProgramInfoLog(program, length + 1, nullptr, log.data());
			return String(log.c_str());
		}

		// Reads a shader file under the engine assets; logs why and gives false when it cannot.
		bool ReadShaderFile(const String& path, const String& includedBy, std::string& text)
		{
			try
			{
				text = LoadTextFileRelative(eResourceSource::ENGINE, path).GetCStr();
				return true;
			}
			catch (const FileIOException& exception)
			{
				const String& root = gAssetsPathConfig.GetAssetsPath(eResourceSource::ENGINE);
				std::error_code ignored;
				const bool isRootMissing =
				    !std::filesystem::is_directory(root.IsEmpty() ? "." : root.GetCStr(), ignored);
				gConsole.LogError("Engine shader {} cannot be read ({}); the engine assets folder \"{}\" "
				                  "(EngineAssetsPath in AssetsPathConfig.json) {}",
				                  EvaluateFullResourcePath(eResourceSource::ENGINE, path), exception.what(), root,
				                  isRootMissing ? "does not exist" : "is missing this file");
				if (!includedBy.IsEmpty())
					gConsole.LogError("Engine shader {} is included by {}", path, includedBy);
				return false;
			}
		}

		// The path of an `#include "path"` line, or nothing for any other line.
		bool ParseInclude(const std::string& line, std::string& path)
		{
			static const std::regex pattern(R"re(^\s*#\s*include\s+"([^"]+)"\s*$)re");
			std::smatch match;
			if (!std::regex_match(line, match, pattern))
				return false;
			path = match[1].str();
			return true;
		}

		// Appends `path`'s text to `out` with every include line replaced by the included file's text, framed by
		// #line directives so the driver's messages keep their files and lines. `sourceFiles` numbers the files
		// read, `including` holds the chain of files being expanded.
		bool AppendExpanded(const String& path, const String& includedBy, std::vector<String>& sourceFiles,
		                    std::vector<String>& including, std::string& out)
		{
			for (const String& open : including)
			{
				if (open == path)
				{
					gConsole.LogError("Engine shader {} includes itself through {}", path, includedBy);
					return false;
				}
			}
			std::string text;
			if (!ReadShaderFile(path, includedBy, text))
				return false;
			const std::size_t fileNumber = sourceFiles.size();
			sourceFiles.push_back(path);
			including.push_back(path);

			std::size_t lineNumber = 0;
			std::size_t start = 0;
			while (start < text.size())
			{
				std::size_t end = text.find('\n', start);
				if (end == std::string::npos)
					end = text.size();
				const std::string line = text.substr(start, end - start);
				start = end + 1;
				++lineNumber;

				std::string includePath;
				if (!ParseInclude(line, includePath))
				{
					out += line;
					out += '\n';
					continue;
				}
				out += "#line 1 " + std::to_string(sourceFiles.size()) + "\n";
				if (!AppendExpanded(String(includePath.c_str()), path, sourceFiles, including, out))
					return false;
				out += "#line " + std::to_string(lineNumber + 1) + " " + std::to_string(fileNumber) + "\n";
			}
			including.pop_back();
			return true;
		}
	} // namespace

	bool GLShaderProgram::ExpandShaderSource(const String& path, std::vector<String>& sourceFiles, std::string& out)
	{
		std::vector<String> including;
		return AppendExpanded(path, String(), sourceFiles, including, out);
	}

	GLShaderProgram::GLShaderProgram(String const& computePath)
	{
		gConsole.LogDebug("Creating shader program {}", computePath);
		Description = computePath;
		CreateProgramObject();
		LoadShader(eShaderUnitType::COMPUTE, computePath);
		CompileProgram();
		AnalyzeAllShaderCode();
	}

	GLShaderProgram::GLShaderProgram(String const& vertexPath, String const& fragmentPath)
	{
		gConsole.LogDebug("Creating shader program {} {}", vertexPath, fragmentPath);
		Description = vertexPath + " " + fragmentPath;
		CreateProgramObject();
		LoadShader(eShaderUnitType::VERTEX, vertexPath);
		LoadShader(eShaderUnitType::FRAGMENT, fragmentPath);
		CompileProgram();
		AnalyzeAllShaderCode();
	}

	GLShaderProgram::GLShaderProgram(String const& vertexPath, String const& geometryPath, String const& fragmentPath)
	{
		gConsole.LogDebug("Creating shader program {} {} {}", vertexPath, geometryPath, fragmentPath);
		Description = vertexPath + " " + geometryPath + " " + fragmentPath;
		CreateProgramObject();
		LoadShader(eShaderUnitType::VERTEX, vertexPath);
		LoadShader(eShaderUnitType::GEOMETRY, geometryPath);
		LoadShader(eShaderUnitType::FRAGMENT, fragmentPath);
		CompileProgram();
		AnalyzeAllShaderCode();
	}

	GLShaderProgram::~GLShaderProgram() = default;

	void GLShaderProgram::CreateProgramObject()
	{
		ProgramHandle = glCreateProgram();
		VORN_CHECK(ProgramHandle != 0, "Creation of shader program failed! Exiting...");
	}

	void GLShaderProgram::LoadShader(eShaderUnitType type, String const& path)
	{
		const GLuint shader = glCreateShader(ToGLShaderKind(type));
		VORN_CHECK(shader != 0, "Creation of shader failed!");

		std::vector<String> sourceFiles;
		std::string expanded;
		if (!ExpandShaderSource(path, sourceFiles, expanded))
		{
			glDeleteShader(shader);
			FailSetUp();
		}
		ShaderCode[type] = String(expanded.c_str());

		const GLchar* source = ShaderCode[type].GetCStr();
		glShaderSource(shader, 1, &source, nullptr);
		glCompileShader(shader);

		GLint isCompiled = GL_FALSE;
		glGetShaderiv(shader, GL_COMPILE_STATUS, &isCompiled);
		if (isCompiled != GL_TRUE)
		{
			gConsole.LogError("Shader compilation: {}", ReadShaderLog(shader));
			gConsole.LogError("Engine shader {} does not compile; the driver's log is above",
			                  EvaluateFullResourcePath(eResourceSource::ENGINE, path));
			// The log names lines as "file number:line"; 0 is the shader itself.
			for (std::size_t i = 1; i < sourceFiles.size(); ++i)
				gConsole.LogError("Source file {} of that shader is {}", i, sourceFiles[i]);
			glDeleteShader(shader);
			FailSetUp();
		}

		// Marked for deletion while attached, the shader goes away together with the program.
		glAttachShader(ProgramHandle, shader);
		glDeleteShader(shader);
	}

	void GLShaderProgram::CompileProgram()
	{
		glLinkProgram(ProgramHandle);

		GLint isLinked = GL_FALSE;
		glGetProgramiv(ProgramHandle, GL_LINK_STATUS, &isLinked);
		if (isLinked != GL_TRUE)
		{
			gConsole.LogError("Program linking: {}", ReadProgramLog(ProgramHandle));
			gConsole.LogError("Engine shaders {} (under \"{}\") do not link; the driver's log is above", Description,
			                  gAssetsPathConfig.GetAssetsPath(eResourceSource::ENGINE));
			FailSetUp();
		}
	}

	void GLShaderProgram::FailSetUp()
	{
		glDeleteProgram(ProgramHandle);
		ProgramHandle = 0;
		throw RenderingDeviceSetupFailedException();
	}

	void GLShaderProgram::AnalyzeAllShaderCode()
	{
		for (eShaderUnitType type :
		     {eShaderUnitType::VERTEX, eShaderUnitType::GEOMETRY, eShaderUnitType::FRAGMENT, eShaderUnitType::COMPUTE})
			AnalyzeShaderCode(type);
	}

	void GLShaderProgram::AnalyzeShaderCode(eShaderUnitType type)
	{
		const std::string& code = ShaderCode[type].GetStdString();
		if (code.empty())
			return;

		const std::sregex_iterator end;
		for (std::sregex_iterator match(code.begin(), code.end(), UniformPattern()); match != end; ++match)
		{
			VORN_CHECK(match->size() == 3, "Invalid regex result when parsing uniforms!");
			const String typeName((*match)[1].str());
			const String name((*match)[2].str());
			gConsole.LogDebug("Uniform {} of type {} found.", name, typeName);
			RegisterUniform(typeName, name);
		}

		if (type != eShaderUnitType::FRAGMENT)
			return;

		u32 outputIndex = 0;
		for (std::sregex_iterator match(code.begin(), code.end(), OutputPattern()); match != end;
		     ++match, ++outputIndex)
		{
			VORN_CHECK(match->size() == 3, "Invalid regex result when parsing outs!");
			const String typeName((*match)[1].str());
			const String name((*match)[2].str());
			gConsole.LogDebug("Out {} of type {} found.", name, typeName);
			Outputs.emplace(name, OutputInfo{typeName, outputIndex});
		}
	}

	void GLShaderProgram::BindProgram() { glUseProgram(ProgramHandle); }

	void GLShaderProgram::RegisterUniform(String const& typeName, String const& name)
	{
		if (Uniforms.find(name) != Uniforms.end())
			return;

		const GLint location = glGetUniformLocation(ProgramHandle, name.GetCStr());
		if (location == -1)
		{
			gConsole.LogError("Invalid uniform location for {}. Probably optimized out.", name);
			return;
		}
		Uniforms.emplace(name, UniformInfo{typeName, location});
	}

	const GLShaderProgram::UniformInfo* GLShaderProgram::FindCheckedUniform(
	    String const& name, std::initializer_list<const char*> acceptedTypes, const char* setType,
	    const char* mismatchLog)
	{
		const auto found = Uniforms.find(name);
		if (found == Uniforms.end())
			return nullptr;

		for (const char* acceptedType : acceptedTypes)
		{
			if (found->second.TypeName == acceptedType)
				return &found->second;
		}
		// The declared type comes from a shader file a user may have edited: the value is dropped and the frame goes
		// on. Said once per uniform, not every frame.
		if (!found->second.IsMismatchReported)
		{
			if (mismatchLog)
				gConsole.LogError(mismatchLog, name);
			gConsole.LogError("Invalid uniform type! {} is declared {} in {} but set as {}; the value is ignored", name,
			                  found->second.TypeName, Description, setType);
			found->second.IsMismatchReported = true;
		}
		return nullptr;
	}

	void GLShaderProgram::SetUniform(String const& name, int value)
	{
		if (const UniformInfo* uniform =
		        FindCheckedUniform(name, {"int", "sampler2D", "samplerCube"}, "int", "Invalid uniform type int for {}"))
			glUniform1i(uniform->Location, value);
	}

	void GLShaderProgram::SetUniform(String const& name, unsigned int value)
	{
		// glUniform1i would be refused for a uint uniform.
		if (const UniformInfo* uniform = FindCheckedUniform(name, {"uint"}, "uint", "Invalid uniform type uint for {}"))
			glUniform1ui(uniform->Location, value);
	}

	void GLShaderProgram::SetUniform(String const& name, float value)
	{
		if (const UniformInfo* uniform = FindCheckedUniform(name, {"float"}, "float"))
			glUniform1f(uniform->Location, value);
	}

	void GLShaderProgram::SetUniform(String const& name, float x, float y)
	{
		if (const UniformInfo* uniform = FindCheckedUniform(name, {"vec2"}, "vec2"))
			glUniform2f(uniform->Location, x, y);
	}

	void GLShaderProgram::SetUniform(String const& name, Vector const& value)
	{
		if (const UniformInfo* uniform = FindCheckedUniform(name, {"vec4"}, "vec4 (Vector)"))
			glUniform4f(uniform->Location, value.x, value.y, value.z, value.w);
	}

	void GLShaderProgram::SetUniform(String const& name, Color const& value)
	{
		if (const UniformInfo* uniform = FindCheckedUniform(name, {"vec4"}, "vec4 (Color)"))
			glUniform4f(uniform->Location, value.r, value.g, value.b, value.a);
	}

	void GLShaderProgram::SetUniform(String const& name, Matrix const& value)
	{
		// The core's matrices are row-major; transposed here, they reach GL column-major as it expects.
		if (const UniformInfo* uniform = FindCheckedUniform(name, {"mat4"}, "mat4"))
			glUniformMatrix4fv(uniform->Location, 1, GL_FALSE, value.GetTransposed().GetData());
	}

	void GLShaderProgram::BindSampler(String const& name, int samplerID, int textureID)
	{
		VORN_CHECK(samplerID >= 0, "Invalid sampler ID!");
		VORN_CHECK(textureID > 0, "Invalid texture resource ID!");
		glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(samplerID));
		glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(textureID));
		SetUniform(name, samplerID);
	}

	void GLShaderProgram::BindSamplerCube(String const& name, int samplerID, int cubemapID)
	{
		VORN_CHECK(samplerID >= 0, "Invalid sampler ID!");
		VORN_CHECK(cubemapID > 0, "Invalid cubemap resource ID!");
		glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(samplerID));
		glBindTexture(GL_TEXTURE_CUBE_MAP, static_cast<GLuint>(cubemapID));
		SetUniform(name, samplerID);
	}

	void GLShaderProgram::Validate()
	{
		glValidateProgram(ProgramHandle);

		GLint isValid = GL_FALSE;
		glGetProgramiv(ProgramHandle, GL_VALIDATE_STATUS, &isValid);
		if (isValid != GL_TRUE)
		{
			gConsole.LogError("Program validation: {}", ReadProgramLog(ProgramHandle));
			VORN_FAIL("Program validation failed!");
		}
	}
} // namespace Vorn
