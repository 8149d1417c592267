#version 430 core

// Depth of field at full resolution. Pixels in the focus band are copied untouched. Pixels blurred over a wide
// disc blend the four nearest texels of the quarter-resolution gather (uGathered) that were blurred alike, so a
// sharp object in front never lends them its colour; a small disc, or a pixel with no such texel around it (a thin
// sliver between sharp objects), is gathered here over the full-resolution image.
#include "Shaders/depthOfField.glsl"

uniform sampler2D uGathered;
// The texels of uGathered this viewport wrote, (minX, minY, maxX, maxY), both ends included.
uniform vec4 uGatheredRect;

layout(location = 0) out vec4 oColor;

// The gathered colour blended for `pixel` in rgb, and 1 in alpha where at least one texel matched (0 otherwise).
vec4 UpsampleGathered(ivec2 pixel, float radius, float signedRadius)
{
	vec2 position = (vec2(pixel) - float(DOF_GATHER_SCALE / 2)) / float(DOF_GATHER_SCALE);
	float tolerance = max(2.0, 0.25 * radius);
	// Mostly all four texels match: the filtered read then blends them with the same weights in one fetch.
	vec2 gatheredSize = vec2(textureSize(uGathered, 0));
	vec2 uv = (clamp(position, uGatheredRect.xy, uGatheredRect.zw) + 0.5) / gatheredSize;
	vec4 radii = textureGather(uGathered, uv, 3);
	if (all(lessThanEqual(abs(radii - signedRadius), vec4(tolerance))))
		return vec4(texture(uGathered, uv).rgb, 1.0);

	ivec2 base = ivec2(floor(position));
	vec2 fraction = position - vec2(base);
	ivec2 rectMin = ivec2(uGatheredRect.xy);
	ivec2 rectMax = ivec2(uGatheredRect.zw);
	vec3 colorSum = vec3(0.0);
	float weightSum = 0.0;
	for (int i = 0; i < 4; ++i)
	{
		ivec2 offset = ivec2(i & 1, i >> 1);
		vec4 gathered = texelFetch(uGathered, clamp(base + offset, rectMin, rectMax), 0);
		vec2 axisWeights = mix(1.0 - fraction, fraction, vec2(offset));
		float weight = axisWeights.x * axisWeights.y;
		if (abs(gathered.a - signedRadius) > tolerance)
			weight = 0.0;
		colorSum += gathered.rgb * weight;
		weightSum += weight;
	}
	return weightSum > 0.05 ? vec4(colorSum / weightSum, 1.0) : vec4(0.0);
}

void main()
{
	ivec2 pixel = ivec2(gl_FragCoord.xy);
	float centreDistance = texelFetch(uDepth, pixel, 0).r;
	float centreRadius = BlurRadius(centreDistance);
	if (centreRadius >= DOF_UPSAMPLE_RADIUS)
	{
		vec4 upsampled = UpsampleGathered(pixel, centreRadius, SignedBlurRadius(centreDistance));
		if (upsampled.a > 0.0)
		{
			oColor = vec4(upsampled.rgb, 1.0);
			return;
		}
	}
	vec3 centreColor = texelFetch(uImage, pixel, 0).rgb;
	if (centreRadius < 0.5)
	{
		oColor = vec4(centreColor, 1.0);
		return;
	}
	oColor = vec4(GatherDisc(pixel, centreColor, centreDistance, centreRadius, DOF_MAX_SAMPLE_COUNT), 1.0);
}
