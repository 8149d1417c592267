#version 330 core

// Meshes in their material's colour without any light, for the fallback renderer's unlit views.
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;

uniform mat4 uMVPTransform;

out vec2 vTexCoord;

void main()
{
	vTexCoord = aTexCoord;
	gl_Position = uMVPTransform * vec4(aPosition, 1.0);
}
