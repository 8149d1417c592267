#version 430 core

uniform mat4 uClipFromModel;
uniform mat4 uWorldFromModel;

#include "Shaders/meshVertex.glsl"

void main() { WriteMeshVertex(uWorldFromModel, uClipFromModel); }
