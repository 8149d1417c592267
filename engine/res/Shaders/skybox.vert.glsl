#version 330 core

// The device's cube around the camera, turned with the camera but never moved by it. The model-space position is
// the direction the fragment looks along.
layout(location = 0) in vec3 aPosition;

uniform mat4 uClipFromWorld;

out vec3 vDirection;

void main()
{
	vDirection = aPosition;
	// Depth 1 everywhere: the sky only fills what the scene left at the far plane.
	gl_Position = (uClipFromWorld * vec4(aPosition, 1.0)).xyww;
}
