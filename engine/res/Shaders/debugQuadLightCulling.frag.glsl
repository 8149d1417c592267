#version 430 core

// Debug view of the light culling: each 16x16 tile coloured by how many point lights the culling kept for it,
// from black (none) through blue, green and yellow to red (all 1024 slots). The scale is logarithmic so that
// tiles with a handful of lights still stand apart from empty ones.
layout(std430, binding = 1) readonly buffer VisibleLightIndices
{
	int Indices[];
} visibleLights;

uniform int uWorkGroupsX;
uniform int uWorkGroupsY;

layout(location = 0) out vec4 oColor;

const int TILE_SIZE = 16;
const int MAX_LIGHTS_PER_TILE = 1024;

// A tile's list ends at its first negative entry, or fills the whole slice.
int TileLightCount(int tileIndex)
{
	int offset = tileIndex * MAX_LIGHTS_PER_TILE;
	int count = 0;
	while (count < MAX_LIGHTS_PER_TILE && visibleLights.Indices[offset + count] >= 0)
		++count;
	return count;
}

vec3 HeatColor(float heat)
{
	const vec3 stops[5] = vec3[](vec3(0.0), vec3(0.0, 0.0, 1.0), vec3(0.0, 1.0, 0.0), vec3(1.0, 1.0, 0.0),
	                             vec3(1.0, 0.0, 0.0));
	float position = clamp(heat, 0.0, 1.0) * 4.0;
	int lower = min(int(position), 3);
	return mix(stops[lower], stops[lower + 1], position - float(lower));
}

void main()
{
	// Fragments past the last whole tile belong to the tile beside them, which the culling stretched over them.
	ivec2 tile = min(ivec2(gl_FragCoord.xy) / TILE_SIZE, ivec2(uWorkGroupsX - 1, uWorkGroupsY - 1));
	int count = TileLightCount(tile.y * uWorkGroupsX + tile.x);
	float heat = log2(float(count) + 1.0) / log2(float(MAX_LIGHTS_PER_TILE) + 1.0);
	// Tile borders are darkened so the grid shows.
	ivec2 inTile = ivec2(gl_FragCoord.xy) % TILE_SIZE;
	float border = (inTile.x == 0 || inTile.y == 0) ? 0.6 : 1.0;
	oColor = vec4(HeatColor(heat) * border, 1.0);
}
