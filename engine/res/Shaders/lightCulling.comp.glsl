#version 430 core

// Sorts the point lights into 16x16-pixel screen tiles, one work group per tile, for the viewport being drawn. A
// light is listed for a tile when its sphere (centre and range) touches the tile's slice of the view frustum: the tile's rectangle seen from the
// camera, from the near plane to the farthest depth the pre-pass left in the tile (the far plane where it drew
// nothing). Lights wholly behind the opaque scene are thus left out. The near side stays at the near plane because
// translucent surfaces write no depth yet lie in front of it and read the same lists.
//
// Each tile's list is its slice of MAX_LIGHTS_PER_TILE entries in VisibleLightIndices, tiles row by row from the
// bottom-left one. It holds the light indices in ascending order and ends with -1, unless it fills the slice.
//
// A work group has one thread per mask word: few threads make the barriers cheap where the driver runs threads as
// coroutines, and each of them still reads only a few depths and tests a few lights.
layout(local_size_x = 32) in;

#include "Shaders/pointLights.glsl"

layout(std430, binding = 1) writeonly buffer VisibleLightIndices
{
	int Indices[];
} visibleLights;

uniform sampler2D uDepthMap;
uniform mat4 uViewFromWorld;
uniform mat4 uClipFromView;
uniform int uScreenSizeX;
uniform int uScreenSizeY;
uniform int uWorkGroupsX;
uniform int uWorkGroupsY;
uniform int uLightCount;
// The viewport being drawn, in pixels: the camera's frustum spans it, and only its pixels are culled for.
uniform vec2 uViewportMin;
uniform vec2 uViewportSize;

const int TILE_SIZE = 16;
const int MAX_LIGHTS_PER_TILE = 1024;
const int MASK_WORDS = MAX_LIGHTS_PER_TILE / 32;
const int THREAD_COUNT = MASK_WORDS;
// Threads read the tile's depths in this many columns; each takes every ROW_STEP-th row of its column.
const int DEPTH_COLUMNS = TILE_SIZE;
const int ROW_STEP = THREAD_COUNT / DEPTH_COLUMNS;
const int LIST_TERMINATOR = -1;

shared uint tileMaxDepthBits;
// Bit i set: light i touches the tile.
shared uint visibleMask[MASK_WORDS];

// The tile's frustum in view space: corners 0-3 on the near side, 4-7 on the far side, both counter-clockwise
// from the bottom-left; planes with normals pointing out (near, far, then the four sides).
vec3 corners[8];
vec4 planes[6];

vec3 ViewFromNdc(mat4 viewFromClip, vec3 ndc)
{
	vec4 position = viewFromClip * vec4(ndc, 1.0);
	return position.xyz / position.w;
}

void BuildTileFrustum(ivec2 pixelMin, ivec2 pixelMax, float maxDepth)
{
	mat4 viewFromClip = inverse(uClipFromView);
	float nearDistance = -ViewFromNdc(viewFromClip, vec3(0.0, 0.0, -1.0)).z;
	float farDistance = -ViewFromNdc(viewFromClip, vec3(0.0, 0.0, maxDepth * 2.0 - 1.0)).z;

	vec2 ndcMin = (vec2(pixelMin) - uViewportMin) / uViewportSize * 2.0 - 1.0;
	vec2 ndcMax = (vec2(pixelMax) - uViewportMin) / uViewportSize * 2.0 - 1.0;
	vec2 ndcCorners[4] = vec2[](ndcMin, vec2(ndcMax.x, ndcMin.y), ndcMax, vec2(ndcMin.x, ndcMax.y));
	for (int i = 0; i < 4; ++i)
	{
		// The camera sits at the origin: every point of a corner's ray is a multiple of its near-plane point.
		vec3 ray = ViewFromNdc(viewFromClip, vec3(ndcCorners[i], -1.0));
		ray /= -ray.z;
		corners[i] = ray * nearDistance;
		corners[i + 4] = ray * farDistance;
	}

	planes[0] = vec4(0.0, 0.0, 1.0, nearDistance);
	planes[1] = vec4(0.0, 0.0, -1.0, -farDistance);
	vec3 inside = (corners[4] + corners[6]) * 0.5;
	for (int i = 0; i < 4; ++i)
	{
		vec3 normal = normalize(cross(corners[i + 4], corners[(i + 1) % 4 + 4]));
		if (dot(normal, inside) > 0.0)
			normal = -normal;
		planes[i + 2] = vec4(normal, 0.0);
	}
}

float PlaneDistance(int plane, vec3 point) { return dot(planes[plane].xyz, point) + planes[plane].w; }

float SegmentDistance(vec3 point, vec3 start, vec3 end)
{
	vec3 segment = end - start;
	float t = clamp(dot(point - start, segment) / max(dot(segment, segment), 1e-12), 0.0, 1.0);
	return length(point - (start + segment * t));
}

