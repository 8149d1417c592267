#version 430 core

// Debug view of the depth pre-pass: the view distance as grey, black at the near plane and white at the far one,
// linear in distance so that depth steps read as they are in the scene.
uniform sampler2D uDepthMap;
uniform float uNear;
uniform float uFar;

layout(location = 0) out vec4 oColor;

void main()
{
	float depth = texelFetch(uDepthMap, ivec2(gl_FragCoord.xy), 0).r;
	float distance = 2.0 * uNear * uFar / (uFar + uNear - (depth * 2.0 - 1.0) * (uFar - uNear));
	oColor = vec4(vec3(clamp((distance - uNear) / (uFar - uNear), 0.0, 1.0)), 1.0);
}
