#version 330 core

// The normals view: every mesh coloured by its world-space normal.
layout(location = 0) in vec3 aPosition;
layout(location = 2) in vec3 aNormal;

uniform mat4 uTransform;
uniform mat4 uMVPTransform;

out vec3 vWorldNormal;

void main()
{
	vWorldNormal = transpose(inverse(mat3(uTransform))) * aNormal;
	gl_Position = uMVPTransform * vec4(aPosition, 1.0);
}
