#pragma once

// Depth of field gathered over the full-resolution image for every blurred pixel, as the tiled renderer drew it
// before its wide blur moved to a quarter-resolution image. Tests draw it beside the renderer's chain to show that
// the picture a player sees stays the same. Same uniforms as the renderer's depth of field minus the gather image.
inline constexpr const char* REFERENCE_DEPTH_OF_FIELD_PATH = "Shaders/referenceDepthOfField.frag.glsl";

inline constexpr const char* REFERENCE_DEPTH_OF_FIELD_SOURCE = R"glsl(
#version 430 core

// Depth of field by gathering over a disc. Pixels whose distance lies within uDOFrange of uDOFpoint are copied
// untouched; beyond that band the blur radius grows smoothly over another uDOFrange of distance up to its full
// size. uDOFsize is the diameter of the full blur disc as a fraction of the image height (0.2 on a 720-pixel
// screen: a 144-pixel disc). uDepth holds view distances (the linearised depth), uRes is (W, H, 1/W, 1/H) of the
// screen-sized images.
uniform vec4 uRes;
uniform sampler2D uImage;
uniform sampler2D uDepth;
uniform float uTime;
uniform float uDOFpoint;
uniform float uDOFrange;
uniform float uDOFsize;

layout(location = 0) out vec4 oColor;

const int SAMPLE_COUNT = 48;
const float GOLDEN_ANGLE = 2.39996323;
const float TWO_PI = 6.28318531;

float BlurRadius(float distance)
{
	float outOfFocus = (abs(distance - uDOFpoint) - uDOFrange) / max(uDOFrange, 1e-3);
	return smoothstep(0.0, 1.0, outOfFocus) * uDOFsize * 0.5 * uRes.y;
}

// Jimenez's interleaved gradient noise: turns the sample spiral per pixel, so its rings become fine grain instead
// of visible copies of the image; the time term keeps the grain from standing still.
float SpiralRotation(vec2 pixel)
{
	float noise = fract(52.9829189 * fract(dot(pixel, vec2(0.06711056, 0.00583715))));
	return TWO_PI * fract(noise + uTime * 7.31);
}

void main()
{
	ivec2 pixel = ivec2(gl_FragCoord.xy);
	vec3 centreColor = texelFetch(uImage, pixel, 0).rgb;
	float centreDistance = texelFetch(uDepth, pixel, 0).r;
	float centreRadius = BlurRadius(centreDistance);
	if (centreRadius < 0.5)
	{
		oColor = vec4(centreColor, 1.0);
		return;
	}

	float rotation = SpiralRotation(gl_FragCoord.xy);
	ivec2 lastTexel = ivec2(uRes.xy) - 1;
	vec3 colorSum = centreColor;
	float weightSum = 1.0;
	for (int i = 0; i < SAMPLE_COUNT; ++i)
	{
		float sampleOffset = centreRadius * sqrt((float(i) + 0.5) / float(SAMPLE_COUNT));
		float angle = float(i) * GOLDEN_ANGLE + rotation;
		vec2 position = gl_FragCoord.xy + sampleOffset * vec2(cos(angle), sin(angle));
		// Colour and distance come from the same texel, unfiltered, so a sample is never half of two surfaces.
		ivec2 texel = clamp(ivec2(floor(position)), ivec2(0), lastTexel);
		float sampleDistance = texelFetch(uDepth, texel, 0).r;

		// Whatever lies behind this pixel is spread by this pixel's own blur. Something in front only reaches it
		// as far as its own blur spreads, so sharp objects do not bleed a halo into the blurred scene behind them.
		float weight = 1.0;
		if (sampleDistance < centreDistance)
		{
			float reach = length(vec2(texel) + 0.5 - gl_FragCoord.xy);
			weight = clamp(BlurRadius(sampleDistance) - reach + 0.5, 0.0, 1.0);
		}
		colorSum += texelFetch(uImage, texel, 0).rgb * weight;
		weightSum += weight;
	}
	oColor = vec4(colorSum / weightSum, 1.0);
}
)glsl";
