#version 330 core

// One quad per live particle, drawn instanced. Each instance carries its particle's scale and position in the
// emitter's simulation space as a matrix (attributes 3 to 6, one column each).
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aTexCoord;
layout(location = 3) in mat4 aEmitterFromParticle;

uniform float uTime;
uniform mat4 uScreenFromView;
uniform mat4 uViewFromWorld;
uniform mat4 uWorldFromModel;
uniform float uSpriteStartFrame;
uniform float uSpriteSpeed;
uniform vec2 uSpriteSubImages;

out vec2 vTexCoord;
out vec2 vQuadPosition;

#include "Shaders/spritesheetFrame.glsl"

void main()
{
	mat4 worldFromParticle = uWorldFromModel * aEmitterFromParticle;
	vec4 viewCentre = uViewFromWorld * worldFromParticle[3];
	vec2 size = vec2(length(worldFromParticle[0].xyz), length(worldFromParticle[1].xyz));
	// The quad is spread in view space, so it always faces the camera.
	gl_Position = uScreenFromView * (viewCentre + vec4(aPosition.xy * size, 0.0, 0.0));
	vTexCoord = SpritesheetTexCoord(uSpriteSubImages, uSpriteStartFrame, uSpriteSpeed, uTime, aTexCoord);
	vQuadPosition = aPosition.xy;
}
