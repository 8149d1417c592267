#version 430 core

in vec3 vLocalPosition;

uniform sampler2D uEquirectangularMap;

layout(location = 0) out vec4 oColor;

const vec2 INVERSE_ANGLE_RANGE = vec2(0.15915494, 0.31830989); // 1 / 2pi, 1 / pi

// The capture draws the +Y face with a camera looking down and the -Y face with one looking up, which turns
// those two images half a turn about the X axis. Only a Y face shows the cube's top or bottom, so the visible
// side tells which camera is drawing and the direction is turned back there.
vec3 CubemapTexelDirection(vec3 localPosition)
{
	vec3 magnitude = abs(localPosition);
	if (magnitude.y > max(magnitude.x, magnitude.z))
		return normalize(vec3(localPosition.x, -localPosition.y, -localPosition.z));
	return normalize(localPosition);
}

// Longitude across the panorama, latitude up it: the image loader flips rows, so v = 1 is the zenith.
vec2 EquirectangularCoordinates(vec3 direction)
{
	vec2 angles = vec2(atan(direction.z, direction.x), asin(clamp(direction.y, -1.0, 1.0)));
	return angles * INVERSE_ANGLE_RANGE + 0.5;
}

void main()
{
	vec3 direction = CubemapTexelDirection(vLocalPosition);
	oColor = vec4(textureLod(uEquirectangularMap, EquirectangularCoordinates(direction), 0.0).rgb, 1.0);
}
