#version 430 core

// Tone mapping of the scene colour, before the overlays and the gamma step. The image is read texel for texel at
// the fragment's window position: every target is screen-sized and the viewport may cover only part of it.
uniform sampler2D uHdrBuffer;
uniform float uExposure;

layout(location = 0) out vec4 oColor;

// Narkowicz's fit of the ACES filmic curve: a soft toe, a straight middle and a shoulder that rolls off towards
// white. It rises monotonically from 0 at 0; its limit lies slightly above 1, hence the clamp.
vec3 ToneMapFilmic(vec3 color)
{
	const float a = 2.51;
	const float b = 0.03;
	const float c = 2.43;
	const float d = 0.59;
	const float e = 0.14;
	return clamp(color * (a * color + b) / (color * (c * color + d) + e), 0.0, 1.0);
}

void main()
{
	vec3 hdrColor = texelFetch(uHdrBuffer, ivec2(gl_FragCoord.xy), 0).rgb;
	oColor = vec4(ToneMapFilmic(max(hdrColor * uExposure, vec3(0.0))), 1.0);
}
