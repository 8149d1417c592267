#pragma once

#include "defines.hpp"
#include "glshaderprogram.hpp"
#include "memory/baseobject.hpp"
#include "utils/string.hpp"

#include <map>

namespace Vorn
{
	class AARect;
	class CameraComponent;
	class GLRenderingDevice;
	class RenderingTargetBase;
	class World;

	// How much a pass that filters meshes by material draws.
	enum class ePassType : u32
	{
		DEFAULT = 0,   // what the pass's filter selects
		FORCE_ALL = 1, // every mesh, whatever its material
		_COUNT
	};

	// A shader program with named inputs (targets sampled by the pass) and outputs (targets it draws into),
	// joined by one framebuffer. A pass is wired with AddInput/AddOutput, finalised once, then run every frame;
	// the drawing itself is the subclass's OnRun. Targets are not owned.
	class RenderingPassBase : public BaseObject
	{
	public:
		// Shader paths are relative to the engine assets (see GLShaderProgram).
		RenderingPassBase(GLRenderingDevice* device, String const& vertexShaderPath, String const& fragmentShaderPath);
		RenderingPassBase(GLRenderingDevice* device, String const& vertexShaderPath, String const& geometryShaderPath,
		                  String const& fragmentShaderPath);
		~RenderingPassBase() override;
		RenderingPassBase(const RenderingPassBase&) = delete;
		RenderingPassBase& operator=(const RenderingPassBase&) = delete;

		// Bind `target` under a sampler name; null removes the binding. Binding a bound name or removing an
		// unbound one stops the process.
		void AddInput(String const& inputName, RenderingTargetBase* target);
		// The same for a fragment output name (any name for the depth target). Outputs are fixed by Finalize.
		void AddOutput(String const& outputName, RenderingTargetBase* target);

		// Null when nothing is bound under the name.
		RenderingTargetBase* GetInputTarget(String const& name) const;
		RenderingTargetBase* GetOutputTarget(String const& name) const;

		// Builds the framebuffer from the outputs; a pass without outputs keeps drawing into whatever framebuffer
		// is bound, normally the window.
		void Finalize();

		// Binds the program, the inputs to texture units 0, 1, ... in name order and the framebuffer, then calls
		// OnRun.
		void Run(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType);

		u32 GetFBO() const { return FBO; }
		const GLShaderProgram& GetProgram() const { return Program; }

	protected:
		virtual void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) = 0;

		GLRenderingDevice* RDI;
		std::map<String, RenderingTargetBase*> Inputs;
		std::map<String, RenderingTargetBase*> Outputs;
		GLShaderProgram Program;
		u32 FBO = 0;
	};
} // namespace Vorn
