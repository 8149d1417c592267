#version 430 core

// Depth pre-pass of the opaque meshes: positions only.
layout(location = 0) in vec3 aPosition;

uniform mat4 uScreenFromModel;

void main() { gl_Position = uScreenFromModel * vec4(aPosition, 1.0); }
