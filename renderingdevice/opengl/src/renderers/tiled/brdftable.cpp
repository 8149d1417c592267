#include "renderers/tiled/brdftable.hpp"

#include "glrenderingdevice.hpp"
#include "glshaderprogram.hpp"
#include "primitives/primitivequad.hpp"
#include "renderers/tiled/captureframebuffer.hpp"
#include "utils/console.hpp"

#include <epoxy/gl.h>

namespace Vorn
{
	u32 CreatePreintegratedBrdfLUT(GLRenderingDevice* device, GLShaderProgram& integrateBRDFShader)
	{
		gConsole.LogInfo("TiledForwardRenderer::PreintegrateBRDF Create texture resource");
		GLuint table = 0;
		glGenTextures(1, &table);
		glBindTexture(GL_TEXTURE_2D, table);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RG16F, BRDF_LUT_SIZE, BRDF_LUT_SIZE, 0, GL_RG, GL_FLOAT, nullptr);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
		glBindTexture(GL_TEXTURE_2D, 0);

		gConsole.LogInfo("TiledForwardRenderer::PreintegrateBRDF Create capture FBO");
		{
			const CaptureFramebuffer framebuffer(BRDF_LUT_SIZE);
			gConsole.LogInfo("TiledForwardRenderer::PreintegrateBRDF Capture FBO created");

			gConsole.LogInfo("TiledForwardRenderer::PreintegrateBRDF Render preintegrated BRDF");
			glViewport(0, 0, BRDF_LUT_SIZE, BRDF_LUT_SIZE);
			integrateBRDFShader.BindProgram();
			framebuffer.Bind();
			framebuffer.AttachTexture(table);
			glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
			device->GetQuadPrimitive()->Draw();
			glBindRenderbuffer(GL_RENDERBUFFER, 0);
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
		}
		// The message keeps the wording the renderer's log has always had.
		gConsole.LogInfo("TiledForwardRenderer::CaptureCubemap preintegrated BRDF rendered");
		return table;
	}
} // namespace Vorn
