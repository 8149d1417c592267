#version 330 core

// The fallback renderer's lit meshes. GLSL 3.30, so it runs on an OpenGL 3.3 context.
uniform mat4 uTransform;
uniform mat4 uMVPTransform;

#include "Shaders/meshVertex.glsl"

void main() { WriteMeshVertex(uTransform, uMVPTransform); }
