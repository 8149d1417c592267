#version 430 core

// Debug view of the tiled point lights alone: a white diffuse surface lit only by the lights the culling kept for
// the fragment's tile, without materials, directional lights or the environment. Light that stops at a tile
// border shows a light missing from that tile's list. Writes the same two outputs as the lighting pass.
#include "Shaders/pointLights.glsl"

layout(std430, binding = 1) readonly buffer VisibleLightIndices
{
	int Indices[];
} visibleLights;

in vec3 vWorldPosition;
in vec3 vWorldNormal;

uniform int uWorkGroupsX;
uniform int uWorkGroupsY;

layout(location = 0) out vec4 oColor;
layout(location = 1) out vec4 oNormal;

const int TILE_SIZE = 16;
const int MAX_LIGHTS_PER_TILE = 1024;

// Inverse-square falloff, windowed to reach zero at the light's range.
float Attenuation(float distance, float range)
{
	float ratio = distance / range;
	float window = clamp(1.0 - ratio * ratio * ratio * ratio, 0.0, 1.0);
	return window * window / (distance * distance + 1.0);
}

void main()
{
	vec3 normal = normalize(vWorldNormal);
	// Fragments past the last whole tile belong to the tile beside them, which the culling stretched over them.
	ivec2 tile = min(ivec2(gl_FragCoord.xy) / TILE_SIZE, ivec2(uWorkGroupsX - 1, uWorkGroupsY - 1));
	int offset = (tile.y * uWorkGroupsX + tile.x) * MAX_LIGHTS_PER_TILE;

	vec3 radiance = vec3(0.0);
	// A tile's list is strictly ascending and ends at its first negative entry, or fills the whole slice. Ending
	// at any entry not above the one before also stops the block-filling pixels of a software rasterizer, whose
	// reads return zeros.
	int previousIndex = -1;
	for (int i = 0; i < MAX_LIGHTS_PER_TILE; ++i)
	{
		int lightIndex = visibleLights.Indices[offset + i];
		if (lightIndex <= previousIndex)
			break;
		previousIndex = lightIndex;
		PointLight light = lightBuffer.Lights[lightIndex];
		float range = light.RangeIntensity.x;
		if (range <= 0.0)
			continue;
		vec3 toLight = light.Position.xyz - vWorldPosition;
		float distance = length(toLight);
		float lambert = max(dot(normal, toLight / max(distance, 1e-4)), 0.0);
		radiance += light.Color.rgb * light.RangeIntensity.y * lambert * Attenuation(distance, range);
	}
	oColor = vec4(radiance, 1.0);
	oNormal = vec4(normal * 0.5 + 0.5, 1.0);
}
