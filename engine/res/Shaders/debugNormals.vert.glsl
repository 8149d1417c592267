#version 330 core

// Passes each vertex on to the geometry shader in clip space together with the tip of its normal, a line of
// NORMAL_LENGTH model units. Both ends go through the same transform, so the line stays exact under perspective
// and any model scale.
layout(location = 0) in vec3 aPosition;
layout(location = 2) in vec3 aNormal;

uniform mat4 u_MVP;

out vec4 vNormalTip;

const float NORMAL_LENGTH = 0.25;

void main()
{
	vec3 normal = length(aNormal) > 0.0 ? normalize(aNormal) : vec3(0.0);
	gl_Position = u_MVP * vec4(aPosition, 1.0);
	vNormalTip = u_MVP * vec4(aPosition + NORMAL_LENGTH * normal, 1.0);
}
