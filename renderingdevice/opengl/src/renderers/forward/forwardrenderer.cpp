#include "renderers/forward/forwardrenderer.hpp"

#include "glrenderingdevice.hpp"
#include "math/aarect.hpp"
#include "renderers/sceneview.hpp"
#include "rendering/camera/cameracomponent.hpp"
#include "renderingpasses/renderingpassbase.hpp"
#include "utils/check.hpp"
#include "utils/console.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	ForwardRenderer::ForwardRenderer(GLRenderingDevice* device) : IRendererInterface(device)
	{
		gConsole.LogInfo("ForwardRenderer::ForwardRenderer");
	}

	void ForwardRenderer::Init() { gConsole.LogInfo("ForwardRenderer::Init"); }

	void ForwardRenderer::Resize(ScreenSize const&) { gConsole.LogInfo("ForwardRenderer::Resize"); }

	void ForwardRenderer::Deinit() { gConsole.LogInfo("ForwardRenderer::Deinit"); }

	void ForwardRenderer::RunGeometryPass(eGeometryRenderPassType type, SceneView const& view, ePassType passType)
	{
		RenderingPassBase* pass = RenderingDeviceInterface->GetGeometryRenderingPass(type);
		VORN_CHECK(pass != nullptr, "The forward renderer's passes are created only on a fallback context!");
		pass->Run(view.WorldData, view.CameraCmp, view.Rect, passType);
	}

	void ForwardRenderer::PrepareViewport(SceneView const& view)
	{
		const ScreenSize& screen = RenderingDeviceInterface->GetScreenSize();
		const GLint x = static_cast<GLint>(static_cast<float>(screen.Width) * view.Rect.GetMin().x);
		const GLint y = static_cast<GLint>(static_cast<float>(screen.Height) * view.Rect.GetMin().y);
		const GLsizei width = static_cast<GLsizei>(static_cast<float>(screen.Width) * view.Rect.GetSize().x);
		const GLsizei height = static_cast<GLsizei>(static_cast<float>(screen.Height) * view.Rect.GetSize().y);
		glViewport(x, y, width, height);

		// Every geometry pass draws into the same two targets; any one's framebuffer reaches them.
		glBindFramebuffer(
		    GL_FRAMEBUFFER,
		    RenderingDeviceInterface->GetGeometryRenderingPass(eGeometryRenderPassType::BLINN_PHONG)->GetFBO());
		glEnable(GL_SCISSOR_TEST);
		glScissor(x, y, width, height);
		glDepthMask(GL_TRUE);
		glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
		glDisable(GL_SCISSOR_TEST);
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}

	void ForwardRenderer::Render(SceneView const& view)
	{
		gConsole.LogInfo("ForwardRenderer::Render");
		if (!view.CameraCmp)
			return;
		PrepareViewport(view);

		using Slot = eGeometryRenderPassType;
		glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
		glDisable(GL_BLEND);
		glEnable(GL_CULL_FACE);
		glCullFace(GL_BACK);
		glDepthFunc(GL_LESS);
		const eRenderingModeType mode = view.CameraCmp->GetRenderingMode();
		switch (mode)
		{
		case eRenderingModeType::LIT:
		// Debug drawing shows the lit scene; the lines and texts come on top like in every mode.
		case eRenderingModeType::DEBUG_DRAW:
			glDepthMask(GL_TRUE);
			glEnable(GL_DEPTH_TEST);
			RunGeometryPass(Slot::SKYBOX, view, ePassType::DEFAULT);
			RunGeometryPass(Slot::BLINN_PHONG, view, ePassType::DEFAULT);
			// Effects blend over the lit scene, depth-tested against it but leaving its depth alone.
			glDepthMask(GL_FALSE);
			glEnable(GL_BLEND);
			glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
			RunGeometryPass(Slot::PARTICLES, view, ePassType::DEFAULT);
			RunGeometryPass(Slot::SPRITESHEET, view, ePassType::DEFAULT);
			break;
		case eRenderingModeType::UNLIT:
		case eRenderingModeType::DEBUG_NORMALS:
			glDepthMask(GL_TRUE);
			glEnable(GL_DEPTH_TEST);
			// The unlit view draws without light, whatever pass the lit view uses.
			RunGeometryPass(mode == eRenderingModeType::UNLIT ? Slot::UNLIT : Slot::DEBUG_NORMALS, view,
			                ePassType::FORCE_ALL);
			glDepthMask(GL_FALSE);
			glEnable(GL_BLEND);
			glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
			glDisable(GL_CULL_FACE);
			RunGeometryPass(Slot::TRANSPARENT, view, ePassType::DEFAULT);
			break;
		case eRenderingModeType::WIREFRAME:
		case eRenderingModeType::DEBUG_NORMALS_WIREFRAME:
			glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
			glDepthMask(GL_TRUE);
			glEnable(GL_DEPTH_TEST);
			RunGeometryPass(mode == eRenderingModeType::WIREFRAME ? Slot::BLINN_PHONG : Slot::DEBUG_NORMALS_WIREFRAME,
			                view, ePassType::FORCE_ALL);
			glDepthMask(GL_FALSE);
			glDisable(GL_BLEND);
			glDisable(GL_DEPTH_TEST);
			RunGeometryPass(Slot::DEBUG, view, ePassType::DEFAULT);
			break;
		default:
			VORN_FAIL("Uknown eRenderingModeType");
		}

		glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
		glDisable(GL_BLEND);
		glDisable(GL_DEPTH_TEST);
		glDisable(GL_CULL_FACE);
		RenderingPassBase* final =
		    RenderingDeviceInterface->GetPostprocessRenderingPass(ePostprocessRenderPassType::FINAL);
		VORN_CHECK(final != nullptr, "The forward renderer's passes are created only on a fallback context!");
		final->Run(view.WorldData, view.CameraCmp, view.Rect, ePassType::DEFAULT);
		// Over the finished picture, so neither exposure nor the camera's effects touch them.
		RunGeometryPass(Slot::DEBUG, view, ePassType::DEFAULT);
		RunGeometryPass(Slot::TEXT_2D, view, ePassType::DEFAULT);

		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glEnable(GL_CULL_FACE);
		glEnable(GL_DEPTH_TEST);
		glDepthMask(GL_TRUE);
	}
} // namespace Vorn
