#version 330 core

in vec2 vTexCoord;

uniform sampler2D uTexture;
uniform vec4 uColor;

layout(location = 0) out vec4 oColor;

void main() { oColor = uColor * texture(uTexture, vTexCoord); }
