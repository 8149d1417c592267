#version 430 core

// The device's cube around a camera; the model-space position is the direction the fragment looks along.
layout(location = 0) in vec3 aPosition;

uniform mat4 uClipFromModel;

out vec3 vLocalPosition;

void main()
{
	vLocalPosition = aPosition;
	gl_Position = uClipFromModel * vec4(aPosition, 1.0);
}
