#version 330 core

// The material's colour, blended by its alpha, with a slow shimmer across the square so it reads as glass.
in vec2 vQuadPosition;

uniform float uTime;
uniform vec4 uBaseColor;

layout(location = 0) out vec4 oColor;

void main()
{
	float shimmer = 0.9 + 0.1 * sin(3.0 * (vQuadPosition.x + vQuadPosition.y) + 2.0 * uTime);
	oColor = vec4(uBaseColor.rgb * shimmer, uBaseColor.a);
}
