#version 430 core

// Turns the pre-pass depth of a perspective projection back into the distance from the camera plane, in world
// units, written to every channel. Depth 1 (nothing drawn) gives the far plane.
uniform sampler2D uDepth;
uniform float uNear;
uniform float uFar;

layout(location = 0) out vec4 oDistance;

void main()
{
	float depth = texelFetch(uDepth, ivec2(gl_FragCoord.xy), 0).r;
	float ndcDepth = depth * 2.0 - 1.0;
	float distance = 2.0 * uNear * uFar / (uFar + uNear - ndcDepth * (uFar - uNear));
	oDistance = vec4(vec3(distance), 1.0);
}
