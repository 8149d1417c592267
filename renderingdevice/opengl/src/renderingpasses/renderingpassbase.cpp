#include "renderingpasses/renderingpassbase.hpp"

#include "renderingtargets/renderingtargetbase.hpp"
#include "renderingtargets/texture2dinputtarget.hpp"
#include "renderingtargets/texture2drenderingtarget.hpp"
#include "utils/check.hpp"

#include <epoxy/gl.h>

#include <vector>

namespace Vorn
{
	namespace
	{
		void Bind(std::map<String, RenderingTargetBase*>& bindings, String const& name, RenderingTargetBase* target)
		{
			const auto found = bindings.find(name);
			if (target)
			{
				VORN_CHECK(found == bindings.end(), "There is a target already bound!");
				bindings.emplace(name, target);
			}
			else
			{
				VORN_CHECK(found != bindings.end(), "There is no target bound!");
				bindings.erase(found);
			}
		}

		RenderingTargetBase* Find(const std::map<String, RenderingTargetBase*>& bindings, String const& name)
		{
			const auto found = bindings.find(name);
			return found == bindings.end() ? nullptr : found->second;
		}

		u32 GetSampledTextureID(const RenderingTargetBase* target)
		{
			switch (target->GetType())
			{
			case eRenderingTargetType::TEXTURE_2D:
			case eRenderingTargetType::DEPTH:
				return static_cast<const Texture2DRenderingTarget*>(target)->GetTextureID();
			case eRenderingTargetType::TEXTURE_2D_INPUT:
				return static_cast<const Texture2DInputTarget*>(target)->GetTextureID();
			default:
				VORN_FAIL("Unhandled target type!");
			}
		}
	} // namespace

	RenderingPassBase::RenderingPassBase(GLRenderingDevice* device, String const& vertexShaderPath,
	                                     String const& fragmentShaderPath)
	    : RDI(device), Program(vertexShaderPath, fragmentShaderPath)
	{
	}

	RenderingPassBase::RenderingPassBase(GLRenderingDevice* device, String const& vertexShaderPath,
	                                     String const& geometryShaderPath, String const& fragmentShaderPath)
	    : RDI(device), Program(vertexShaderPath, geometryShaderPath, fragmentShaderPath)
	{
	}

	RenderingPassBase::~RenderingPassBase()
	{
		if (FBO)
			glDeleteFramebuffers(1, &FBO);
	}

	void RenderingPassBase::AddInput(String const& inputName, RenderingTargetBase* target)
	{
		Bind(Inputs, inputName, target);
	}

	void RenderingPassBase::AddOutput(String const& outputName, RenderingTargetBase* target)
	{
		Bind(Outputs, outputName, target);
	}

	RenderingTargetBase* RenderingPassBase::GetInputTarget(String const& name) const { return Find(Inputs, name); }

	RenderingTargetBase* RenderingPassBase::GetOutputTarget(String const& name) const { return Find(Outputs, name); }

	void RenderingPassBase::Finalize()
	{
		if (Outputs.empty())
			return;

		VORN_CHECK(FBO == 0, "Calling finalize twice!");
		glGenFramebuffers(1, &FBO);
		VORN_CHECK(FBO != 0, "Failed to create FBO!");
		glBindFramebuffer(GL_FRAMEBUFFER, FBO);

		// The draw-buffer list follows the output names, not the attachment indices: a shader whose outputs are
		// declared in name order gets each output into its own target.
		std::vector<GLenum> drawBuffers;
		bool hasDepth = false;
		for (const auto& [name, target] : Outputs)
		{
			switch (target->GetType())
			{
			case eRenderingTargetType::TEXTURE_2D:
			{
				// An output the fragment shader does not declare is a programming error: at() throws.
				const GLenum attachment = GL_COLOR_ATTACHMENT0 + Program.GetOutputsInfo().at(name).Index;
				glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D,
				                       static_cast<Texture2DRenderingTarget*>(target)->GetTextureID(), 0);
				drawBuffers.push_back(attachment);
				break;
			}
			case eRenderingTargetType::DEPTH:
				glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D,
				                       static_cast<Texture2DRenderingTarget*>(target)->GetTextureID(), 0);
				hasDepth = true;
				break;
			default:
				VORN_FAIL("Unhandled target type!");
			}
		}
		VORN_CHECK(hasDepth, "Depth buffer not present when constructing FBO!");

		glDrawBuffers(static_cast<GLsizei>(drawBuffers.size()), drawBuffers.data());
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void RenderingPassBase::Run(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType)
	{
		Program.BindProgram();

		int unit = 0;
		for (const auto& [name, target] : Inputs)
		{
			const u32 texture = GetSampledTextureID(target);
			glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
			glBindTexture(GL_TEXTURE_2D, texture);
			// An input image that failed to load leaves its unit empty.
			if (texture != 0)
			{
				glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
				glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
			}
			Program.SetUniform(name, unit);
			++unit;
		}

		glActiveTexture(GL_TEXTURE0);
		glBindFramebuffer(GL_DRAW_FRAMEBUFFER, FBO);
		OnRun(world, camera, rect, passType);
	}
} // namespace Vorn
