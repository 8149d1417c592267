#version 430 core

// Shows an equirectangular HDR panorama on the inside of the cube, unchanged (linear, not tone-mapped). Unlike the
// environment capture's shader it makes no correction for the capture cameras, so it serves any camera, e.g. to
// look at a panorama directly.
in vec3 vLocalPosition;

uniform sampler2D uEquirectangularMap;

layout(location = 0) out vec4 oColor;

#include "Shaders/equirectangular.glsl"

void main()
{
	vec3 direction = normalize(vLocalPosition);
	oColor = vec4(textureLod(uEquirectangularMap, EquirectangularCoordinates(direction), 0.0).rgb, 1.0);
}
