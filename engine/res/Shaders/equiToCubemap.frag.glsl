#version 430 core

in vec3 vLocalPosition;

uniform sampler2D uEquirectangularMap;

layout(location = 0) out vec4 oColor;

#include "Shaders/equirectangular.glsl"

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

void main()
{
	vec3 direction = CubemapTexelDirection(vLocalPosition);
	oColor = vec4(textureLod(uEquirectangularMap, EquirectangularCoordinates(direction), 0.0).rgb, 1.0);
}
