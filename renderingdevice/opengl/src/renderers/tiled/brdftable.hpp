#pragma once

#include "defines.hpp"

namespace Vorn
{
	class GLRenderingDevice;
	class GLShaderProgram;

	// Side of the split-sum BRDF lookup table.
	constexpr i32 BRDF_LUT_SIZE = 512;

	// Renders the split-sum BRDF lookup table, the tiled renderer's start-up step, into a new RG16F texture of
	// BRDF_LUT_SIZE squared (linear, clamped) and returns its name, which the caller owns. Sampled at
	// (N.V, roughness), red is the scale and green the bias of the specular colour. `integrateBRDFShader` is the
	// full-screen program with "Shaders/integrateBRDF.frag.glsl"; it is drawn over the device's quad with the
	// current depth and culling state, and leaves the viewport at the table's size.
	u32 CreatePreintegratedBrdfLUT(GLRenderingDevice* device, GLShaderProgram& integrateBRDFShader);
} // namespace Vorn
