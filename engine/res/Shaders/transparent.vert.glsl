#version 330 core

// The fallback renderer's stand-in for a translucent mesh: the device's quad, a flat 2x2 square at the mesh's
// place, facing +Z.
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;

uniform mat4 uMVPTransform;

out vec2 vQuadPosition;

void main()
{
	vQuadPosition = aPosition.xy;
	gl_Position = uMVPTransform * vec4(aPosition.xy, 0.0, 1.0);
}
