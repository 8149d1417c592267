#pragma once

#include "renderingpasses/renderingpassbase.hpp"

namespace Vorn
{
	// A full-screen pass of the forward renderer's post-processing: the common quad vertex shader and a fragment
	// shader of the caller's choice, fed with time, resolution, camera and the camera's postprocess settings (uExposure
	// and the effects' u-prefixed fields). A camera without settings gets values that leave the picture unchanged.
	class PostprocessRenderingPass : public RenderingPassBase
	{
	public:
		static constexpr const char* VERTEX_SHADER_PATH = "Shaders/postprocessCommon.vert.glsl";
		// The black-body temperature whose tint is white.
		static constexpr float NEUTRAL_COLOR_TEMPERATURE = 6600.0f;

		PostprocessRenderingPass(GLRenderingDevice* device, String const& fragmentShaderPath);
		PostprocessRenderingPass(GLRenderingDevice* device, String const& geometryShaderPath,
		                         String const& fragmentShaderPath);

	protected:
		void OnRun(World* world, CameraComponent const* camera, AARect const& rect, ePassType passType) override;
	};
} // namespace Vorn
