#version 330 core

// The fallback renderer's sky: the HDR panorama itself, looked up by the view direction (the fallback captures no
// cubemap), scaled by the sky's tint.
in vec3 vDirection;

uniform sampler2D uPanorama;
uniform vec4 uTint;

layout(location = 0) out vec4 oColor;

#include "Shaders/equirectangular.glsl"

void main()
{
	vec3 direction = normalize(vDirection);
	oColor = vec4(textureLod(uPanorama, EquirectangularCoordinates(direction), 0.0).rgb * uTint.rgb, 1.0);
}
