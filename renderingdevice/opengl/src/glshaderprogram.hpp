#pragma once

#include "defines.hpp"
#include "memory/baseobject.hpp"
#include "utils/enumutils.hpp"
#include "utils/string.hpp"

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace Vorn
{
	struct Color;
	struct Matrix;
	struct Vector;

	enum class eShaderUnitType : u32
	{
		VERTEX = 0,
		GEOMETRY = 1,
		FRAGMENT = 2,
		COMPUTE = 3,
		_COUNT
	};

	// One linked program built from GLSL files under the engine assets. Every set is checked against the type the
	// shader declares; uniforms the source scan cannot see (struct members, array elements) must be registered by
	// hand. The program object itself is never deleted: it lives as long as the context.
	//
	// A line `#include "Shaders/file.glsl"` (a path under the engine assets) is replaced by that file's text before
	// compiling and scanning, so code shared by several shaders lives in one file and the scan sees its uniforms.
	// Included files may include others; a file including itself fails the set-up like a missing one.
	class GLShaderProgram : public BaseObject
	{
	public:
		struct UniformInfo
		{
			String TypeName; // as written in the source, e.g. "vec4"
			i32 Location = -1;
			bool IsMismatchReported = false; // a set of another type was logged once already
		};

		struct OutputInfo
		{
			String TypeName;
			// Position among the fragment shader's out declarations. Passes attach targets by it, so the shader's
			// output locations must follow the declaration order (explicit layout locations make sure of it).
			u32 Index = 0;
		};

		// Paths are relative to the engine assets, e.g. "Shaders/hdr.vert.glsl". A file that cannot be read, does not
		// compile or does not link is logged with its path (and the driver's log) and throws
		// RenderingDeviceSetupFailedException, so the device's set-up fails cleanly.
		explicit GLShaderProgram(String const& computePath);
		GLShaderProgram(String const& vertexPath, String const& fragmentPath);
		GLShaderProgram(String const& vertexPath, String const& geometryPath, String const& fragmentPath);
		~GLShaderProgram() override;
		GLShaderProgram(const GLShaderProgram&) = delete;
		GLShaderProgram& operator=(const GLShaderProgram&) = delete;

		void BindProgram();
		u32 GetProgramHandle() const { return ProgramHandle; }

		// The first registration of a name wins; a name the driver has no location for is logged and skipped.
		void RegisterUniform(String const& typeName, String const& name);

		// Names that are not registered are ignored, so passes may set uniforms a shader does not use. A value of
		// another type than the shader declares is ignored too, with one ERROR per uniform. The program must be
		// current.
		void SetUniform(String const& name, int value);
		void SetUniform(String const& name, unsigned int value);
		void SetUniform(String const& name, float value);
		void SetUniform(String const& name, float x, float y);
		void SetUniform(String const& name, Vector const& value);
		void SetUniform(String const& name, Color const& value);
		void SetUniform(String const& name, Matrix const& value);

		// Both leave texture unit `samplerID` active.
		void BindSampler(String const& name, int samplerID, int textureID);
		void BindSamplerCube(String const& name, int samplerID, int cubemapID);

		const std::map<String, OutputInfo>& GetOutputsInfo() const { return Outputs; }
		const std::map<String, UniformInfo>& GetUniformsInfo() const { return Uniforms; }

		// Checks the program against the current GL state; a failure is fatal.
		void Validate();

		// `path`'s text with its includes expanded; `sourceFiles` gets the files read, in the numbering of the
		// #line directives put around each included text (0 is `path` itself). False, after an ERROR, when a
		// file cannot be read or includes itself.
		static bool ExpandShaderSource(String const& path, std::vector<String>& sourceFiles, std::string& out);

	private:
		void LoadShader(eShaderUnitType type, String const& path);
		void CompileProgram();
		void AnalyzeShaderCode(eShaderUnitType type);
		void AnalyzeAllShaderCode();
		void CreateProgramObject();
		// Frees the program and throws RenderingDeviceSetupFailedException; the caller has logged why.
		[[noreturn]] void FailSetUp();
		// Null when `name` is not registered, or is registered with a type outside `acceptedTypes` (`setType` is what
		// the caller sets); the first such mismatch of a uniform is logged, after `mismatchLog` when one is given.
		const UniformInfo* FindCheckedUniform(String const& name, std::initializer_list<const char*> acceptedTypes,
		                                      const char* setType, const char* mismatchLog = nullptr);

		std::map<String, UniformInfo> Uniforms;
		std::map<String, OutputInfo> Outputs;
		u32 ProgramHandle = 0;
		EnumArray<String, eShaderUnitType> ShaderCode;
		String Description; // the paths it was built from, for messages
	};
} // namespace Vorn