// Exact test: the sphere touches the frustum when the frustum's closest point lies within the radius. Outside a
// convex solid that point is either the foot of the centre on a face it projects into, or on an edge.
bool SphereTouchesFrustum(vec3 centre, float radius)
{
	bool isInside = true;
	for (int i = 0; i < 6; ++i)
	{
		float distance = PlaneDistance(i, centre);
		if (distance > radius)
			return false;
		isInside = isInside && distance <= 0.0;
	}
	if (isInside)
		return true;

	float closest = 1e30;
	for (int face = 0; face < 6; ++face)
	{
		float distance = PlaneDistance(face, centre);
		if (distance <= 0.0)
			continue;
		vec3 foot = centre - planes[face].xyz * distance;
		bool isOnFace = true;
		for (int other = 0; other < 6; ++other)
			isOnFace = isOnFace && (other == face || PlaneDistance(other, foot) <= 1e-5 * (1.0 + length(foot)));
		if (isOnFace)
			closest = min(closest, distance);
	}
	for (int i = 0; i < 4; ++i)
	{
		int next = (i + 1) % 4;
		closest = min(closest, SegmentDistance(centre, corners[i], corners[next]));
		closest = min(closest, SegmentDistance(centre, corners[i + 4], corners[next + 4]));
		closest = min(closest, SegmentDistance(centre, corners[i], corners[i + 4]));
	}
	return closest <= radius;
}

void main()
{
	ivec2 tile = ivec2(gl_WorkGroupID.xy);
	uint thread = gl_LocalInvocationIndex;
	ivec2 screenSize = ivec2(uScreenSizeX, uScreenSizeY);

	// The tile count may fall short of the screen: the last column and row then reach to its edge.
	ivec2 pixelMin = tile * TILE_SIZE;
	ivec2 pixelMax = min(pixelMin + TILE_SIZE, screenSize);
	if (tile.x == uWorkGroupsX - 1)
		pixelMax.x = screenSize.x;
	if (tile.y == uWorkGroupsY - 1)
		pixelMax.y = screenSize.y;
	// A tile on the viewport's border is culled for its pixels inside the viewport; one wholly outside is not
	// read while this viewport is drawn.
	pixelMin = max(pixelMin, ivec2(uViewportMin));
	pixelMax = min(pixelMax, ivec2(uViewportMin + uViewportSize));
	int listStart = (tile.y * uWorkGroupsX + tile.x) * MAX_LIGHTS_PER_TILE;
	if (any(greaterThanEqual(pixelMin, pixelMax)))
	{
		if (thread == 0u)
			visibleLights.Indices[listStart] = LIST_TERMINATOR;
		return;
	}

	if (thread == 0u)
		tileMaxDepthBits = 0u;
	visibleMask[thread] = 0u;
	memoryBarrierShared();
	barrier();

	// Depths are 0..1, whose float bits order like the values.
	float maxDepth = 0.0;
	for (int y = pixelMin.y + int(thread) / DEPTH_COLUMNS; y < pixelMax.y; y += ROW_STEP)
		for (int x = pixelMin.x + int(thread) % DEPTH_COLUMNS; x < pixelMax.x; x += DEPTH_COLUMNS)
			maxDepth = max(maxDepth, texelFetch(uDepthMap, ivec2(x, y), 0).r);
	atomicMax(tileMaxDepthBits, floatBitsToUint(maxDepth));
	memoryBarrierShared();
	barrier();

	BuildTileFrustum(pixelMin, pixelMax, uintBitsToFloat(tileMaxDepthBits));
	int lightCount = min(uLightCount, MAX_LIGHTS_PER_TILE);
	for (int i = int(thread); i < lightCount; i += THREAD_COUNT)
	{
		PointLight light = lightBuffer.Lights[i];
		float range = light.RangeIntensity.x;
		if (range <= 0.0)
			continue;
		vec3 centre = (uViewFromWorld * vec4(light.Position.xyz, 1.0)).xyz;
		if (SphereTouchesFrustum(centre, range))
			atomicOr(visibleMask[i / 32], 1u << uint(i % 32));
	}
	memoryBarrierShared();
	barrier();

	// Each thread writes its mask word's lights after those of the words before it, keeping the list sorted.
	int slot = 0;
	for (uint word = 0u; word < thread; ++word)
		slot += bitCount(visibleMask[word]);
	uint bits = visibleMask[thread];
	while (bits != 0u)
	{
		visibleLights.Indices[listStart + slot] = int(thread) * 32 + findLSB(bits);
		++slot;
		bits &= bits - 1u;
	}
	if (thread == uint(MASK_WORDS - 1) && slot < MAX_LIGHTS_PER_TILE)
		visibleLights.Indices[listStart + slot] = LIST_TERMINATOR;
}
