#version 330 core

in vec3 vDirection;

uniform samplerCube uCubemap;
uniform vec4 uTint;

layout(location = 0) out vec4 oColor;

// The captured environment as it is (linear HDR), scaled by the sky's tint.
void main() { oColor = vec4(texture(uCubemap, normalize(vDirection)).rgb * uTint.rgb, 1.0); }
