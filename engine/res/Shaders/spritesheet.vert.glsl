#version 330 core

// An animated sprite: the device's quad spread in view space around the sprite's place, so it always faces the
// camera, at the size of the sprite's X and Y scale.
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;

uniform float uTime;
uniform mat4 uP;
uniform mat4 uMV;
uniform vec2 uScale;
uniform vec2 uSubImages;
uniform float uStartFrame;
uniform float uSpeed;

out vec2 vTexCoord;

#include "Shaders/spritesheetFrame.glsl"

void main()
{
	vec4 viewCentre = uMV * vec4(0.0, 0.0, 0.0, 1.0);
	gl_Position = uP * (viewCentre + vec4(aPosition.xy * uScale, 0.0, 0.0));
	vTexCoord = SpritesheetTexCoord(uSubImages, uStartFrame, uSpeed, uTime, aTexCoord);
}
