#version 430 core

// Shows an equirectangular HDR panorama on the inside of the cube, unchanged (linear, not tone-mapped). Unlike the
// environment capture's shader it makes no correction for the capture cameras, so it serves any camera, e.g. to
// look at a panorama directly.
in vec3 vLocalPosition;

uniform sampler2D uEquirectangularMap;

layout(location = 0) out vec4 oColor;

const vec2 INVERSE_ANGLE_RANGE = vec2(0.15915494, 0.31830989); // 1 / 2pi, 1 / pi

// Longitude across the panorama, latitude up it: the image loader flips rows, so v = 1 is the zenith.
vec2 EquirectangularCoordinates(vec3 direction)
{
	vec2 angles = vec2(atan(direction.z, direction.x), asin(clamp(direction.y, -1.0, 1.0)));
	return angles * INVERSE_ANGLE_RANGE + 0.5;
}

void main()
{
	vec3 direction = normalize(vLocalPosition);
	oColor = vec4(textureLod(uEquirectangularMap, EquirectangularCoordinates(direction), 0.0).rgb, 1.0);
}
