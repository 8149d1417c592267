#version 330 core

// Debug line vertices: world-space points and one colour per vertex.
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec4 aColor;

uniform mat4 uMVP;

out vec4 vColor;

void main()
{
	vColor = aColor;
	gl_Position = uMVP * vec4(aPosition, 1.0);
}
