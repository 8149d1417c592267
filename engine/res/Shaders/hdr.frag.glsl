#version 430 core

// Tone mapping of the scene colour, before the overlays and the gamma step. The image is read texel for texel at
// the fragment's window position: every target is screen-sized and the viewport may cover only part of it.
uniform sampler2D uHdrBuffer;
uniform float uExposure;

layout(location = 0) out vec4 oColor;

#include "Shaders/toneMapping.glsl"

void main()
{
	vec3 hdrColor = texelFetch(uHdrBuffer, ivec2(gl_FragCoord.xy), 0).rgb;
	oColor = vec4(ToneMapFilmic(max(hdrColor * uExposure, vec3(0.0))), 1.0);
}
