#version 430 core

// The wide blur of depth of field at a quarter of the resolution, where one gather serves 16 pixels.
// Each texel gathers the disc of the pixel its sample sits on and keeps that pixel's signed blur radius in alpha, so
// the full-resolution pass only blends texels blurred like the pixel it draws. Texels whose disc is too small to be
// taken from this image skip the gather and hold DOF_NOT_GATHERED.
#include "Shaders/depthOfField.glsl"

layout(location = 0) out vec4 oGathered;

void main()
{
	ivec2 pixel = min(ivec2(gl_FragCoord.xy) * DOF_GATHER_SCALE + DOF_GATHER_SCALE / 2, ivec2(uRes.xy) - 1);
	float distance = texelFetch(uDepth, pixel, 0).r;
	float radius = BlurRadius(distance);
	// Half the upsample radius: a pixel just wide enough to be upsampled still finds neighbours a little
	// sharper than itself.
	if (radius < DOF_UPSAMPLE_RADIUS * 0.5)
	{
		oGathered = vec4(0.0, 0.0, 0.0, DOF_NOT_GATHERED);
		return;
	}
	oGathered = vec4(GatherDisc(pixel, texelFetch(uImage, pixel, 0).rgb, distance, radius, DOF_GATHER_SAMPLE_COUNT),
	                 SignedBlurRadius(distance));
}
